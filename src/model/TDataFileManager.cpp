#include "TDataFileManager.h"

#include "TCodePage.h"
#include "TFieldReader.h"
#include "TFileAccess.h"
#include "TFieldWriter.h"
#include "TLineReader.h"
#include "TLinkSession.h"
#include "TModuleTypes.h"
#include "TProgramLists.h"
#include "TRecordFormat.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"
#include "UserMessages.h"

#include <QFileInfo>


using Section = TSectionScanner::Section;

namespace {

template <typename T>
T *Keep(std::deque<T> &pool, std::vector<T *> &list, const T &record)
{
    pool.push_back(record);
    list.push_back(&pool.back());
    return &pool.back();
}

template <typename T>
T *At(const std::vector<T *> &list, qsizetype position)
{
    return position >= 0 && position < qsizetype(list.size()) ? list[size_t(position)] : nullptr;
}

template <typename T>
quint16 IndexOf(const std::vector<T *> &list, const T *record)
{
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] == record)
            return quint16(i);
    }
    return 0;
}

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

} // namespace

void TRecordSet::Clear()
{
    Modules.clear();
    Ios.clear();
    Memos.clear();
    MemoList.clear();
    Variables.clear();
    Param32s.clear();
}

TDataFileManager::TDataFileManager(QObject *owner, const QByteArray &name, UserMessages *messages)
    : QObject(owner)
    , m_name(name)
    , m_messages(messages)
    , m_session(new TLinkSession(*this))
    , m_assembler([this](QByteArrayView text) { DecodeFrame(text); })
{
}

TDataFileManager::~TDataFileManager() = default;

void TDataFileManager::SetLink(SerialPort *link)
{
    m_link = link;
    m_session->AttachLink(link);
}

ModuleRecord *TDataFileManager::AddModule(const ModuleRecord &record, bool pending)
{
    return Keep(m_modulePool, ListsFor(pending).Modules, record);
}

IoRecord *TDataFileManager::AddIo(const IoRecord &record, bool pending)
{
    return Keep(m_ioPool, ListsFor(pending).Ios, record);
}

MemoRecord *TDataFileManager::AddMemo(const MemoRecord &record, bool pending)
{
    return Keep(m_memoPool, ListsFor(pending).Memos, record);
}

MemoListRecord *TDataFileManager::AddMemoListEntry(const MemoListRecord &record, bool pending)
{
    return Keep(m_memoListPool, ListsFor(pending).MemoList, record);
}

VariableRecord *TDataFileManager::AddVariable(const VariableRecord &record, bool pending)
{
    return Keep(m_variablePool, ListsFor(pending).Variables, record);
}

Param32Record *TDataFileManager::AddParam32(const Param32Record &record, bool pending)
{
    return Keep(m_param32Pool, ListsFor(pending).Param32s, record);
}

void TDataFileManager::AddRecordLine(Section section, int version, QByteArrayView line,
                                     bool hasLineEnd, bool pending)
{
    switch (section) {
    case Section::None:
        return;
    case Section::AppData:
        if (const auto info = TRecordFormat::ReadAppData(line, version))
            m_settings = *info;
        return;
    case Section::Modules:
        if (const auto r = TRecordFormat::ReadModule(line, hasLineEnd, version))
            AddModule(*r, pending);
        return;
    case Section::Ios:
        if (const auto r = TRecordFormat::ReadIo(line, version))
            AddIo(*r, pending);
        else if (m_messages)
            m_messages->ShowMessage(QStringLiteral("TableIO Not handled"));
        return;
    case Section::Memos:
        if (const auto r = TRecordFormat::ReadMemo(line, version))
            AddMemo(*r, pending);
        return;
    case Section::MemoList:
        if (const auto r = TRecordFormat::ReadMemoList(line, version))
            AddMemoListEntry(*r, pending);
        return;
    case Section::Variables:
        if (const auto r = TRecordFormat::ReadVariable(line, version))
            AddVariable(*r, pending);
        return;
    case Section::Param32:
        if (const auto r = TRecordFormat::ReadParam32(line, version))
            AddParam32(*r, pending);
        return;
    }
}

bool TDataFileManager::ExportImport(const QString &path, int mode)
{
    QByteArray key;
    if (!TCodePage::FromDisplay(path, key)) {
        if (m_messages)
            m_messages->ShowMessage(QStringLiteral("This file name cannot be kept in a project file:\n") + path);
        return false;
    }
    QByteArray content;
    if (!TFileAccess::Read(path, content))
        return false;
    ImportExportContent(content, key, mode);
    return true;
}

