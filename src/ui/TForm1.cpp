#include "TForm1.h"

#include "TDataFileManager.h"
#include "TDialogs.h"
#include "TEditHistory.h"
#include "TEditorActions.h"
#include "TFileCommands.h"
#include "TForm6.h"
#include "TForm17.h"
#include "TMyForm11.h"
#include "TProjectManager.h"
#include "TProjectSession.h"
#include "TPropertyEditor.h"
#include "TRunTimeSwitch.h"
#include "TScreenEditor.h"
#include "TScreenListWindow.h"
#include "TSearchLists.h"
#include "TSessionFeatures.h"
#include "TVisualDefaults.h"
#include "TVQImageManager.h"
#include "TWindowPlaces.h"
#include "TWindowBinder.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

TForm1::TForm1(const QString &programFolder, TDialogs *dialogs, QWidget *parent)
    : QMainWindow(parent)
    , m_programFolder(programFolder)
    , m_dialogs(dialogs)
{
    if (!m_dialogs) {
        m_ownDialogs = std::make_unique<TQtDialogs>(this);
        m_dialogs = m_ownDialogs.get();
    }
    TVQImageManager::GetInstance().SetProgramFolder(programFolder);
    TVQImageManager::GetInstance().SetMessages(m_dialogs);
    TWindowPlaces::Follow(this, QStringLiteral("main"));

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    auto *picture = new QLabel(central);
    picture->setPixmap(TVQImageManager::GetInstance().GetImage(TVisualDefaults::ProgramIcon(programFolder))->Pixmap(false).scaled(64, 64));
    picture->setAlignment(Qt::AlignCenter);
    auto *label = new QLabel(QStringLiteral("Visual Quelnor (Version 2.3.0)"), central);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture);
    layout->addWidget(label);
    setCentralWidget(central);

    m_searchLists = std::make_unique<TSearchLists>(this);

    m_session = new TProjectSession(programFolder, m_dialogs, this);
    m_binder = std::make_unique<TWindowBinder>(*this);
    m_session->SetBinder(m_binder.get());
    m_connecting = new TForm6(this);
    m_runTime = std::make_unique<TRunTimeSwitch>(*this);
    m_properties = std::make_unique<TPropertyEditor>(*this);
    m_screenEditor = std::make_unique<TScreenEditor>(*this);
    m_history = std::make_unique<TEditHistory>(*this);
    m_files = std::make_unique<TFileCommands>(*this);
    m_history->Opened();
    MakeMenus();
    FollowSession();
    SourcesChanged();
    UpdateTitle();

    // The program's keys work in its other windows too: the lists and the project summary
    // (those made when first shown take them then).
    m_searchLists->SetKeyActions(m_keyActions);
    resize(320, 200);
}

TForm1::~TForm1()
{
    if (TVQImageManager::GetInstance().Messages() == m_dialogs)
        TVQImageManager::GetInstance().SetMessages(nullptr);
    // The screens go with the project, before the binder that made them.
    m_session->disconnect(this);
    delete m_session;
    m_session = nullptr;
}

