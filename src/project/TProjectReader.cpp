#include "TProjectReader.h"

#include "TUserFolders.h"

#include "TDataFileManager.h"
#include "TFieldReader.h"
#include "TFileAccess.h"
#include "TLineReader.h"
#include "TPicturePaths.h"
#include "TProgramLists.h"
#include "TProjectManager.h"
#include "TVisualDefaults.h"
#include "TVisualRecordFormat.h"
#include "TVQQModuleBase.h"
#include "UserMessages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <utility>

quint8 TProjectReader::VersionOf(const QByteArray &content)
{
    TLineReader lines(content);
    if (!lines.Next() || !lines.Next())
        return 0;
    const QByteArrayView line = lines.Line();
    const bool firstStar = line.size() > 0 && line[0] == '*';
    const bool secondStar = line.size() > 1 && line[1] == '*';
    if (!firstStar && !secondStar)
        return 0;
    if (!firstStar || line.size() < 2 || line[1] != '[')
        return 0;  // 255, which counts as unreadable
    const quint32 version = TFieldReader::ParseHex(line.sliced(2), 2);
    return version > 254 ? 0 : quint8(version);
}

bool TProjectReader::ReadApplications(const QString &name, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    QByteArray content;
    bool tooLarge = false;
    if (!TFileAccess::Read(name, content, &tooLarge))
        return fail(tooLarge                                 ? QStringLiteral("The file is too large (more than 256 MB) to be a project file.")
                    : TFileAccess::IsOtherThanAFile(name) ? QStringLiteral("This is not a file but a pipe, a device or a folder.")
                                                          : QStringLiteral("The file cannot be read."));
    TFileAccess::RemoveStaleTemporaries(name);
    m_project.m_version = VersionOf(content);
    if (m_project.m_version == 1) {
        if (m_project.m_messages)
            m_project.m_messages->ShowMessage(QStringLiteral("Unable to read this version"));
        return fail(QString());
    }
    if (m_project.m_version == 0)
        return fail(QStringLiteral("The file is not a project file."));
    if (m_project.m_version > TProjectManager::FileVersion)
        return fail(QStringLiteral("The file is of format version %1, which this program does not read.").arg(m_project.m_version));
    // A file of an older format is kept as it was read, but only once all of it has been read:
    // a damaged file refused must not take the place of an earlier good copy.
    m_project.m_oldVersionContent.clear();
    if (m_project.m_version == 2 || m_project.m_version == 3)
        m_project.m_oldVersionContent = content;

    TLineReader lines(content);
    bool found = false;
    while (!found && lines.Next())
        found = lines.Line() == "ProjectList";
    if (!found || !lines.Next() || TVisualRecordFormat::SectionVersion(lines.Line()) != 1)
        return fail(QStringLiteral("The file's list of applications is missing or damaged."));
    while (lines.Next() && lines.Line() != "EOF ProjectFile") {
        TFieldReader entry(lines.Line());
        m_project.NewApplication(entry.PipeText());
    }
    for (const auto &app : m_project.m_applications)
        app->ReadDataBlockFrom(content, app->Name());
    m_project.m_readName = name;
    m_project.m_readContent = content;
    return true;
}

bool TProjectReader::KeepOldVersionCopy(const QString &name) const
{
    // The copy of a file of an older format, made before the upgraded file can be saved over it.
    // The file opened is never touched, even when it is that copy (or the copy's first name). A
    // copy already there with other bytes stays; this one takes the next number.
    const QByteArray &content = m_project.m_oldVersionContent;
    const QFileInfo file(name);
    const QDir folder(TUserFolders::OldVersionFolder(m_project.m_programFolder));
    if (!QDir().mkpath(folder.path()))
        return false;
    const QString opened = file.canonicalFilePath();
    const QString first = folder.filePath(file.completeBaseName() + QStringLiteral(".qvp2-01-00"));
    for (int number = 0; number < 1000; ++number) {
        const QString copy = number == 0 ? first : first + QLatin1Char('.') + QString::number(number);
        if (opened == QFileInfo(copy).canonicalFilePath())
            return true;
        if (!QFileInfo::exists(copy))
            return TFileAccess::SaveAtomically(copy, content, nullptr, name);
        QByteArray kept;
        if (TFileAccess::Read(copy, kept) && kept == content)
            return true;  // kept already
    }
    return false;
}

bool TProjectReader::CheckScreenPicture(TNewVisualScreen &record, const QString &programFolder, UserMessages *messages)
{
    if (!TPicturePaths::Resolve(record.Picture, programFolder).isEmpty())
        return true;
    ResetScreenPicture(record, programFolder, messages);
    return false;
}

void TProjectReader::ResetScreenPicture(TNewVisualScreen &record, const QString &programFolder, UserMessages *messages)
{
    if (messages)
        messages->ShowMessage(QStringLiteral("File Not Found:\n") + TPicturePaths::FromRecord(record.Picture)
                                + QStringLiteral("\n reset to default Image"));
    record.Picture = TPicturePaths::ToRecord(TVisualDefaults::ScreenBackground(programFolder));
}

// Thousands of controls and many screens name the same few pictures: each stored text is looked
// for on the disk once per reading, and its bytes are kept once for every record naming them.
const QString &TProjectReader::Found(QByteArray &picture)
{
    auto found = m_resolved.constFind(picture);
    if (found == m_resolved.constEnd())
        found = m_resolved.insert(picture, TPicturePaths::Resolve(picture, m_project.m_programFolder));
    picture = found.key();
    return *found;
}