void TDataFileManager::ImportExportContent(QByteArrayView content, const QByteArray &path, int mode)
{
    const bool pending = mode != ImportReplace;
    m_pending.Clear();
    if (!pending) {
        m_current.Clear();
        m_name = path;
    }

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
            AddRecordLine(scanner.CurrentSection(), scanner.Version(), line, lines.HasLineEnd(), pending);
    }
}

QByteArray TDataFileManager::DataBlock() const
{
    QByteArray out;
    TFieldWriter w(out);
    const auto section = [&](QByteArrayView heading, quint8 version) {
        w.Line(heading).Line(TFieldWriter::VersionLine(version, 1));
    };

    TVISUALQvpInfo info = m_settings;
    info.SourcePath = m_name;
    section("App Data", TRecordFormat::AppDataVersion);
    w.Raw(TRecordFormat::WriteAppData(info));
    section("Version", 2);
    section("Module", TRecordFormat::ModuleVersion);
    for (const ModuleRecord *r : m_current.Modules)
        w.Raw(TRecordFormat::WriteModule(*r));
    section("ModInput", TRecordFormat::IoVersion);
    for (const IoRecord *r : m_current.Ios)
        w.Raw(TRecordFormat::WriteIo(*r));
    section("Memo", TRecordFormat::MemoVersion);
    for (const MemoRecord *r : m_current.Memos)
        w.Raw(TRecordFormat::WriteMemo(*r));
    section("MemoList", TRecordFormat::MemoListVersion);
    for (const MemoListRecord *r : m_current.MemoList)
        w.Raw(TRecordFormat::WriteMemoList(*r));
    section("Variable", TRecordFormat::VariableVersion);
    for (const VariableRecord *r : m_current.Variables)
        w.Raw(TRecordFormat::WriteVariable(*r));
    section("Parametre32", TRecordFormat::Param32Version);
    for (const Param32Record *r : m_current.Param32s)
        w.Raw(TRecordFormat::WriteParam32(*r));
    w.Line("EOF DataFile");
    return out;
}

bool TDataFileManager::WriteDataBlock(const QString &projectPath) const
{
    QString path = projectPath;
    if (!path.endsWith(QStringLiteral(".qvp")))
        path += QStringLiteral(".qvp");
    return TFileAccess::Append(path, DataBlock());
}

void TDataFileManager::ReadDataBlock(const QString &projectPath, const QByteArray &key)
{
    QByteArray content;
    if (TFileAccess::Read(projectPath, content))
        ReadDataBlockFrom(content, key);
}

void TDataFileManager::ReadDataBlockFrom(QByteArrayView content, const QByteArray &key)
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
        m_settings = TRecordFormat::ReadAppData(lines.Line(), version).value_or(TVISUALQvpInfo());
        found = m_settings.SourcePath == key;
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
            AddRecordLine(scanner.CurrentSection(), scanner.Version(), line, lines.HasLineEnd(), false);
    }
}

ModuleRecord *TDataFileManager::FindModuleByNumber(quint16 number) const
{
    for (ModuleRecord *r : m_current.Modules) {
        if (r->ModuleNumber == number)
            return r;
    }
    return nullptr;
}

ModuleRecord *TDataFileManager::FindModuleBySerial(quint32 serial) const
{
    for (ModuleRecord *r : m_current.Modules) {
        if (r->SerialNumber == serial)
            return r;
    }
    return nullptr;
}

ModuleRecord *TDataFileManager::FindPendingModuleBySerial(quint32 serial) const
{
    for (ModuleRecord *r : m_pending.Modules) {
        if (r->SerialNumber == serial)
            return r;
    }
    return nullptr;
}

ModuleRecord *TDataFileManager::FindPendingModuleByNumber(quint16 number) const
{
    for (ModuleRecord *r : m_pending.Modules) {
        if (r->ModuleNumber == number)
            return r;
    }
    return nullptr;
}

quint16 TDataFileManager::FindIoIndex(quint16 moduleNumber, quint16 channel) const
{
    // Positions are 16-bit on the wire; an IO past 0xFFFE cannot be addressed.
    const size_t count = qMin(m_current.Ios.size(), size_t(NotFound));
    for (size_t i = 0; i < count; ++i) {
        const IoRecord *r = m_current.Ios[i];
        if (r->ModuleNumber == moduleNumber && r->Channel == channel)
            return quint16(i);
    }
    return NotFound;
}

quint16 TDataFileManager::FindInterfaceModule(quint16 &number) const
{
    const size_t count = qMin(m_current.Modules.size(), size_t(NotFound));
    for (size_t i = 0; i < count; ++i) {
        const ModuleRecord *r = m_current.Modules[i];
        if (TModuleTypes::IsInterfaceModule(r->ModuleType)) {
            number = r->ModuleNumber;
            return quint16(i);
        }
    }
    return NotFound;
}

