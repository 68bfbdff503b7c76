#include "TForm1.h"

#include "TCodePage.h"
#include "TDataFileManager.h"
#include "TLinkSession.h"
#include "TDialogs.h"
#include "TEditHistory.h"
#include "TSelection.h"
#include "TVQControl.h"
#include "TFileAccess.h"
#include "TForm2.h"
#include "TForm6.h"
#include "TForm17.h"
#include "TMyForm11.h"
#include "TPicturePaths.h"
#include "TProgramLists.h"
#include "TProjectManager.h"
#include "TPropertyEditor.h"
#include "TRunTimeSwitch.h"
#include "TScreenEditor.h"
#include "TSearchListWindow.h"
#include "TVisualDefaults.h"
#include "TVQImageManager.h"
#include "TWindowBinder.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QTimer>
#include <QDir>
#include <QApplication>
#include <QFileInfo>
#include <QSettings>
#include <QToolBar>
#include <QStandardPaths>
#include <QUndoStack>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The editor's own settings (the grid), apart from the settings file of the program folder.
QString EditorSettingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/editor.ini");
}

} // namespace

namespace {

const QString k_exportFilter = QStringLiteral("Fichier Quelnor2 (*.qap)");
const QString k_projectFilter = QStringLiteral("Fichier Graphique Quelnor2 (*.qvp)");

} // namespace