void TProjectReader::CheckOutputPictures(TNewVisualOutput &record, quint16 moduleType)
{
    // The default is only made for a picture that is missing.
    const auto check = [&](QByteArray &picture, bool on) {
        if (!Found(picture).isEmpty())
            return;
        if (m_project.m_messages)
            m_project.m_messages->ShowMessage(QStringLiteral("File Not Found\n") + TPicturePaths::FromRecord(picture)
                                    + QStringLiteral("\nSet to default image"));
        const QString &folder = m_project.m_programFolder;
        picture = TPicturePaths::ToRecord(on ? TVisualDefaults::OutputOnPicture(folder, moduleType, record.IoNumber)
                                             : TVisualDefaults::OutputOffPicture(folder, moduleType, record.IoNumber));
    };
    check(record.OnPicture, true);
    check(record.OffPicture, false);
}

bool TProjectReader::ReadScreens(TProjectBinder &binder, const TProgramLists &lists, const QString &name)
{
    m_resolved.clear();
    const auto forget = qScopeGuard([this] { m_resolved.clear(); });
    QByteArray content = std::exchange(m_project.m_readContent, {});
    if (std::exchange(m_project.m_readName, {}) != name && !TFileAccess::Read(name, content))
        return false;
    m_project.m_fileHash = qHash(content);
    m_project.m_droppedAtOpen = 0;
    m_project.m_placedAtOpen = 0;
    TLineReader lines(content);
    const auto skipTo = [&lines](QByteArrayView heading) {
        while (lines.Next()) {
            if (lines.Line() == heading)
                return true;
        }
        return false;
    };
    // Calls `each` for every record line up to `endLine`; false when the file ends first.
    const auto records = [&lines](QByteArrayView endLine, const auto &each) {
        while (lines.Next()) {
            if (lines.Line() == endLine)
                return true;
            each(lines.Line());
        }
        return false;
    };
    // A record read from the file made into its control and listed, when it is valid.
    const auto place = [&](const auto &record) {
        using Record = std::decay_t<decltype(record)>;
        if (record.Valid != 1)
            return;
        auto *item = dynamic_cast<TProjectItem<Record> *>(m_project.MakeItem(binder, lists, record));
        ++(item ? m_project.m_placedAtOpen : m_project.m_droppedAtOpen);
        m_project.AddItem(item);
    };
    // A section found by its heading, its version line, then its records up to `endLine`.
    const auto section = [&](QByteArrayView heading, QByteArrayView endLine, const auto &read) {
        if (!skipTo(heading) || !lines.Next())
            return false;
        const int sectionVersion = TVisualRecordFormat::SectionVersion(lines.Line());
        return records(endLine, [&](QByteArrayView line) {
            if (const auto r = read(line, sectionVersion))
                place(*r);
        });
    };

    // Screens.
    if (!skipTo("Screen") || !lines.Next())
        return false;
    int version = TVisualRecordFormat::SectionVersion(lines.Line());
    if (!records("EOF Screen", [&](QByteArrayView line) {
            if (auto r = TVisualRecordFormat::ReadScreen(line, version); r && r->Valid == 1) {
                if (Found(r->Picture).isEmpty())
                    ResetScreenPicture(*r, m_project.m_programFolder, m_project.m_messages);
                m_project.AddScreen(binder, &*r);
            }
        }))
        return false;

    // Outputs: the section must follow at once.
    if (!lines.Next() || lines.Line() != "Visual IO" || !lines.Next())
        return false;
    version = TVisualRecordFormat::SectionVersion(lines.Line());
    if (!records("EOF Visual IO", [&](QByteArrayView line) {
            auto r = TVisualRecordFormat::ReadOutput(line, version);
            if (!r || r->Valid != 1)
                return;
            TDataFileManager *app = m_project.ApplicationById(r->ApplicationId);
            TVQQModuleBase *module = app ? lists.FindModule(app, r->ModuleNumber) : nullptr;
            if (!module || !m_project.ScreenById(r->ScreenId)) {
                ++m_project.m_droppedAtOpen;
                return;
            }
            CheckOutputPictures(*r, module->GetModuleType());
            place(*r);
        }))
        return false;

    if (!section("ShortCut", "EOF ShortCut", TVisualRecordFormat::ReadShortCut))
        return false;
    // Files of version 2 end here.
    if (m_project.m_version == 2)
        return true;
    if (!section("MemoItem", "EOF Memo Item", TVisualRecordFormat::ReadMemo)
        || !section("Variable Item", "EOF Variable Item", TVisualRecordFormat::ReadVariable))
        return false;

    // Cameras: a file may end right after the heading.
    if (!skipTo("Axis Item"))
        return false;
    if (!lines.Next())
        return true;
    version = TVisualRecordFormat::SectionVersion(lines.Line());
    if (!records("EOF Axis Item", [&](QByteArrayView line) {
            if (const auto r = TVisualRecordFormat::ReadCamera(line, version))
                place(*r);
        }))
        return false;

    // Gauges: the heading line is taken as it comes; a file may end before it.
    if (!lines.Next())
        return true;
    if (!lines.Next())
        return false;
    if (!records("EOF Gauge Item", [&](QByteArrayView line) {
            place(TVisualRecordFormat::ReadGauge(line));
        }))
        return false;

    m_project.m_fileName = name;
    m_project.m_open = true;
    return true;
}
