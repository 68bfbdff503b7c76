#include "TProjectManager.h"

#include "TApplicationFiles.h"
#include "TCodePage.h"

#include "TDataFileManager.h"
#include "TFieldReader.h"
#include "TFieldWriter.h"
#include "TFileAccess.h"
#include "TLineReader.h"
#include "TPicturePaths.h"
#include "TProgramLists.h"
#include "TVisualDefaults.h"
#include "TVisualRecordFormat.h"
#include "TVQQMemoBaseItem.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"
#include "UserMessages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>

namespace {

template <typename Item>
bool Erase(std::vector<Item *> &list, TProjectItemBase *item)
{
    const auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}

// Writes one control section: heading, version line, the valid records, end line.
template <typename Record, typename Write>
void WriteSection(TFieldWriter &w, QByteArrayView heading, quint8 version, int stars,
                  const std::vector<TProjectItem<Record> *> &items, Write write, QByteArrayView endLine)
{
    w.Line(heading).Line(TFieldWriter::VersionLine(version, stars));
    for (TProjectItem<Record> *item : items) {
        const Record record = item->CurrentRecord();
        if (record.Valid == 1)
            w.Raw(write(record));
    }
    w.Line(endLine);
}

} // namespace

TProjectManager::TProjectManager(const QString &programFolder, UserMessages *messages)
    : m_programFolder(programFolder)
    , m_messages(messages)
{
}

TProjectManager::~TProjectManager() = default;

QByteArray TProjectManager::Compose()
{
    QByteArray out;
    TFieldWriter w(out);
    w.Line("Version prj").Line(TFieldWriter::VersionLine(FileVersion, 5));
    w.Line("ProjectList").Line(TFieldWriter::VersionLine(1, 5));
    for (const auto &app : m_applications)
        w.Text(app->Name()).Raw("|").Byte(app->Settings().ApplicationId).EndLine();
    w.Line("EOF ProjectFile");
    for (const auto &app : m_applications)
        w.Raw(app->DataBlock());

    w.Line("Screen").Line(TFieldWriter::VersionLine(3, 1));
    for (TProjectScreen *screen : m_screens)
        w.Raw(TVisualRecordFormat::WriteScreen(screen->ScreenRecord()));
    w.Line("EOF Screen");
    WriteSection(w, "Visual IO", 3, 4, m_outputs, TVisualRecordFormat::WriteOutput, "EOF Visual IO");
    WriteSection(w, "ShortCut", 2, 4, m_shortcuts, TVisualRecordFormat::WriteShortCut, "EOF ShortCut");
    WriteSection(w, "MemoItem", 1, 4, m_memos, TVisualRecordFormat::WriteMemo, "EOF Memo Item");
    WriteSection(w, "Variable Item", 1, 4, m_variables, TVisualRecordFormat::WriteVariable, "EOF Variable Item");
    WriteSection(w, "Axis Item", 1, 4, m_cameras, TVisualRecordFormat::WriteCamera, "EOF Axis Item");
    WriteSection(w, "Gauge Item", 1, 4, m_gauges, TVisualRecordFormat::WriteGauge, "EOF Gauge Item");
    return out;
}

bool TProjectManager::WriteProject(const QString &name, QString *error)
{
    QString path = name;
    if (!path.endsWith(QStringLiteral(".qvp")))
        path += QStringLiteral(".qvp");
    const QByteArray content = Compose();
    if (!TFileAccess::SaveAtomically(path, content, error))
        return false;
    m_fileName = path;
    m_fileHash = qHash(content);
    ClearModified();
    return true;
}

