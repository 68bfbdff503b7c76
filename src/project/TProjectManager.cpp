#include "TProjectManager.h"

#include "TUserFolders.h"

#include <utility>

#include "TApplicationFiles.h"
#include "TCodePage.h"

#include "TDataFileManager.h"
#include "TFieldReader.h"
#include "TFieldWriter.h"
#include "TFileAccess.h"
#include "TLineReader.h"
#include "TPicturePaths.h"
#include "TProgramLists.h"
#include "TProjectReader.h"
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

// Writes one control section: heading, version line, the valid records, end line.
template <typename Record, typename Write>
void WriteSection(TFieldWriter &w, QByteArrayView heading, quint8 version, int stars,
                  const TControlList &controls, Write write, QByteArrayView endLine)
{
    w.Line(heading).Line(TFieldWriter::VersionLine(version, stars));
    for (TProjectItem<Record> *item : controls.Of<Record>()) {
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
    WriteSection<TNewVisualOutput>(w, "Visual IO", 3, 4, m_controls, TVisualRecordFormat::WriteOutput, "EOF Visual IO");
    WriteSection<TVisualShortCut>(w, "ShortCut", 2, 4, m_controls, TVisualRecordFormat::WriteShortCut, "EOF ShortCut");
    WriteSection<TVisualMemoData>(w, "MemoItem", 1, 4, m_controls, TVisualRecordFormat::WriteMemo, "EOF Memo Item");
    WriteSection<TVisualVariableData>(w, "Variable Item", 1, 4, m_controls, TVisualRecordFormat::WriteVariable, "EOF Variable Item");
    WriteSection<TVisualAxisCamData>(w, "Axis Item", 1, 4, m_controls, TVisualRecordFormat::WriteCamera, "EOF Axis Item");
    WriteSection<TVisualJaugeData>(w, "Gauge Item", 1, 4, m_controls, TVisualRecordFormat::WriteGauge, "EOF Gauge Item");
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

bool TProjectManager::OpenProject(const QString &name, QString *error)
{
    return TProjectReader(*this).ReadApplications(name, error);
}

bool TProjectManager::CheckScreenPicture(TNewVisualScreen &record) const
{
    return TProjectReader::CheckScreenPicture(record, m_programFolder, m_messages);
}

bool TProjectManager::ReadScreens(TProjectBinder &binder, const TProgramLists &lists, const QString &name)
{
    TProjectReader reader(*this);
    binder.SetReading(true);
    const bool read = reader.ReadScreens(binder, lists, name);
    binder.SetReading(false);
    // The whole file read: an older format is upgraded, its original kept.
    m_oldVersionUnkept = false;
    if (read && !m_oldVersionContent.isEmpty()) {
        m_oldVersionUnkept = !reader.KeepOldVersionCopy(name);
        if (m_messages && m_oldVersionUnkept)
            m_messages->ShowMessage(QStringLiteral("The copy of this project in its older format could not be written in:\n") +
                                    TUserFolders::OldVersionFolder(m_programFolder) +
                                    QStringLiteral("\nSaving over the file is refused: use \"Save As\" to keep the upgraded project."));
        if (m_messages)
            m_messages->ShowMessage(QStringLiteral("This application will be update"));
    }
    m_oldVersionContent.clear();
    return read;
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

void TProjectManager::MoveApplication(TDataFileManager *application, size_t index)
{
    const auto at = std::find_if(m_applications.begin(), m_applications.end(), [application](const auto &app) { return app.get() == application; });
    if (at == m_applications.end() || index >= m_applications.size())
        return;
    auto moved = std::move(*at);
    m_applications.erase(at);
    m_applications.insert(m_applications.begin() + qsizetype(index), std::move(moved));
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

void TProjectManager::AdoptFile(const QString &path)
{
    QByteArray content;
    m_fileName = path;
    m_fileHash = TFileAccess::Read(path, content) ? qHash(content) : 0;
}

bool TProjectManager::ChangedOnDisk() const
{
    if (m_fileName.isEmpty() || m_fileHash == 0 || !QFileInfo::exists(m_fileName))
        return false;
    QByteArray content;
    return !TFileAccess::Read(m_fileName, content) || qHash(content) != m_fileHash;
}

bool TProjectManager::SameAsFile()
{
    return m_fileHash != 0 && qHash(Compose()) == m_fileHash;
}

void TProjectManager::RemoveItem(TProjectItemBase *item)
{
    if (m_controls.Remove(item))
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
    return m_controls.IndexOf(item);
}

void TProjectManager::InsertItem(TProjectItemBase *item, const TVisualRecord &record, size_t index)
{
    if (!item)
        return;
    m_controls.Insert(item, record.index(), index);
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

bool TProjectManager::BackupProjectContent(const QString &name, const QByteArray &content, const QDateTime &now, QString *written)
{
    const QString folder = TUserFolders::BackupFolder(m_programFolder);
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
    // The copy keeps the project's permissions: a private project holds passwords.
    if (written)
        *written = target;
    return TFileAccess::SaveAtomically(target, content, nullptr, name);
}

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
    // An update removes controls: it never goes ahead without its backup.
    if (backup && !BackupProjectFile(m_fileName, now))
        return refuse(QStringLiteral("The backup copy of the project could not be written in:\n") + TUserFolders::BackupFolder(m_programFolder) +
                      QStringLiteral("\nThe application was not updated."));
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
    m_controls.DestroyWhere(binder, [this, &lists](TProjectItemBase &item) {
        if (auto *output = dynamic_cast<TProjectItem<TNewVisualOutput> *>(&item)) {
            const TNewVisualOutput r = output->CurrentRecord();
            const TDataFileManager *app = ApplicationById(r.ApplicationId);
            return app && app->Comparison().ModuleWasDropped(r.ModuleNumber);
        }
        if (auto *memoItem = dynamic_cast<TProjectItem<TVisualMemoData> *>(&item)) {
            const TVisualMemoData r = memoItem->CurrentRecord();
            TDataFileManager *app = ApplicationById(r.ApplicationId);
            const TVQQMemoBaseItem *memo = app ? lists.FindMemo(app, r.MemoNumber) : nullptr;
            return memo && app->Comparison().MemoWasDropped(memo->GetRecord());
        }
        if (auto *variableItem = dynamic_cast<TProjectItem<TVisualVariableData> *>(&item)) {
            const TVisualVariableData r = variableItem->CurrentRecord();
            TDataFileManager *app = ApplicationById(r.ApplicationId);
            const TVQQVariableBaseItem *variable = app ? lists.FindVariable(app, r.VariableNumber) : nullptr;
            return variable && app->Comparison().VariableWasDropped(variable->GetRecord());
        }
        return false;
    });
}

void TProjectManager::RemoveApplicationControls(TProjectBinder &binder, const TDataFileManager &application)
{
    m_controls.DestroyWhere(binder, [&](TProjectItemBase &item) { return BelongsTo(item, application); });
    m_modified = true;
}

bool TProjectManager::BelongsTo(TProjectItemBase &item, const TDataFileManager &application) const
{
    if (auto *output = dynamic_cast<TProjectItem<TNewVisualOutput> *>(&item))
        return ApplicationById(output->CurrentRecord().ApplicationId) == &application;
    if (auto *memo = dynamic_cast<TProjectItem<TVisualMemoData> *>(&item))
        return ApplicationById(memo->CurrentRecord().ApplicationId) == &application;
    if (auto *variable = dynamic_cast<TProjectItem<TVisualVariableData> *>(&item))
        return ApplicationById(variable->CurrentRecord().ApplicationId) == &application;
    return false;
}