quint16 TDataFileManager::MemoIndexOf(const MemoRecord *record) const
{
    return IndexOf(m_current.Memos, record);
}

quint16 TDataFileManager::VariableIndexOf(const VariableRecord *record) const
{
    return IndexOf(m_current.Variables, record);
}

ModuleRecord *TDataFileManager::ModuleAt(qsizetype position) const
{
    return At(m_current.Modules, position);
}

IoRecord *TDataFileManager::IoAt(qsizetype position) const
{
    return At(m_current.Ios, position);
}

MemoRecord *TDataFileManager::MemoAt(qsizetype position) const
{
    return At(m_current.Memos, position);
}

MemoListRecord *TDataFileManager::MemoListAt(qsizetype position) const
{
    return At(m_current.MemoList, position);
}

VariableRecord *TDataFileManager::VariableAt(qsizetype position) const
{
    return At(m_current.Variables, position);
}

ModuleRecord *TDataFileManager::PendingModuleAt(qsizetype position) const
{
    return At(m_pending.Modules, position);
}

MemoRecord *TDataFileManager::PendingMemoAt(qsizetype position) const
{
    return At(m_pending.Memos, position);
}

VariableRecord *TDataFileManager::PendingVariableAt(qsizetype position) const
{
    return At(m_pending.Variables, position);
}

Param32Record *TDataFileManager::Param32At(quint8 kind, qsizetype position) const
{
    return kind == 21 ? At(m_current.Param32s, position) : nullptr;
}

QByteArray TDataFileManager::GetModelCode(quint16 type)
{
    return TModuleTypes::ModelCode(type);
}

QByteArray TDataFileManager::FileNamePart(const QByteArray &path)
{
    const qsizetype cut = qMax(path.lastIndexOf('\\'), path.lastIndexOf('/'));
    return path.mid(cut + 1);
}

void TDataFileManager::AssembleBytes(QByteArrayView bytes)
{
    m_assembler.AssembleBytes(bytes);
}

void TDataFileManager::DecodeFrame(QByteArrayView text)
{
    const TDecodedFrame frame = TFrameDecoder::Decode(text);
    emit frameDecoded(frame);
    if (!frame.IsAccepted()) {
        ++m_droppedFrames;
        return;
    }
    if (!m_lists)
        return;
    switch (frame.Type) {
    case MsgInputStatus:
    case MsgInputStatus2:
        if (TVQQModuleBase *module = m_lists->FindModule(this, frame.ModuleNumber))
            module->SetInputStatus(frame.Payload);
        break;
    case MsgOutputStatus:
        if (TVQQModuleBase *module = m_lists->FindModule(this, frame.ModuleNumber))
            module->SetOutputStatus(frame.Payload);
        RecomputePower(false);
        break;
    case MsgDimLevels:
        if (TVQQModuleBase *module = m_lists->FindModule(this, frame.ModuleNumber))
            module->SetLevels(frame.Payload);
        RecomputePower(false);
        break;
    case MsgTemperature:
        if (TVQQModuleBase *module = m_lists->FindModule(this, frame.ModuleNumber))
            module->SetTemperature(frame.Payload);
        break;
    case MsgVariable:
        if (TVQQVariableBaseItem *item = m_lists->FindVariable(this, frame.VariableNumber))
            item->SetValue(frame.Payload);
        break;
    default:
        break;
    }
}

void TDataFileManager::RecomputePower(bool resetMaximum)
{
    quint32 total = 0;
    quint32 maximum = 0;
    for (const IoRecord *io : m_current.Ios) {
        if (io->Power == 0 || !m_lists)
            continue;
        const TVQQModuleBase *module = m_lists->FindModule(this, io->ModuleNumber);
        if (!module)
            continue;
        quint8 state = 0;
        module->GetChannelState(state, io->Channel);
        if (state != 0)
            total += TModuleTypes::Row(module->GetModuleType()).Power == PowerRule::ByLevel ? quint32(io->Power) * state / 100
                                                                                   : io->Power;
        if (resetMaximum)
            maximum += io->Power;
    }
    // The stored total is 16-bit: a larger installation shows the highest value it can hold.
    m_powerTotal = quint16(qMin<quint32>(total, 0xFFFF));
    if (m_lists)
        m_lists->SetPower(total, resetMaximum, maximum + 100);
}

void TDataFileManager::ApplyPending()
{
    // Records that leave the current lists stay in the pools: older model objects point at them.
    m_current = m_pending;
    m_pending.Clear();
}
