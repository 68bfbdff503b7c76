#include "TApplicationFiles.h"

#include "TDataFileManager.h"
#include "TFieldReader.h"
#include "TFieldWriter.h"
#include "TLineReader.h"
#include "TRecordFormat.h"
#include "TSectionScanner.h"
#include "UserMessages.h"

using Section = TSectionScanner::Section;

namespace {

// Section headings of the configuration export.
struct ExportHeading
{
    QByteArrayView text;
    Section section;
    bool read;  // false: the section's lines are never read
};

constexpr ExportHeading k_exportHeadings[] = {
    {"Modules", Section::Modules, true},
    {"Inputs", Section::Ios, true},
    {"Link", Section::None, false},
    {"Memo", Section::Memos, true},
    {"Memo List", Section::MemoList, true},
    {"Variable", Section::Variables, true},
    {"Parametre 32", Section::Param32, true},
    {"SoftVersion", Section::None, false},
};

// Section headings of the data block, with their names as written.
struct BlockHeading
{
    QByteArrayView text;
    Section section;
};

constexpr BlockHeading k_blockHeadings[] = {
    {"App Data", Section::AppData},
    {"Module", Section::Modules},
    {"ModInput", Section::Ios},
    {"Memo", Section::Memos},
    {"MemoList", Section::MemoList},
    {"Variable", Section::Variables},
    {"Parametre32", Section::Param32},
};

// A line starting with "<" loses everything up to and including the first ">". A "<" without ">"
// leaves the line as it is.
QByteArrayView WithoutTag(QByteArrayView line)
{
    if (!line.startsWith('<'))
        return line;
    const qsizetype end = line.indexOf('>');
    return end < 0 ? line : line.sliced(end + 1);
}

// Version of the line after "App Data" while searching the blocks: "*[" and two digits; a line
// whose first two characters are both other than "*" is version 0; anything else is a version
// no reader accepts.
int AppDataVersionOf(QByteArrayView line)
{
    if (line.startsWith("*["))
        return int(TFieldReader::ParseHex(line.sliced(2), 2));
    const bool firstStar = line.size() > 0 && line[0] == '*';
    const bool secondStar = line.size() > 1 && line[1] == '*';
    return !firstStar && !secondStar ? 0 : -1;
}

// One record line of a section, read with the section's version and added to the lists.
void AddRecordLine(TDataFileManager &application, Section section, int version, QByteArrayView line, bool hasLineEnd,
                   bool pending)
{
    switch (section) {
    case Section::None:
        return;
    case Section::AppData:
        if (const auto info = TRecordFormat::ReadAppData(line, version))
            application.Settings() = *info;
        return;
    case Section::Modules:
        if (const auto r = TRecordFormat::ReadModule(line, hasLineEnd, version))
            application.AddModule(*r, pending);
        return;
    case Section::Ios:
        if (const auto r = TRecordFormat::ReadIo(line, version))
            application.AddIo(*r, pending);
        else if (application.Messages())
            application.Messages()->ShowMessage(QStringLiteral("TableIO Not handled"));
        return;
    case Section::Memos:
        if (const auto r = TRecordFormat::ReadMemo(line, version))
            application.AddMemo(*r, pending);
        return;
    case Section::MemoList:
        if (const auto r = TRecordFormat::ReadMemoList(line, version))
            application.AddMemoListEntry(*r, pending);
        return;
    case Section::Variables:
        if (const auto r = TRecordFormat::ReadVariable(line, version))
            application.AddVariable(*r, pending);
        return;
    case Section::Param32:
        if (const auto r = TRecordFormat::ReadParam32(line, version))
            application.AddParam32(*r, pending);
        return;
    }
}

} // namespace

bool TApplicationFiles::LooksLikeExport(QByteArrayView content)
{
    TLineReader lines(content);
    while (lines.Next()) {
        if (WithoutTag(lines.Line()) == "Modules")
            return true;
    }
    return false;
}

void TApplicationFiles::ReadExport(TDataFileManager &application, QByteArrayView content, bool pending)
{
    TSectionScanner scanner;
    TLineReader lines(content);
    while (lines.Next()) {
        const QByteArrayView line = WithoutTag(lines.Line());
        if (line == "Variable systeme")
            break;
        const ExportHeading *heading = nullptr;
        for (const ExportHeading &h : k_exportHeadings) {
            if (line == h.text) {
                heading = &h;
                break;
            }
        }
        if (heading) {
            if (heading->read)
                scanner.EnterSection(heading->section);
            else
                scanner.LeaveSection();
            continue;
        }
        if (scanner.IsRecordLine(line))
            AddRecordLine(application, scanner.CurrentSection(), scanner.Version(), line, lines.HasLineEnd(), pending);
    }
}

QByteArray TApplicationFiles::DataBlock(const TDataFileManager &application)
{
    QByteArray out;
    TFieldWriter w(out);
    const auto section = [&](QByteArrayView heading, quint8 version) {
        w.Line(heading).Line(TFieldWriter::VersionLine(version, 1));
    };
    const TRecordSet &current = application.Current();

    TVISUALQvpInfo info = application.Settings();
    info.SourcePath = application.Name();
    section("App Data", TRecordFormat::AppDataVersion);
    w.Raw(TRecordFormat::WriteAppData(info));
    section("Version", 2);
    section("Module", TRecordFormat::ModuleVersion);
    for (const ModuleRecord *r : current.Modules)
        w.Raw(TRecordFormat::WriteModule(*r));
    section("ModInput", TRecordFormat::IoVersion);
    for (const IoRecord *r : current.Ios)
        w.Raw(TRecordFormat::WriteIo(*r));
    section("Memo", TRecordFormat::MemoVersion);
    for (const MemoRecord *r : current.Memos)
        w.Raw(TRecordFormat::WriteMemo(*r));
    section("MemoList", TRecordFormat::MemoListVersion);
    for (const MemoListRecord *r : current.MemoList)
        w.Raw(TRecordFormat::WriteMemoList(*r));
    section("Variable", TRecordFormat::VariableVersion);
    for (const VariableRecord *r : current.Variables)
        w.Raw(TRecordFormat::WriteVariable(*r));
    section("Parametre32", TRecordFormat::Param32Version);
    for (const Param32Record *r : current.Param32s)
        w.Raw(TRecordFormat::WriteParam32(*r));
    w.Line("EOF DataFile");
    return out;
}

void TApplicationFiles::ReadDataBlock(TDataFileManager &application, QByteArrayView content, const QByteArray &key)
{
    TLineReader lines(content);

    // Search: every App Data record met is copied into the settings until one carries the key.
    bool found = false;
    while (!found && lines.Next()) {
        if (lines.Line() != "App Data")
            continue;
        if (!lines.Next())
            return;
        const int version = AppDataVersionOf(lines.Line());
        if (!lines.Next())
            return;
        application.Settings() = TRecordFormat::ReadAppData(lines.Line(), version).value_or(TVISUALQvpInfo());
        found = application.Settings().SourcePath == key;
    }
    if (!found)
        return;

    TSectionScanner scanner;
    while (lines.Next()) {
        const QByteArrayView line = lines.Line();
        if (line == "EOF DataFile")
            break;
        const BlockHeading *heading = nullptr;
        for (const BlockHeading &h : k_blockHeadings) {
            if (line == h.text) {
                heading = &h;
                break;
            }
        }
        if (heading) {
            scanner.EnterSection(heading->section);
            continue;
        }
        if (scanner.IsRecordLine(line))
            AddRecordLine(application, scanner.CurrentSection(), scanner.Version(), line, lines.HasLineEnd(), false);
    }
}

