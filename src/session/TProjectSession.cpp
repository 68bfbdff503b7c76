#include "TProjectSession.h"

#include "SerialPort.h"
#include "TApplicationFiles.h"
#include "TCodePage.h"
#include "TDataFileManager.h"
#include "TFileAccess.h"
#include "THeadlessBinder.h"
#include "TProgramLists.h"
#include "TProjectBinder.h"
#include "TProjectManager.h"
#include "TVQQMemoBaseItem.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"
#include "UserMessages.h"

#include <QFileInfo>

#include <algorithm>

TProjectSession::TProjectSession(const QString &programFolder, UserMessages *messages, QObject *parent)
    : QObject(parent)
    , m_programFolder(programFolder)
    , m_messages(messages)
    , m_headless(std::make_unique<THeadlessBinder>())
    , m_binder(m_headless.get())
{
    // Signal arguments that queued connections and spies must know by name.
    qRegisterMetaType<TDataFileManager *>();
    qRegisterMetaType<TVQQModuleBase *>();
    qRegisterMetaType<TVQQMemoBaseItem *>();
    qRegisterMetaType<TVQQVariableBaseItem *>();
    qRegisterMetaType<RunMode>();
    qRegisterMetaType<LinkHealth>();
    MakeEmpty();
}

TProjectSession::~TProjectSession()
{
    TearDown();
    m_project.reset();
    m_lists.reset();
}

void TProjectSession::MakeEmpty()
{
    m_project = std::make_unique<TProjectManager>(m_programFolder, m_messages);
    m_lists = std::make_unique<TProgramLists>(nullptr, m_programFolder, m_messages);
    m_power = 0;
    TProgramLists *lists = m_lists.get();
    connect(lists, &TProgramLists::moduleChanged, this, [this](TVQQModuleBase *module, quint8 parts) {
        emit stateChanged(module->GetApplication(), module, parts);
    });
    connect(lists, &TProgramLists::memoChanged, this,
            [this](TVQQMemoBaseItem *memo) { emit memoChanged(memo->GetApplication(), memo); });
    connect(lists, &TProgramLists::variableChanged, this,
            [this](TVQQVariableBaseItem *variable) { emit variableChanged(variable->GetApplication(), variable); });
    connect(lists, &TProgramLists::powerChanged, this, [this, lists] {
        if (lists->CurrentPower() == m_power)
            return;
        m_power = lists->CurrentPower();
        emit powerChanged(m_power);
    });
}

void TProjectSession::TearDown()
{
    m_lock.Release();
    m_readOnly = false;
    if (!m_project)
        return;
    CloseLinks();
    // Controls first (they leave their model objects), then the model objects.
    m_project->DeleteAllScreens(*m_binder);
    for (const auto &application : m_project->Applications())
        m_lists->RemoveApplication(*application);
}

void TProjectSession::Attach(TDataFileManager &application)
{
    m_lists->AddApplication(application);
    TDataFileManager *app = &application;
    connect(&application.Session(), &TLinkSession::healthChanged, this,
            [this, app](LinkHealth health) { emit healthChanged(app, health); });
    if (SerialPort *link = application.Link()) {
        connect(link, &SerialPort::frameWritten, this,
                [this, app](const QByteArray &frame) { emit commandSent(app, frame); });
    }
}

bool TProjectSession::SetMode(RunMode mode)
{
    if (mode == m_mode)
        return false;
    // Test mode plays with the module states; leaving it puts back what the modules reported.
    const bool leavingTest = m_mode == RunMode::Test;
    if (mode == RunMode::Test) {
        for (const auto &module : m_lists->Modules())
            module->SaveTestSnapshot();
    } else if (leavingTest) {
        // The controls re-read the reported states while they still follow them: design time
        // would keep the test's faces and show them again when run time comes back.
        for (const auto &module : m_lists->Modules()) {
            module->RestoreTestSnapshot();
            module->RefreshControls();
        }
        for (const auto &application : m_project->Applications())
            application->RecomputePower(false);
    }
    m_project->ForEachItem([mode](TProjectItemBase &item) { item.SetRunTimeMode(mode); });
    m_mode = mode;
    // Entering a test, the controls leave their design faces for the state they will flip.
    if (leavingTest || mode == RunMode::Test) {
        for (const auto &module : m_lists->Modules())
            module->RefreshControls();
    }
    emit modeChanged(mode);
    return true;
}

bool TProjectSession::Open(const QString &path, QString *error, bool readOnly)
{
    if (m_mode == RunMode::RunTime)
        SetMode(RunMode::DesignTime);
    Close();
    QString why;
    bool read = m_project->OpenProject(path, &why);
    if (read) {
        for (const auto &application : m_project->Applications()) {
            Attach(*application);
            application->RecomputePower(true);
        }
        read = m_project->ReadScreens(*m_binder, *m_lists, path);
        if (!read)
            why = QStringLiteral("The file's screens and controls are cut short or damaged.");
    }
    if (!read) {
        // Whatever was made of the file goes; the empty project takes its place.
        TearDown();
        m_project.reset();
        m_lists.reset();
        MakeEmpty();
        if (error)
            *error = why;
        emit closed();
        CheckModified();
        return false;
    }
    m_project->ClearModified();
    m_readOnly = readOnly;
    if (!readOnly)
        m_lock.Take(path);
    SayDroppedControls();
    emit projectOpened();
    CheckModified();
    return true;
}