TForm1::TForm1(const QString &programFolder, TDialogs *dialogs, QWidget *parent)
    : QMainWindow(parent)
    , m_programFolder(programFolder)
    , m_dialogs(dialogs)
{
    if (!m_dialogs) {
        m_ownDialogs = std::make_unique<TQtDialogs>(this);
        m_dialogs = m_ownDialogs.get();
    }
    setWindowTitle(QStringLiteral("Visual Quelnor 2"));
    TVQImageManager::GetInstance().SetProgramFolder(programFolder);
    TVQImageManager::GetInstance().SetMessages(m_dialogs);

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

    m_outputs = new TForm4(this);
    m_inputs = new TForm15(this);
    m_sensors = new TForm11(this);
    m_memos = new TSearchMemoForm(this);
    m_variables = new TForm5(this);
    m_screenList = new QListWidget(this);
    m_screenList->setWindowFlags(Qt::Tool);
    m_screenList->setWindowTitle(QStringLiteral("Screens"));
    connect(m_screenList, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        const std::vector<TMyForm11 *> screens = ScreenWindows();
        const int row = m_screenList->row(item);
        if (row >= 0 && size_t(row) < screens.size()) {
            ShowScreenWindow(screens[size_t(row)]);
            // The list stays in front, so that the next screen can be chosen.
            m_screenList->raise();
            m_screenList->activateWindow();
        }
    });
    m_screenListMenu = new QMenu(m_screenList);
    QAction *properties = m_screenListMenu->addAction(QStringLiteral("Properties"));
    connect(properties, &QAction::triggered, this, [this] {
        const std::vector<TMyForm11 *> screens = ScreenWindows();
        const int row = m_screenList->currentRow();
        if (row >= 0 && size_t(row) < screens.size())
            m_screenEditor->EditScreen(screens[size_t(row)]);
    });
    m_screenList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_screenList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_screenListMenu->popup(m_screenList->viewport()->mapToGlobal(at)); });

    m_fileMenu = menuBar()->addMenu(QStringLiteral("File"));
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
    connect(everywhere(m_fileMenu->addAction(QStringLiteral("Save")), {QKeySequence::Save}), &QAction::triggered, this, &TForm1::CommandSave);
    connect(m_fileMenu->addAction(QStringLiteral("Save As")), &QAction::triggered, this, &TForm1::CommandSaveAs);
    m_fileMenu->addSeparator();
    for (int i = 0; i < TSettingsFile::MaxRecentFiles; ++i) {
        QAction *recent = m_fileMenu->addAction(QString());
        recent->setVisible(false);
        connect(recent, &QAction::triggered, this, [this, i] { CommandOpenRecent(i); });
        m_recentActions.push_back(recent);
    }
    m_fileMenu->addSeparator();
    connect(m_fileMenu->addAction(QStringLiteral("Close")), &QAction::triggered, this, &QWidget::close);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("Edit"));
    m_undo = everywhere(edit->addAction(QStringLiteral("Undo")), {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    m_redo = everywhere(edit->addAction(QStringLiteral("Redo")), {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(m_undo, &QAction::triggered, this, [this] {
        if (m_runTime->Mode() != RunMode::RunTime && m_runTime->Mode() != RunMode::Test)
            m_history->Stack()->undo();
    });
    connect(m_redo, &QAction::triggered, this, [this] {
        if (m_runTime->Mode() != RunMode::RunTime && m_runTime->Mode() != RunMode::Test)
            m_history->Stack()->redo();
    });
    connect(edit, &QMenu::aboutToShow, this, &TForm1::UpdateMenus);

    QMenu *parameter = menuBar()->addMenu(QStringLiteral("Parameter"));
    connect(parameter->addAction(QStringLiteral("Project")), &QAction::triggered, this, &TForm1::CommandProjectSummary);
    connect(parameter->addAction(QStringLiteral("Option")), &QAction::triggered, this, &TForm1::CommandOption);
    m_parameterMenu = parameter;
    connect(parameter, &QMenu::aboutToShow, this, &TForm1::UpdateMenus);

    m_projectMenu = menuBar()->addMenu(QStringLiteral("Project"));
    connect(m_projectMenu->addAction(QStringLiteral("Create new Project")), &QAction::triggered, this, &TForm1::CommandNewApplication);
    connect(m_projectMenu->addAction(QStringLiteral("Add new file in project")), &QAction::triggered, this, &TForm1::CommandNewApplication);
    connect(m_projectMenu->addAction(QStringLiteral("Add screen")), &QAction::triggered, this, &TForm1::CommandAddScreen);

    m_displayMenu = menuBar()->addMenu(QStringLiteral("Display"));
    connect(m_displayMenu->addAction(QStringLiteral("Screens")), &QAction::triggered, this, &TForm1::ShowScreenList);
    connect(m_displayMenu->addAction(QStringLiteral("Outputs")), &QAction::triggered, this, [this] { ShowSearchList(m_outputs); });
    connect(m_displayMenu->addAction(QStringLiteral("Inputs")), &QAction::triggered, this, [this] { ShowSearchList(m_inputs); });
    connect(m_displayMenu->addAction(QStringLiteral("temperature sensors")), &QAction::triggered, this,
            [this] { ShowSearchList(m_sensors); });
    connect(m_displayMenu->addAction(QStringLiteral("Memo")), &QAction::triggered, this, [this] { ShowSearchList(m_memos); });
    for (QMenu *menu : {m_fileMenu, m_projectMenu, m_displayMenu})
        connect(menu, &QMenu::aboutToShow, this, &TForm1::UpdateMenus);

    m_connecting = new TForm6(this);
    m_summary = new TForm17(this);
    m_binder = std::make_unique<TWindowBinder>(*this);
    m_runTime = std::make_unique<TRunTimeSwitch>(*this);
    m_properties = std::make_unique<TPropertyEditor>(*this);
    m_screenEditor = std::make_unique<TScreenEditor>(*this);
    NewEmptyProject();
    {
        const QSettings settings(EditorSettingsFile(), QSettings::IniFormat);
        m_gridOn = settings.value(QStringLiteral("grid/on"), false).toBool();
        m_gridSize = std::clamp(settings.value(QStringLiteral("grid/size"), 10).toInt(), 2, 200);
    }
    m_history = std::make_unique<TEditHistory>(*this);
    m_history->Opened();
    connect(m_history.get(), &TEditHistory::savedStateChanged, this, &TForm1::UpdateTitle);
    const auto followStack = [this] {
        const bool design = m_runTime->Mode() != RunMode::RunTime && m_runTime->Mode() != RunMode::Test;
        QUndoStack *stack = m_history->Stack();
        m_undo->setText(stack->canUndo() ? QStringLiteral("Undo ") + stack->undoText() : QStringLiteral("Undo"));
        m_redo->setText(stack->canRedo() ? QStringLiteral("Redo ") + stack->redoText() : QStringLiteral("Redo"));
        m_undo->setEnabled(design && stack->canUndo());
        m_redo->setEnabled(design && stack->canRedo());
    };
    connect(m_history->Stack(), &QUndoStack::indexChanged, this, followStack);
    connect(m_history->Stack(), &QUndoStack::cleanChanged, this, followStack);
    m_followStack = followStack;
    followStack();
    UpdateTitle();
    // The alignment of the last screen's selection, at hand beside the menus.
    m_alignBar = addToolBar(QStringLiteral("Align"));
    m_alignBar->setObjectName(QStringLiteral("AlignBar"));
    using A = TSelection::Alignment;
    const auto tool = [this](const QString &text, const QString &tip, auto handler) {
        QAction *action = m_alignBar->addAction(text);
        action->setToolTip(tip);
        connect(action, &QAction::triggered, this, [this, handler] {
            const bool design = m_runTime->Mode() != RunMode::RunTime && m_runTime->Mode() != RunMode::Test;
            if (m_currentScreen && design)
                handler(m_currentScreen->Selection());
        });
    };
    tool(QStringLiteral("|<"), QStringLiteral("Align left"), [](TSelection *s) { s->Align(A::Left); });
    tool(QStringLiteral(">|"), QStringLiteral("Align right"), [](TSelection *s) { s->Align(A::Right); });
    tool(QStringLiteral("T"), QStringLiteral("Align top"), [](TSelection *s) { s->Align(A::Top); });
    tool(QStringLiteral("_"), QStringLiteral("Align bottom"), [](TSelection *s) { s->Align(A::Bottom); });
    tool(QStringLiteral("-"), QStringLiteral("Align centres horizontally"), [](TSelection *s) { s->Align(A::CentresHorizontally); });
    tool(QStringLiteral("|"), QStringLiteral("Align centres vertically"), [](TSelection *s) { s->Align(A::CentresVertically); });
    tool(QStringLiteral("<->"), QStringLiteral("Distribute horizontally"), [](TSelection *s) { s->Distribute(Qt::Horizontal); });
    tool(QStringLiteral("<^>"), QStringLiteral("Distribute vertically"), [](TSelection *s) { s->Distribute(Qt::Vertical); });
    // The selection's keys: made once, carried by every screen, acting on the active one.
    const auto screenKey = [this](QList<QKeySequence> keys, std::function<void(TMyForm11 *)> handler) {
        auto *action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, handler] {
            auto *screen = qobject_cast<TMyForm11 *>(QApplication::activeWindow());
            const bool design = m_runTime->Mode() != RunMode::RunTime && m_runTime->Mode() != RunMode::Test;
            if (screen && design && !m_kiosk)
                handler(screen);
        });
        m_screenKeyActions.append(action);
    };
    screenKey({QKeySequence::SelectAll}, [](TMyForm11 *s) { s->Selection()->SelectAll(); });
    screenKey({QKeySequence(Qt::Key_Escape)}, [](TMyForm11 *s) { s->Selection()->Clear(); });
    screenKey({QKeySequence::Delete}, [](TMyForm11 *s) { s->DeleteSelection(); });
    screenKey({QKeySequence::Copy}, [](TMyForm11 *s) { s->Copy(); });
    screenKey({QKeySequence::Cut}, [](TMyForm11 *s) {
        s->Copy();
        s->Selection()->DeleteSelected();
    });
    screenKey({QKeySequence::Paste}, [this](TMyForm11 *s) { s->Paste(m_clipboard); });
    screenKey({QKeySequence(Qt::CTRL | Qt::Key_D)}, [](TMyForm11 *s) {
        std::vector<TVisualRecord> copies;
        for (TVQControl *control : s->Selection()->Selected())
            copies.push_back(TProjectManager::RecordOf(*control));
        s->Paste(copies);
    });
    const struct { int key; QPoint step; } arrows[] = {
        {Qt::Key_Left, {-1, 0}}, {Qt::Key_Right, {1, 0}}, {Qt::Key_Up, {0, -1}}, {Qt::Key_Down, {0, 1}}};
    for (const auto &arrow : arrows) {
        const QPoint step = arrow.step;
        screenKey({QKeySequence(arrow.key)}, [step](TMyForm11 *s) { s->Selection()->MoveBy(step); });
        screenKey({QKeySequence(Qt::SHIFT | arrow.key)}, [step](TMyForm11 *s) { s->Selection()->MoveBy(step * 10); });
    }

    // The program's keys work in its other windows too: the lists and the project summary.
    for (QWidget *window : std::initializer_list<QWidget *>{m_outputs, m_inputs, m_sensors, m_memos, m_variables, m_screenList, m_summary})
        window->addActions(m_keyActions);
    resize(320, 200);
}

TForm1::~TForm1()
{
    if (TVQImageManager::GetInstance().Messages() == m_dialogs)
        TVQImageManager::GetInstance().SetMessages(nullptr);
    CloseProject();
    m_project.reset();
    m_lists.reset();
}

void TForm1::NewEmptyProject()
{
    m_project = std::make_unique<TProjectManager>(m_programFolder, m_dialogs);
    m_lists = std::make_unique<TProgramLists>(nullptr, m_programFolder, m_dialogs);
    for (TSearchListWindow *list : {m_outputs, m_inputs, m_sensors, m_memos, m_variables})
        list->SetSources(m_project.get(), m_lists.get());
    m_clipboard.clear();
    if (m_history)
        m_history->Opened();
}

void TForm1::SetGrid(bool on, int size)
{
    m_gridOn = on;
    m_gridSize = std::clamp(size, 2, 200);
    QSettings settings(EditorSettingsFile(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("grid/on"), m_gridOn);
    settings.setValue(QStringLiteral("grid/size"), m_gridSize);
}

QPoint TForm1::Snapped(const QPoint &at) const
{
    const int step = GridStep();
    if (step <= 0)
        return at;
    const auto snap = [step](int v) { return int(std::lround(double(v) / step)) * step; };
    return QPoint(std::clamp(snap(at.x()), 0, 65535), std::clamp(snap(at.y()), 0, 65535));
}

void TForm1::SetCurrentScreen(TMyForm11 *screen)
{
    m_currentScreen = screen;
}

TMyForm11 *TForm1::CurrentScreen() const
{
    return m_currentScreen;
}

void TForm1::UpdateEditActions()
{
    m_followStack();
    for (TMyForm11 *window : ScreenWindows())
        window->ModeChanged();
}

void TForm1::UpdateTitle()
{
    const QString name = m_project && !m_project->FileName().isEmpty() ? QFileInfo(m_project->FileName()).fileName() : QString();
    setWindowTitle(name.isEmpty() ? QStringLiteral("Visual Quelnor 2") : QStringLiteral("Visual Quelnor 2 - %1[*]").arg(name));
    setWindowModified(m_project && m_project->GetModified());
}

QAction *TForm1::MenuAction(QMenu *menu, const QString &text) const
{
    for (QAction *action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

void TForm1::UpdateMenus()
{
    const bool open = m_project->IsOpen();
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
    MenuAction(m_fileMenu, QStringLiteral("Save"))->setEnabled(open && QFileInfo(m_project->FileName()).isFile());
    MenuAction(m_fileMenu, QStringLiteral("Save As"))->setEnabled(open);
    MenuAction(m_projectMenu, QStringLiteral("Create new Project"))->setEnabled(!open);
    MenuAction(m_projectMenu, QStringLiteral("Add new file in project"))->setEnabled(open);
    MenuAction(m_projectMenu, QStringLiteral("Add screen"))->setEnabled(open);
    for (QAction *action : m_displayMenu->actions())
        action->setEnabled(open);
    MenuAction(m_parameterMenu, QStringLiteral("Project"))->setEnabled(open);
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
        m_project->SetFileName(m_settings.LastFile);
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

void TForm1::StartWithProject(const QString &path)
{
    m_activated = true;
    m_settings = TSettingsFile::Read(m_programFolder);
    m_runTime->SwitchEveryControl(RunMode::DesignTime);
    const QString file = QFileInfo(path).absoluteFilePath();
    if (OpenProject(file)) {
        m_project->SetFileName(file);
        TSettingsFile::UpdateRecentFiles(m_settings, file);
        UpdateTitle();
    }
}

std::vector<TMyForm11 *> TForm1::ScreenWindows() const
{
    std::vector<TMyForm11 *> windows;
    for (TProjectScreen *screen : m_project->Screens())
        windows.push_back(static_cast<TMyForm11 *>(screen));
    return windows;
}

void TForm1::CloseProject()
{
    if (!m_project)
        return;
    m_connecting->ConnectTimer()->stop();
    m_connecting->hide();
    for (const auto &application : m_project->Applications())
        application->Session().CloseLink();
    for (TMyForm11 *window : ScreenWindows())
        window->hide();
    // Controls first (they leave their model objects), then the model objects, then the project.
    std::vector<quint16> ids;
    for (TProjectScreen *screen : m_project->Screens())
        ids.push_back(screen->ScreenRecord().ScreenId);
    for (quint16 id : ids)
        m_project->DeleteScreen(*m_binder, id);
    for (const auto &application : m_project->Applications())
        m_lists->RemoveApplication(*application);
}

void TForm1::SetUpApplication(TDataFileManager &application)
{
    m_lists->AddApplication(application);
    connect(&application.Session(), &TLinkSession::healthChanged, this, &TForm1::LinkHealthChanged, Qt::UniqueConnection);
}

void TForm1::LinkHealthChanged()
{
    if (!m_project)
        return;
    for (TMyForm11 *screen : ScreenWindows())
        screen->UpdateLinkBanner();
    if (m_summary && m_summary->isVisible())
        m_summary->Fill();
}

bool TForm1::OpenProject(const QString &path)
{
    if (m_runTime->Mode() == RunMode::RunTime)
        m_runTime->SwitchEveryControl(RunMode::DesignTime);
    CloseProject();
    m_project.reset();
    m_lists.reset();
    NewEmptyProject();
    QString error;
    bool read = m_project->OpenProject(path, &error);
    if (read) {
        for (const auto &application : m_project->Applications()) {
            SetUpApplication(*application);
            application->RecomputePower(true);
        }
        read = m_project->ReadScreens(*m_binder, *m_lists, path);
        if (!read)
            error = QStringLiteral("The file's screens and controls are cut short or damaged.");
    }
    if (!read) {
        // A failed open leaves an empty, unopened project, never half of one.
        CloseProject();
        m_project.reset();
        m_lists.reset();
        NewEmptyProject();
        if (!error.isEmpty())
            m_dialogs->ShowMessage(QStringLiteral("Unable to open the project\n") + path + QLatin1Char('\n') + error);
        RefreshScreenList();
        return false;
    }
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
    m_project->ClearModified();
    m_history->Opened();
    m_followStack();
    UpdateTitle();
    RefreshScreenList();
    return true;
}

bool TForm1::SaveProject(const QString &name)
{
    QString error;
    if (!m_project->WriteProject(name, &error)) {
        m_dialogs->ShowMessage(QStringLiteral("unableTo Save Project\n") + error);
        return false;
    }
    TSettingsFile::UpdateRecentFiles(m_settings, m_project->FileName());
    m_history->Saved();
    UpdateTitle();
    return true;
}

bool TForm1::AskToSave(bool evenUnopened)
{
    if ((!evenUnopened && !m_project->IsOpen()) || !m_project->GetModified())
        return true;
    const TDialogs::Answer answer = m_dialogs->AskSave();
    if (answer == TDialogs::No)
        return true;
    if (answer != TDialogs::Yes)
        return false;
    // A project with a file of its own is saved there; a new one asks for a name.
    QString name = m_project->FileName();
    if (!QFileInfo(name).isFile()) {
        name = m_dialogs->SaveFileName(m_settings.ProjectFolder, k_projectFilter);
        if (name.isEmpty() || !NameCanBeKept(name))
            return false;
    }
    return SaveProject(name);
}

bool TForm1::NameCanBeKept(const QString &path)
{
    // The settings file keeps the project's name as Windows-1252 text between "|" separators.
    const QString refused = TCodePage::CheckStoredText(path);
    if (refused.isEmpty())
        return true;
    m_dialogs->ShowMessage(refused);
    return false;
}

void TForm1::CommandOpen()
{
    if (!AskToSave())
        return;
    if (m_runTime->Mode() == RunMode::RunTime)
        m_runTime->SwitchEveryControl(RunMode::DesignTime);
    const QString path = m_dialogs->OpenFileName(m_settings.ProjectFolder, k_projectFilter);
    if (path.isEmpty() || !OpenProject(path))
        return;
    TSettingsFile::UpdateRecentFiles(m_settings, path);
    m_project->SetFileName(path);
}

void TForm1::CommandOpenRecent(int index)
{
    if (index < 0 || index >= m_settings.RecentFiles.size())
        return;
    const QString path = m_settings.RecentFiles[index];
    if (!AskToSave() || !OpenProject(path))
        return;
    TSettingsFile::UpdateRecentFiles(m_settings, path);
}

void TForm1::CommandSave()
{
    if (!QFileInfo(m_project->FileName()).isFile()) {
        m_dialogs->ShowMessage(QStringLiteral("unableTo Save Project"));
        return;
    }
    QString error;
    if (!m_project->WriteProject(m_project->FileName(), &error)) {
        m_dialogs->ShowMessage(QStringLiteral("unableTo Save Project\n") + error);
        return;
    }
    m_history->Saved();
    UpdateTitle();
    m_settings.LastFile = m_project->FileName();
    TSettingsFile::Write(m_programFolder, m_settings, m_project->FileName());
}

void TForm1::CommandSaveAs()
{
    const QString name = m_dialogs->SaveFileName(m_settings.ProjectFolder, k_projectFilter);
    if (name.isEmpty() || !NameCanBeKept(name))
        return;
    SaveProject(name);
}

void TForm1::CommandNewApplication()
{
    const QString path = m_dialogs->OpenFileName(m_settings.ExportFolder, k_exportFilter);
    if (path.isEmpty())
        return;
    QByteArray key;
    if (!TCodePage::CheckStoredText(path, &key).isEmpty()) {
        m_dialogs->ShowMessage(QStringLiteral("This file name cannot be kept in a project file:\n") + path);
        return;
    }
    // An export that cannot be read adds nothing to the project.
    bool tooLarge = false;
    QByteArray content;
    if (!TFileAccess::Read(path, content, &tooLarge)) {
        m_dialogs->ShowMessage(tooLarge ? TFileAccess::TooLargeMessage(path) : QStringLiteral("Unable to read the export:\n") + path);
        return;
    }
    TDataFileManager *application = m_project->NewApplication(key);
    application->ImportExportContent(content, key, TDataFileManager::ImportReplace);
    application->Settings().ApplicationId = m_project->FreeApplicationId();
    application->Settings().SourcePath = application->Name();
    SetUpApplication(*application);
}

void TForm1::CommandOption()
{
    TForm2 dialog(m_settings, this);
    m_dialogs->Exec(dialog);
    TSettingsFile::Write(m_programFolder, m_settings, m_project->FileName());
}

void TForm1::CommandAddScreen()
{
    if (auto *screen = static_cast<TMyForm11 *>(m_project->AddScreen(*m_binder, nullptr))) {
        screen->show();
        RefreshScreenList();
        m_history->ScreenAdded(screen->ScreenRecord().ScreenId);
    }
}

bool TForm1::UpdateApplication(TDataFileManager &application, const QString &exportPath)
{
    if (!m_project->UpdateApplication(application, exportPath, *m_binder, *m_lists, QDateTime::currentDateTime()))
        return false;
    // The search lists named the old records: they are filled again when next shown.
    for (TSearchListWindow *list : {m_outputs, m_inputs, m_sensors, m_memos, m_variables})
        list->SetSources(m_project.get(), m_lists.get());
    return true;
}

void TForm1::RemoveApplication(TDataFileManager &application)
{
    application.Session().CloseLink();
    m_project->RemoveApplicationControls(*m_binder, application);
    m_lists->RemoveApplication(application);
    for (TSearchListWindow *list : {m_outputs, m_inputs, m_sensors, m_memos, m_variables})
        list->SetSources(m_project.get(), m_lists.get());
    m_project->RemoveApplication(&application);
    m_project->SetModified();
}

void TForm1::CommandProjectSummary()
{
    m_summary->Fill();
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
    m_screenList->clear();
    for (TMyForm11 *window : ScreenWindows())
        m_screenList->addItem(TPicturePaths::FromRecord(window->ScreenRecord().Name));
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
    RefreshScreenList();
    m_screenList->show();
    m_screenList->raise();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // A cancelled or failed save keeps the program open with its changes.
    if (!AskToSave(true)) {
        event->ignore();
        return;
    }
    for (const auto &application : m_project->Applications())
        application->Session().CloseLink();
    TSettingsFile::Write(m_programFolder, m_settings, m_project->FileName());
    for (TMyForm11 *window : ScreenWindows())
        window->hide();
    for (TSearchListWindow *list : {m_outputs, m_inputs, m_sensors, m_memos, m_variables})
        list->hide();
    m_screenList->hide();
    event->accept();
}