quint8 TProjectManager::ReadProjectVersion(const QString &name)
{
    QByteArray content;
    if (!TFileAccess::Read(name, content))
        return 0;
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

bool TProjectManager::OpenProject(const QString &name, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    QByteArray content;
    bool tooLarge = false;
    if (!TFileAccess::Read(name, content, &tooLarge))
        return fail(tooLarge ? QStringLiteral("The file is too large (more than 256 MB) to be a project file.")
                             : QStringLiteral("The file cannot be read."));
    m_version = ReadProjectVersion(name);
    if (m_version == 1) {
        if (m_messages)
            m_messages->ShowMessage(QStringLiteral("Unable to read this version"));
        return fail(QString());
    }
    if (m_version == 0)
        return fail(QStringLiteral("The file is not a project file."));
    if (m_version > FileVersion)
        return fail(QStringLiteral("The file is of format version %1, which this program does not read.").arg(m_version));
    if (m_version == 2 || m_version == 3) {
        KeepOldVersionCopy(name);
        if (m_messages)
            m_messages->ShowMessage(QStringLiteral("This application will be update"));
    }

    TLineReader lines(content);
    bool found = false;
    while (!found && lines.Next())
        found = lines.Line() == "ProjectList";
    if (!found || !lines.Next() || TVisualRecordFormat::SectionVersion(lines.Line()) != 1)
        return fail(QStringLiteral("The file's list of applications is missing or damaged."));
    while (lines.Next() && lines.Line() != "EOF ProjectFile") {
        TFieldReader entry(lines.Line());
        NewApplication(entry.PipeText());
    }
    for (const auto &app : m_applications)
        app->ReadDataBlockFrom(content, app->Name());
    return true;
}

void TProjectManager::KeepOldVersionCopy(const QString &name) const
{
    // The copy of a file of an older format; a missing "OldVersion" folder makes it fail silently.
    // The file opened is never touched, even when it is that copy (or the copy's first name).
    const QFileInfo file(name);
    const QDir folder(QDir(m_programFolder).filePath(QStringLiteral("OldVersion")));
    const QString copy = folder.filePath(file.completeBaseName() + QStringLiteral(".qvp2-01-00"));
    if (!folder.exists())
        return;
    const QString opened = file.canonicalFilePath();
    if (opened == QFileInfo(copy).canonicalFilePath())
        return;
    QFile::remove(copy);
    QFile::copy(name, copy);
}

bool TProjectManager::CheckScreenPicture(TNewVisualScreen &record) const
{
    if (!TPicturePaths::Resolve(record.Picture, m_programFolder).isEmpty())
        return true;
    if (m_messages)
        m_messages->ShowMessage(QStringLiteral("File Not Found:\n") + TPicturePaths::FromRecord(record.Picture)
                                + QStringLiteral("\n reset to default Image"));
    record.Picture = TPicturePaths::ToRecord(TVisualDefaults::ScreenBackground(m_programFolder));
    return false;
}

void TProjectManager::CheckOutputPictures(TNewVisualOutput &record, quint16 moduleType)
{
    const auto check = [&](QByteArray &picture, const QString &fallback) {
        // Thousands of controls name the same few pictures: each stored text is looked for on
        // the disk once per reading.
        auto found = m_resolved.constFind(picture);
        if (found == m_resolved.constEnd())
            found = m_resolved.insert(picture, TPicturePaths::Resolve(picture, m_programFolder));
        if (!found->isEmpty())
            return;
        if (m_messages)
            m_messages->ShowMessage(QStringLiteral("File Not Found\n") + TPicturePaths::FromRecord(picture)
                                    + QStringLiteral("\nSet to default image"));
        picture = TPicturePaths::ToRecord(fallback);
    };
    check(record.OnPicture, TVisualDefaults::OutputOnPicture(m_programFolder, moduleType, record.IoNumber));
    check(record.OffPicture, TVisualDefaults::OutputOffPicture(m_programFolder, moduleType, record.IoNumber));
}

bool TProjectManager::ReadScreens(TProjectBinder &binder, const TProgramLists &lists, const QString &name)
{
    m_resolved.clear();
    const auto forget = qScopeGuard([this] { m_resolved.clear(); });
    QByteArray content;
    if (!TFileAccess::Read(name, content))
        return false;
    m_fileHash = qHash(content);
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

    // Screens.
    if (!skipTo("Screen") || !lines.Next())
        return false;
    int version = TVisualRecordFormat::SectionVersion(lines.Line());
    if (!records("EOF Screen", [&](QByteArrayView line) {
            if (auto r = TVisualRecordFormat::ReadScreen(line, version); r && r->Valid == 1) {
                CheckScreenPicture(*r);
                AddScreen(binder, &*r);
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
            TDataFileManager *app = ApplicationById(r->ApplicationId);
            TVQQModuleBase *module = app ? lists.FindModule(app, r->ModuleNumber) : nullptr;
            if (!module || !ScreenById(r->ScreenId))
                return;
            CheckOutputPictures(*r, module->GetModuleType());
            AddOutput(dynamic_cast<TProjectItem<TNewVisualOutput> *>(MakeItem(binder, lists, *r)));
        }))
        return false;

    // Shortcuts.
    if (!skipTo("ShortCut") || !lines.Next())
        return false;
    version = TVisualRecordFormat::SectionVersion(lines.Line());
    if (!records("EOF ShortCut", [&](QByteArrayView line) {
            const auto r = TVisualRecordFormat::ReadShortCut(line, version);
            if (r && r->Valid == 1)
                AddShortcut(dynamic_cast<TProjectItem<TVisualShortCut> *>(MakeItem(binder, lists, *r)));
        }))
        return false;

    // Files of version 2 end here.
    if (m_version == 2)
        return true;

    // Memos.
    if (!skipTo("MemoItem") || !lines.Next())
        return false;
    version = TVisualRecordFormat::SectionVersion(lines.Line());
    if (!records("EOF Memo Item", [&](QByteArrayView line) {
            const auto r = TVisualRecordFormat::ReadMemo(line, version);
            if (r && r->Valid == 1)
                AddMemo(dynamic_cast<TProjectItem<TVisualMemoData> *>(MakeItem(binder, lists, *r)));
        }))
        return false;

    // Variables.
    if (!skipTo("Variable Item") || !lines.Next())
        return false;
    version = TVisualRecordFormat::SectionVersion(lines.Line());
    if (!records("EOF Variable Item", [&](QByteArrayView line) {
            const auto r = TVisualRecordFormat::ReadVariable(line, version);
            if (r && r->Valid == 1)
                AddVariable(dynamic_cast<TProjectItem<TVisualVariableData> *>(MakeItem(binder, lists, *r)));
        }))
        return false;

    // Cameras: a file may end right after the heading.
    if (!skipTo("Axis Item"))
        return false;
    if (!lines.Next())
        return true;
    version = TVisualRecordFormat::SectionVersion(lines.Line());
    if (!records("EOF Axis Item", [&](QByteArrayView line) {
            const auto r = TVisualRecordFormat::ReadCamera(line, version);
            if (r && r->Valid == 1)
                AddCamera(dynamic_cast<TProjectItem<TVisualAxisCamData> *>(MakeItem(binder, lists, *r)));
        }))
        return false;

    // Gauges: the heading line is taken as it comes; a file may end before it.
    if (!lines.Next())
        return true;
    if (!lines.Next())
        return false;
    if (!records("EOF Gauge Item", [&](QByteArrayView line) {
            const TVisualJaugeData r = TVisualRecordFormat::ReadGauge(line);
            if (r.Valid == 1)
                AddGauge(dynamic_cast<TProjectItem<TVisualJaugeData> *>(MakeItem(binder, lists, r)));
        }))
        return false;

    m_fileName = name;
    m_open = true;
    return true;
}

TDataFileManager *TProjectManager::NewApplication(const QByteArray &sourcePath)
{
    m_applications.push_back(std::make_unique<TDataFileManager>(nullptr, sourcePath, m_messages));
    m_open = true;
    m_modified = true;
    return m_applications.back().get();
}

void TProjectManager::RemoveApplication(TDataFileManager *application)
{
    std::erase_if(m_applications, [application](const auto &app) { return app.get() == application; });
}

TDataFileManager *TProjectManager::ApplicationById(quint16 id) const
{
    for (const auto &app : m_applications) {
        if (app->Settings().ApplicationId == id)
            return app.get();
    }
    return m_applications.empty() ? nullptr : m_applications.back().get();
}

quint8 TProjectManager::FreeApplicationId() const
{
    for (quint8 id = 1; id <= 127; ++id) {
        const bool used = std::any_of(m_applications.begin(), m_applications.end(),
                                      [id](const auto &app) { return app->Settings().ApplicationId == id; });
        if (!used)
            return id;
    }
    return 0;
}

quint16 TProjectManager::FreeScreenId() const
{
    for (quint16 id = 1; id <= 127; ++id) {
        if (!ScreenById(id))
            return id;
    }
    return 0;
}

bool TProjectManager::SameAsFile()
{
    return m_fileHash != 0 && qHash(Compose()) == m_fileHash;
}

TProjectScreen *TProjectManager::AddScreen(TProjectBinder &binder, const TNewVisualScreen *record)
{
    TNewVisualScreen r;
    if (record) {
        r = *record;
    } else {
        const quint16 id = FreeScreenId();
        if (id == 0)
            return nullptr;
        r = TVisualDefaults::NewScreen(id, m_programFolder);
    }
    TProjectScreen *screen = binder.CreateScreen(r);
    if (!screen)
        return nullptr;
    m_screens.push_back(screen);
    m_modified = true;
    return screen;
}

TProjectScreen *TProjectManager::ScreenById(quint16 id) const
{
    for (TProjectScreen *screen : m_screens) {
        if (screen->ScreenRecord().ScreenId == id)
            return screen;
    }
    return nullptr;
}

void TProjectManager::PlaceScreen(TProjectScreen *screen, size_t index)
{
    const auto found = std::find(m_screens.begin(), m_screens.end(), screen);
    if (found == m_screens.end())
        return;
    m_screens.erase(found);
    m_screens.insert(m_screens.begin() + std::ptrdiff_t(std::min(index, m_screens.size())), screen);
}

void TProjectManager::DeleteScreen(TProjectBinder &binder, quint16 id)
{
    // Every control standing on the screen leaves its list before it is destroyed, so a later
    // save never visits a destroyed control.
    const auto destroyOn = [&](auto &list) {
        for (std::size_t i = 0; i < list.size();) {
            if (list[i]->ItemScreenId() == id) {
                TProjectItemBase *item = list[i];
                list.erase(list.begin() + std::ptrdiff_t(i));
                binder.DestroyItem(item);
            } else {
                ++i;
            }
        }
    };
    destroyOn(m_outputs);
    destroyOn(m_shortcuts);
    destroyOn(m_memos);
    destroyOn(m_variables);
    destroyOn(m_cameras);
    destroyOn(m_gauges);
    for (std::size_t i = 0; i < m_screens.size();) {
        if (m_screens[i]->ScreenRecord().ScreenId == id) {
            TProjectScreen *screen = m_screens[i];
            m_screens.erase(m_screens.begin() + std::ptrdiff_t(i));
            binder.DestroyScreen(screen);
        } else {
            ++i;
        }
    }
    m_modified = true;
}

void TProjectManager::ForEachItem(const std::function<void(TProjectItemBase &)> &action) const
{
    const auto each = [&action](const auto &items) {
        for (TProjectItemBase *item : items)
            action(*item);
    };
    each(m_outputs);
    each(m_shortcuts);
    each(m_memos);
    each(m_variables);
    each(m_cameras);
    each(m_gauges);
}

void TProjectManager::AddOutput(TProjectItem<TNewVisualOutput> *item)
{
    if (!item)
        return;
    m_outputs.push_back(item);
    m_modified = true;
}

void TProjectManager::AddMemo(TProjectItem<TVisualMemoData> *item)
{
    if (!item)
        return;
    m_memos.push_back(item);
    m_modified = true;
}

void TProjectManager::AddVariable(TProjectItem<TVisualVariableData> *item)
{
    if (!item)
        return;
    m_variables.push_back(item);
    m_modified = true;
}

void TProjectManager::AddShortcut(TProjectItem<TVisualShortCut> *item)
{
    if (item)
        m_shortcuts.push_back(item);
}

void TProjectManager::AddCamera(TProjectItem<TVisualAxisCamData> *item)
{
    if (item)
        m_cameras.push_back(item);
}

void TProjectManager::AddGauge(TProjectItem<TVisualJaugeData> *item)
{
    if (item)
        m_gauges.push_back(item);
}

void TProjectManager::RemoveItem(TProjectItemBase *item)
{
    if (Erase(m_outputs, item) || Erase(m_shortcuts, item) || Erase(m_memos, item) || Erase(m_variables, item)
        || Erase(m_cameras, item) || Erase(m_gauges, item))
        m_modified = true;
}

TProjectItemBase *TProjectManager::MakeItem(TProjectBinder &binder, const TProgramLists &lists, const TVisualRecord &record)
{
    const auto made = [&](const auto &r) -> TProjectItemBase * {
        using Record = std::decay_t<decltype(r)>;
        TProjectScreen *screen = ScreenById(r.ScreenId);
        if (!screen)
            return nullptr;
        if constexpr (std::is_same_v<Record, TNewVisualOutput>) {
            TDataFileManager *app = ApplicationById(r.ApplicationId);
            TVQQModuleBase *module = app ? lists.FindModule(app, r.ModuleNumber) : nullptr;
            if (!module)
                return nullptr;
            const Param32Record *parameters = nullptr;
            const quint16 index = app->FindIoIndex(r.ModuleNumber, r.IoNumber);
            if (const IoRecord *io = index == TDataFileManager::NotFound ? nullptr : app->IoAt(index); io && io->ParamKind != 0)
                parameters = app->Param32At(io->ParamKind, io->ParamIndex());
            return binder.CreateOutput(r, *module, *screen, parameters);
        } else if constexpr (std::is_same_v<Record, TVisualMemoData>) {
            TDataFileManager *app = ApplicationById(r.ApplicationId);
            TVQQMemoBaseItem *memo = app ? lists.FindMemo(app, r.MemoNumber) : nullptr;
            return memo ? binder.CreateMemo(r, *screen, *memo) : nullptr;
        } else if constexpr (std::is_same_v<Record, TVisualVariableData>) {
            TDataFileManager *app = ApplicationById(r.ApplicationId);
            TVQQVariableBaseItem *variable = app ? lists.FindVariable(app, r.VariableNumber) : nullptr;
            return variable ? binder.CreateVariable(r, *screen, *variable) : nullptr;
        } else if constexpr (std::is_same_v<Record, TVisualShortCut>) {
            return binder.CreateShortcut(r, *screen);
        } else if constexpr (std::is_same_v<Record, TVisualAxisCamData>) {
            return binder.CreateCamera(r, *screen);
        } else {
            return binder.CreateGauge(r, *screen);
        }
    };
    return std::visit(made, record);
}

TVisualRecord TProjectManager::RecordOf(TProjectItemBase &item)
{
    if (auto *output = dynamic_cast<TProjectItem<TNewVisualOutput> *>(&item))
        return output->CurrentRecord();
    if (auto *shortcut = dynamic_cast<TProjectItem<TVisualShortCut> *>(&item))
        return shortcut->CurrentRecord();
    if (auto *memo = dynamic_cast<TProjectItem<TVisualMemoData> *>(&item))
        return memo->CurrentRecord();
    if (auto *variable = dynamic_cast<TProjectItem<TVisualVariableData> *>(&item))
        return variable->CurrentRecord();
    if (auto *camera = dynamic_cast<TProjectItem<TVisualAxisCamData> *>(&item))
        return camera->CurrentRecord();
    return dynamic_cast<TProjectItem<TVisualJaugeData> &>(item).CurrentRecord();
}

std::optional<size_t> TProjectManager::IndexOf(const TProjectItemBase *item) const
{
    std::optional<size_t> index;
    const auto look = [&](const auto &list) {
        for (size_t i = 0; i < list.size() && !index; ++i) {
            if (static_cast<const TProjectItemBase *>(list[i]) == item)
                index = i;
        }
    };
    look(m_outputs);
    look(m_shortcuts);
    look(m_memos);
    look(m_variables);
    look(m_cameras);
    look(m_gauges);
    return index;
}

void TProjectManager::InsertItem(TProjectItemBase *item, const TVisualRecord &record, size_t index)
{
    if (!item)
        return;
    const auto insert = [index](auto &list, auto *typed) {
        list.insert(list.begin() + std::ptrdiff_t(std::min(index, list.size())), typed);
    };
    std::visit(
        [&](const auto &r) {
            using Record = std::decay_t<decltype(r)>;
            auto *typed = dynamic_cast<TProjectItem<Record> *>(item);
            if constexpr (std::is_same_v<Record, TNewVisualOutput>)
                insert(m_outputs, typed);
            else if constexpr (std::is_same_v<Record, TVisualShortCut>)
                insert(m_shortcuts, typed);
            else if constexpr (std::is_same_v<Record, TVisualMemoData>)
                insert(m_memos, typed);
            else if constexpr (std::is_same_v<Record, TVisualVariableData>)
                insert(m_variables, typed);
            else if constexpr (std::is_same_v<Record, TVisualAxisCamData>)
                insert(m_cameras, typed);
            else
                insert(m_gauges, typed);
        },
        record);
    m_modified = true;
}

bool TProjectManager::GetModified() const
{
    // A move or a confirmed dialog marks the control itself, whatever its kind.
    bool changed = m_modified;
    ForEachItem([&changed](TProjectItemBase &item) { changed = changed || item.IsChanged(); });
    return changed;
}

void TProjectManager::ClearModified()
{
    m_modified = false;
    ForEachItem([](TProjectItemBase &item) { item.ClearChanged(); });
}

bool TProjectManager::BackupProjectFile(const QString &name, const QDateTime &now)
{
    QByteArray content;
    return TFileAccess::Read(name, content) && BackupProjectContent(name, content, now);
}

bool TProjectManager::BackupProjectContent(const QString &name, const QByteArray &content, const QDateTime &now)
{
    const QString folder = QDir(m_programFolder).filePath(QStringLiteral("Data/Backup File"));
    QDir().mkpath(folder);
    const QString fileName = QFileInfo(name).fileName();
    const qsizetype at = fileName.indexOf(QStringLiteral(".qvp"));
    if (at <= 0)
        return false;
    const QDate d = now.date();
    const QTime t = now.time();
    const QString target = QDir(folder).filePath(QStringLiteral("%1[%2 %3 %4 - %5 %6 %7 ].qvp")
                                                     .arg(fileName.left(at))
                                                     .arg(d.year()).arg(d.month()).arg(d.day())
                                                     .arg(t.hour()).arg(t.minute()).arg(t.second()));
    return TFileAccess::SaveAtomically(target, content);
}

namespace {

// Takes out of `list` and destroys every item for which `gone` holds.
template <typename Record, typename Gone>
void DestroyWhere(std::vector<TProjectItem<Record> *> &list, TProjectBinder &binder, Gone gone)
{
    for (std::size_t i = 0; i < list.size();) {
        if (gone(list[i]->CurrentRecord())) {
            TProjectItemBase *item = list[i];
            list.erase(list.begin() + std::ptrdiff_t(i));
            binder.DestroyItem(item);
        } else {
            ++i;
        }
    }
}

} // namespace

bool TProjectManager::UpdateApplication(TDataFileManager &application, const QString &exportPath, TProjectBinder &binder,
                                        TProgramLists &lists, const QDateTime &now, bool backup)
{
    // The export is checked before anything is written: a file that cannot be read or is no
    // export changes nothing and leaves no backup.
    QByteArray content;
    const auto refuse = [this](const QString &text) {
        if (m_messages)
            m_messages->ShowMessage(text);
        return false;
    };
    bool tooLarge = false;
    if (!TFileAccess::Read(exportPath, content, &tooLarge))
        return refuse(tooLarge ? TFileAccess::TooLargeMessage(exportPath) : QStringLiteral("Unable to read the export:\n") + exportPath);
    if (!TApplicationFiles::LooksLikeExport(content))
        return refuse(QStringLiteral("This file is not a configuration export:\n") + exportPath);
    if (!TCodePage::CheckStoredText(exportPath).isEmpty())
        return refuse(QStringLiteral("This file name cannot be kept in a project file:\n") + exportPath);
    if (backup)
        BackupProjectFile(m_fileName, now);
    if (!application.ExportImport(exportPath, TDataFileManager::ImportPending))
        return false;
    const QByteArray path = TPicturePaths::ToRecord(exportPath);
    application.SetName(path);
    application.Settings().SourcePath = path;
    if (application.CompareWithPending())
        RemoveVanishedControls(binder, lists);
    application.ApplyPending();
    lists.FollowUpdate(application);
    m_modified = true;
    return true;
}

void TProjectManager::RemoveVanishedControls(TProjectBinder &binder, const TProgramLists &lists)
{
    // The controls name their items as the reader bound them: application by id, then number.
    DestroyWhere(m_outputs, binder, [this](const TNewVisualOutput &r) {
        const TDataFileManager *app = ApplicationById(r.ApplicationId);
        return app && app->Comparison().ModuleWasDropped(r.ModuleNumber);
    });
    DestroyWhere(m_memos, binder, [this, &lists](const TVisualMemoData &r) {
        TDataFileManager *app = ApplicationById(r.ApplicationId);
        const TVQQMemoBaseItem *memo = app ? lists.FindMemo(app, r.MemoNumber) : nullptr;
        return memo && app->Comparison().MemoWasDropped(memo->GetRecord());
    });
    DestroyWhere(m_variables, binder, [this, &lists](const TVisualVariableData &r) {
        TDataFileManager *app = ApplicationById(r.ApplicationId);
        const TVQQVariableBaseItem *variable = app ? lists.FindVariable(app, r.VariableNumber) : nullptr;
        return variable && app->Comparison().VariableWasDropped(variable->GetRecord());
    });
}

void TProjectManager::RemoveApplicationControls(TProjectBinder &binder, const TDataFileManager &application)
{
    DestroyWhere(m_outputs, binder, [&](const TNewVisualOutput &r) { return ApplicationById(r.ApplicationId) == &application; });
    DestroyWhere(m_memos, binder, [&](const TVisualMemoData &r) { return ApplicationById(r.ApplicationId) == &application; });
    DestroyWhere(m_variables, binder, [&](const TVisualVariableData &r) { return ApplicationById(r.ApplicationId) == &application; });
    m_modified = true;
}