void TProjectSession::SayDroppedControls()
{
    const int dropped = m_project->DroppedAtOpen();
    if (dropped == 0)
        return;
    // Left out now, gone from the file at the next save: the project counts as changed.
    m_project->SetModified();
    QStringList missing;
    for (const auto &application : m_project->Applications()) {
        const auto &modules = m_lists->Modules();
        const bool any = std::any_of(modules.begin(), modules.end(), [&](const auto &m) { return m->GetApplication() == application.get(); });
        if (!any)
            missing.append(TCodePage::ToDisplay(TDataFileManager::FileNamePart(application->Name())));
    }
    QString text = QStringLiteral("%1 of the project's %2 controls could not be placed and were left out: what they show "
                                  "(a module, a memo, a variable) or their screen is not in the project.")
                       .arg(dropped)
                       .arg(dropped + m_project->PlacedAtOpen());
    if (!missing.isEmpty())
        text += QStringLiteral("\nNo installation data was found for: ") + missing.join(QStringLiteral(", ")) + QLatin1Char('.');
    text += QStringLiteral("\nThe file still holds them; saving the project would remove them.");
    if (m_messages)
        m_messages->ShowMessage(text);
}

void TProjectSession::Close()
{
    emit aboutToClose();
    TearDown();
    m_project.reset();
    m_lists.reset();
    MakeEmpty();
    emit closed();
    CheckModified();
}

bool TProjectSession::Save(const QString &name, QString *error)
{
    const QString own = m_project->FileName();
    const auto same = [&own](const QString &path) {
        const QString withType = path.endsWith(QStringLiteral(".qvp")) ? path : path + QStringLiteral(".qvp");
        return !own.isEmpty() && QFileInfo(withType).absoluteFilePath() == QFileInfo(own).absoluteFilePath();
    };
    if (m_readOnly && same(name)) {
        if (error)
            *error = QStringLiteral("This project is open read only, as another Visual Quelnor has it open: use \"Save As\" "
                                    "to keep the changes in another file.");
        return false;
    }
    if (m_project->OldVersionUnkept() && same(name)) {
        if (error)
            *error = QStringLiteral("The copy of this project in its older format could not be written: use \"Save As\" "
                                    "to keep the upgraded project in another file.");
        return false;
    }
    const bool saved = m_project->WriteProject(name, error);
    if (saved && !same(name))
        m_project->OldVersionSavedElsewhere();
    // Saved under a name of its own, the project is ours there.
    if (saved && !m_lock.Holds(m_project->FileName())) {
        m_lock.Take(m_project->FileName());
        m_readOnly = false;
    }
    CheckModified();
    return saved;
}

void TProjectSession::AdoptFile(const QString &path)
{
    m_project->AdoptFile(path);
    if (!m_readOnly)
        m_lock.Take(path);
}

QString TProjectSession::OtherHolder(const QString &path) const
{
    return m_lock.Holds(path) ? QString() : TProjectLock::OtherHolder(path);
}

bool TProjectSession::ChangedOnDisk() const
{
    return m_project->ChangedOnDisk();
}

TDataFileManager *TProjectSession::AddApplication(const QString &exportPath)
{
    const auto refuse = [this](const QString &text) -> TDataFileManager * {
        if (m_messages)
            m_messages->ShowMessage(text);
        return nullptr;
    };
    QByteArray key;
    if (!TCodePage::CheckStoredText(exportPath, &key).isEmpty())
        return refuse(QStringLiteral("This file name cannot be kept in a project file:\n") + exportPath);
    // An export that cannot be read, or a file that is no export, adds nothing to the project.
    bool tooLarge = false;
    QByteArray content;
    if (!TFileAccess::Read(exportPath, content, &tooLarge))
        return refuse(tooLarge ? TFileAccess::TooLargeMessage(exportPath) : QStringLiteral("Unable to read the export:\n") + exportPath);
    if (!TApplicationFiles::LooksLikeExport(content))
        return refuse(QStringLiteral("This file is not a configuration export:\n") + exportPath);
    TDataFileManager *application = m_project->NewApplication(key);
    application->ImportExportContent(content, key, TDataFileManager::ImportReplace);
    application->Settings().ApplicationId = m_project->FreeApplicationId();
    application->Settings().SourcePath = application->Name();
    Attach(*application);
    emit applicationAdded(application);
    CheckModified();
    return application;
}

bool TProjectSession::UpdateApplication(TDataFileManager &application, const QString &exportPath, const QDateTime &now,
                                        bool backup)
{
    if (!m_project->UpdateApplication(application, exportPath, *m_binder, *m_lists, now, backup))
        return false;
    emit applicationUpdated(&application);
    CheckModified();
    return true;
}

void TProjectSession::RemoveApplication(TDataFileManager &application)
{
    emit applicationRemoved(&application);
    application.Session().CloseLink();
    m_project->RemoveApplicationControls(*m_binder, application);
    m_lists->RemoveApplication(application);
    m_project->RemoveApplication(&application);
    m_project->SetModified();
    CheckModified();
}

TDataFileManager *TProjectSession::RestoreApplication(const QByteArray &name, const QByteArray &project, size_t index)
{
    TDataFileManager *application = m_project->NewApplication(name);
    m_project->MoveApplication(application, index);
    application->ReadDataBlockFrom(project, name);
    Attach(*application);
    application->RecomputePower(true);
    emit applicationAdded(application);
    CheckModified();
    return application;
}

void TProjectSession::CloseLinks()
{
    for (const auto &application : m_project->Applications())
        application->Session().CloseLink();
}

bool TProjectSession::IsModified() const
{
    return m_project->GetModified();
}

void TProjectSession::CheckModified()
{
    const bool modified = IsModified();
    if (modified == m_modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}