void TForm1::MakeMenus()
{
    m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    // The keys of the File and Edit menus work in every window of the program.
    const auto everywhere = [this](QAction *action, QList<QKeySequence> keys) {
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        // Each screen window carries these actions too, for a main window that is hidden.
        m_keyActions.append(action);
        addAction(action);
        return action;
    };
    connect(everywhere(m_fileMenu->addAction(QStringLiteral("Open")), {QKeySequence::Open}), &QAction::triggered, this, &TForm1::CommandOpen);
    m_save = everywhere(m_fileMenu->addAction(QStringLiteral("Save")), {QKeySequence::Save});
    connect(m_save, &QAction::triggered, this, &TForm1::CommandSave);
    m_saveAs = m_fileMenu->addAction(QStringLiteral("Save As"));
    connect(m_saveAs, &QAction::triggered, this, &TForm1::CommandSaveAs);
    m_fileMenu->addSeparator();
    for (int i = 0; i < TSettingsFile::MaxRecentFiles; ++i) {
        QAction *recent = m_fileMenu->addAction(QString());
        recent->setVisible(false);
        connect(recent, &QAction::triggered, this, [this, i] { CommandOpenRecent(i); });
        m_recentActions.push_back(recent);
    }
    m_fileMenu->addSeparator();
    connect(m_fileMenu->addAction(QStringLiteral("Close")), &QAction::triggered, this, &QWidget::close);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    m_editor = new TEditorActions(*this, edit);
    everywhere(m_editor->Undo(), {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    everywhere(m_editor->Redo(), {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

    m_parameterMenu = menuBar()->addMenu(QStringLiteral("&Parameter"));
    m_projectSummary = m_parameterMenu->addAction(QStringLiteral("Project"));
    connect(m_projectSummary, &QAction::triggered, this, &TForm1::CommandProjectSummary);
    connect(m_parameterMenu->addAction(QStringLiteral("Option")), &QAction::triggered, this, [this] { m_files->Option(); });

    m_projectMenu = menuBar()->addMenu(QStringLiteral("P&roject"));
    m_createProject = m_projectMenu->addAction(QStringLiteral("Create new Project"));
    m_addApplication = m_projectMenu->addAction(QStringLiteral("Add new file in project"));
    m_addScreen = m_projectMenu->addAction(QStringLiteral("Add screen"));
    connect(m_createProject, &QAction::triggered, this, &TForm1::CommandNewApplication);
    connect(m_addApplication, &QAction::triggered, this, &TForm1::CommandNewApplication);
    connect(m_addScreen, &QAction::triggered, this, &TForm1::CommandAddScreen);

    m_displayMenu = menuBar()->addMenu(QStringLiteral("&Display"));
    connect(m_displayMenu->addAction(QStringLiteral("Screens")), &QAction::triggered, this, &TForm1::ShowScreenList);
    const std::pair<QString, TSearchLists::Kind> lists[] = {
        {QStringLiteral("Outputs"), TSearchLists::Kind::Outputs}, {QStringLiteral("Inputs"), TSearchLists::Kind::Inputs},
        {QStringLiteral("temperature sensors"), TSearchLists::Kind::Sensors}, {QStringLiteral("Memo"), TSearchLists::Kind::Memos}};
    for (const auto &[caption, kind] : lists) {
        const TSearchLists::Kind shown = kind;
        connect(m_displayMenu->addAction(caption), &QAction::triggered, this, [this, shown] { ShowSearchList(m_searchLists->Get(shown)); });
    }
    AttachSessionFeatures(*m_session, m_programFolder, this, m_parameterMenu, m_displayMenu,
                          [this](const QString &line) { statusBar()->showMessage(line, 15000); });
    for (QMenu *menu : {m_fileMenu, edit, m_parameterMenu, m_projectMenu, m_displayMenu})
        connect(menu, &QMenu::aboutToShow, this, &TForm1::UpdateMenus);
}

void TForm1::FollowSession()
{
    connect(m_session, &TProjectSession::closed, this, [this] {
        m_editor->Clipboard().clear();
        m_history->Opened();
        SourcesChanged();
        UpdateTitle();
        RefreshScreenList();
    });
    connect(m_session, &TProjectSession::projectOpened, this, &TForm1::ProjectShown);
    for (const auto signal : {&TProjectSession::applicationAdded, &TProjectSession::applicationUpdated})
        connect(m_session, signal, this, &TForm1::SourcesChanged);
    // The lists let go of the application's records before it goes.
    connect(m_session, &TProjectSession::applicationRemoved, this, [this] { m_searchLists->SetSources(nullptr, nullptr); });
    connect(m_session, &TProjectSession::healthChanged, this, &TForm1::LinkHealthChanged);
    connect(m_session, &TProjectSession::modeChanged, this, &TForm1::FollowMode);
    connect(m_session, &TProjectSession::modifiedChanged, this, &TForm1::UpdateTitle);
    connect(m_history.get(), &TEditHistory::savedStateChanged, m_session, &TProjectSession::CheckModified);
}

void TForm1::SourcesChanged()
{
    // The search lists name the records of the project: they are filled again when next shown.
    m_searchLists->SetSources(Project(), Lists());
}

void TForm1::ProjectShown()
{
    SourcesChanged();
    bool shown = false;
    for (TMyForm11 *window : ScreenWindows()) {
        if (window->ScreenRecord().OpenAtStartup == 1) {
            ShowScreenWindow(window);
            shown = true;
        }
    }
    // A wall panel always shows a screen.
    if (m_kiosk && !shown && !ScreenWindows().empty())
        ShowScreenWindow(ScreenWindows().front());
    m_history->Opened();
    m_editor->Follow();
    UpdateTitle();
    RefreshScreenList();
}

void TForm1::FollowMode()
{
    LinkHealthChanged();
    UpdateEditActions();
    if (m_session->Mode() == RunMode::RunTime) {
        m_searchLists->Hide({TSearchLists::Kind::Outputs, TSearchLists::Kind::Inputs, TSearchLists::Kind::Sensors});
    }
}

void TForm1::UpdateEditActions()
{
    m_editor->Follow();
    for (TMyForm11 *window : ScreenWindows())
        window->ModeChanged();
}

void TForm1::UpdateTitle()
{
    const QString name = QFileInfo(Project()->FileName()).fileName();
    setWindowTitle(name.isEmpty() ? QStringLiteral("Visual Quelnor 2[*]") : QStringLiteral("Visual Quelnor 2 - %1[*]").arg(name));
    setWindowModified(m_session->IsModified());
}

void TForm1::UpdateMenus()
{
    const bool open = Project()->IsOpen();
    // The recent files that still exist; a file in the project folder shows its name alone.
    for (size_t i = 0; i < m_recentActions.size(); ++i) {
        QAction *action = m_recentActions[i];
        const QString file = i < size_t(m_settings.RecentFiles.size()) ? m_settings.RecentFiles[qsizetype(i)] : QString();
        const bool shown = !file.isEmpty() && QFileInfo(file).isFile();
        action->setVisible(shown);
        if (shown) {
            const bool inProjectFolder = QFileInfo(file).absolutePath().compare(QDir(m_settings.ProjectFolder).absolutePath(), Qt::CaseInsensitive) == 0;
            action->setText(inProjectFolder ? QFileInfo(file).fileName() : file);
        }
    }
    m_save->setEnabled(open && QFileInfo(Project()->FileName()).isFile());
    m_saveAs->setEnabled(open);
    m_createProject->setEnabled(!open);
    m_addApplication->setEnabled(open);
    m_addScreen->setEnabled(open);
    for (QAction *action : m_displayMenu->actions())
        action->setEnabled(open);
    m_projectSummary->setEnabled(open);
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_activated)
        FirstActivation();
}

void TForm1::FirstActivation()
{
    if (m_activated)
        return;
    m_activated = true;
    m_runTime->SwitchEveryControl(RunMode::DesignTime);
    m_settings = TSettingsFile::Read(m_programFolder);
    if (!m_settings.OpenLastFile && !m_kiosk)
        return;
    // The last project, then the connection window, which connects it and enters run time (also
    // when the file is gone: the window then has nothing to connect).
    if (QFileInfo(m_settings.LastFile).isFile() && OpenProject(m_settings.LastFile))
        Project()->SetFileName(m_settings.LastFile);
    // As "Run Time" does: the controls follow the states that the refresh brings.
    m_runTime->SwitchEveryControl(RunMode::RunTime);
    m_connecting->show();
    m_connecting->ResetAndStart();
    // A wall panel with no screen to show would leave nothing on the display: the main window
    // comes instead.
    const std::vector<TMyForm11 *> screens = ScreenWindows();
    if (m_kiosk && std::none_of(screens.begin(), screens.end(), [](const TMyForm11 *screen) { return screen->isVisible(); }))
        show();
}

std::vector<TMyForm11 *> TForm1::ScreenWindows() const
{
    std::vector<TMyForm11 *> windows;
    for (TProjectScreen *screen : Project()->Screens())
        windows.push_back(static_cast<TMyForm11 *>(screen));
    return windows;
}

void TForm1::CloseProject()
{
    m_connecting->ConnectTimer()->stop();
    m_connecting->hide();
    m_session->Close();
}

void TForm1::LinkHealthChanged()
{
    for (TMyForm11 *screen : ScreenWindows())
        screen->UpdateLinkBanner();
    if (m_summary && m_summary->isVisible())
        m_summary->Fill();
}

void TForm1::CommandAddScreen()
{
    if (auto *screen = static_cast<TMyForm11 *>(Project()->AddScreen(*m_binder, nullptr))) {
        screen->show();
        RefreshScreenList();
        m_history->ScreenAdded(screen->ScreenRecord().ScreenId);
    }
}

void TForm1::RemoveApplication(TDataFileManager &application)
{
    m_history->RemoveApplication(application);
    SourcesChanged();
}

TForm17 *TForm1::Summary()
{
    // Made when first asked for: most sessions never open it, and its tree is much code to load.
    if (!m_summary) {
        m_summary = new TForm17(this);
        m_summary->addActions(m_keyActions);
    }
    return m_summary;
}

void TForm1::CommandProjectSummary()
{
    Summary()->Fill();
    m_summary->show();
    m_summary->raise();
}

void TForm1::ShowSearchList(TSearchListWindow *list)
{
    list->Refresh();
    list->show();
    list->raise();
}

void TForm1::RefreshScreenList()
{
    if (m_screenList)
        m_screenList->Refresh();
}

TScreenListWindow *TForm1::ScreenListWindow()
{
    // Made when first shown: most sessions never open it, and a list view is much code to load.
    if (!m_screenList) {
        m_screenList = new TScreenListWindow(*this);
        m_screenList->addActions(m_keyActions);
    }
    return m_screenList;
}

void TForm1::ShowScreen(quint16 screenId)
{
    for (TMyForm11 *window : ScreenWindows()) {
        if (window->ScreenRecord().Valid == 1 && window->ScreenRecord().ScreenId == screenId) {
            ShowScreenWindow(window);
            return;
        }
    }
}

void TForm1::ShowScreenWindow(TMyForm11 *window)
{
    if (m_kiosk) {
        // The whole display even where no window manager honours the full-screen state.
        if (const QScreen *display = window->screen())
            window->setGeometry(display->geometry());
        window->showFullScreen();
    } else
        window->show();
    window->raise();
    window->activateWindow();
}

void TForm1::ShowScreenList()
{
    ScreenListWindow()->Refresh();
    m_screenList->show();
    m_screenList->raise();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // A cancelled or failed save keeps the program open with its changes.
    if (!m_files->AskToSave(true)) {
        event->ignore();
        return;
    }
    m_session->CloseLinks();
    m_files->KeepSettings();
    for (TMyForm11 *window : ScreenWindows())
        window->hide();
    m_searchLists->HideAll();
    if (m_screenList)
        m_screenList->hide();
    event->accept();
}
