#include "TForm1.h"

#include "SerialPort.h"
#include "TCodePage.h"
#include "TDataFileManager.h"
#include "TDialogs.h"
#include "TControlProperties.h"
#include "TForm2.h"
#include "TForm6.h"
#include "TForm7.h"
#include "TForm17.h"
#include "TSelectCom.h"
#include "TShortcutProperties.h"
#include "TUdpSelect.h"
#include "TMyForm11.h"
#include "TPicturePaths.h"
#include "TProgramLists.h"
#include "TProjectManager.h"
#include "TSearchListWindow.h"
#include "TVisualDefaults.h"
#include "TVQBaseControl.h"
#include "TVQMemoBaseControl.h"
#include "TVQVariableBaseControl.h"
#include "TVQImageManager.h"
#include "TVQQMemoBaseItem.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"
#include "TVQPicturePairControl.h"
#include "TVQRecordControl.h"
#include "TWindowBinder.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QComboBox>
#include <QTimer>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QVBoxLayout>

namespace {

const QString k_exportFilter = QStringLiteral("Fichier Quelnor2 (*.qap)");
const QString k_projectFilter = QStringLiteral("Fichier Graphique Quelnor2 (*.qvp)");

// Every control of the project, whatever its kind, takes the mode.
template <typename Record>
void SwitchRecordControls(const std::vector<TProjectItem<Record> *> &items, quint8 mode)
{
    for (TProjectItem<Record> *item : items) {
        if (auto *control = dynamic_cast<TVQRecordControl<Record> *>(item))
            control->SetRunTimeMode(mode);
    }
}

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
    TVQImageManager::GetInstance().GetImage(TVisualDefaults::ProgramIcon(programFolder));

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
            screens[size_t(row)]->show();
            screens[size_t(row)]->raise();
        }
    });

    m_fileMenu = menuBar()->addMenu(QStringLiteral("File"));
    connect(m_fileMenu->addAction(QStringLiteral("Open")), &QAction::triggered, this, &TForm1::CommandOpen);
    connect(m_fileMenu->addAction(QStringLiteral("Save")), &QAction::triggered, this, &TForm1::CommandSave);
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
    NewEmptyProject();
    resize(320, 200);
}

TForm1::~TForm1()
{
    CloseProject();
    m_project.reset();
    m_lists.reset();
}

void TForm1::NewEmptyProject()
{
    m_project = std::make_unique<TProjectManager>(this, m_programFolder, m_dialogs);
    m_lists = std::make_unique<TProgramLists>(this, m_programFolder, m_dialogs);
    for (TSearchListWindow *list : {m_outputs, m_inputs, m_sensors, m_memos, m_variables})
        list->SetSources(m_project.get(), m_lists.get());
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
    m_mode = 2;
    m_settings = TSettingsFile::Read(m_programFolder);
    if (m_settings.OpenLastFile && !m_settings.LastFile.isEmpty()) {
        OpenProject(m_settings.LastFile);
        m_project->SetFileName(m_settings.LastFile);
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
        application->CloseLink();
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
}

bool TForm1::OpenProject(const QString &path)
{
    if (m_mode == 1)
        SwitchEveryControl(2);
    CloseProject();
    m_project.reset();
    m_lists.reset();
    NewEmptyProject();
    TVQImageManager::GetInstance().GetImage(TVisualDefaults::ProgramIcon(m_programFolder));
    if (!m_project->OpenProject(path)) {
        // A failed open leaves an empty, unopened project.
        m_project.reset();
        m_lists.reset();
        NewEmptyProject();
        return false;
    }
    for (const auto &application : m_project->Applications()) {
        SetUpApplication(*application);
        application->RecomputePower(true);
    }
    const bool read = m_project->ReadScreens(*m_binder, *m_lists, path);
    if (read) {
        for (TMyForm11 *window : ScreenWindows()) {
            if (window->ScreenRecord().OpenAtStartup == 1)
                window->show();
        }
    }
    m_project->ClearModified();
    RefreshScreenList();
    return read;
}

bool TForm1::AskToSave()
{
    if (!m_project->IsOpen() || !m_project->GetModified())
        return true;
    const TDialogs::Answer answer = m_dialogs->AskSave();
    if (answer == TDialogs::Cancel)
        return false;
    if (answer == TDialogs::Yes) {
        const QString name = m_dialogs->SaveFileName(m_settings.ProjectFolder, k_projectFilter);
        if (!name.isEmpty()) {
            QString error;
            if (m_project->WriteProject(name, &error))
                TSettingsFile::UpdateRecentFiles(m_settings, m_project->FileName());
            else
                m_dialogs->ShowMessage(QStringLiteral("unableTo Save Project\n") + error);
        }
    }
    return true;
}

void TForm1::CommandOpen()
{
    if (!AskToSave())
        return;
    if (m_mode == 1)
        SwitchEveryControl(2);
    const QString path = m_dialogs->OpenFileName(m_settings.ProjectFolder, k_projectFilter);
    if (path.isEmpty())
        return;
    OpenProject(path);
    TSettingsFile::UpdateRecentFiles(m_settings, path);
    m_project->SetFileName(path);
}

void TForm1::CommandOpenRecent(int index)
{
    if (index < 0 || index >= m_settings.RecentFiles.size())
        return;
    const QString path = m_settings.RecentFiles[index];
    if (!AskToSave())
        return;
    OpenProject(path);
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
    m_settings.LastFile = m_project->FileName();
    TSettingsFile::Write(m_programFolder, m_settings, m_project->FileName());
}

void TForm1::CommandSaveAs()
{
    const QString name = m_dialogs->SaveFileName(m_settings.ProjectFolder, k_projectFilter);
    if (name.isEmpty())
        return;
    QString error;
    if (!m_project->WriteProject(name, &error)) {
        m_dialogs->ShowMessage(QStringLiteral("unableTo Save Project\n") + error);
        return;
    }
    TSettingsFile::UpdateRecentFiles(m_settings, m_project->FileName());
}

void TForm1::CommandNewApplication()
{
    const QString path = m_dialogs->OpenFileName(m_settings.ExportFolder, k_exportFilter);
    if (path.isEmpty())
        return;
    QByteArray key;
    if (!TCodePage::FromDisplay(path, key)) {
        m_dialogs->ShowMessage(QStringLiteral("This file name cannot be kept in a project file:\n") + path);
        return;
    }
    TDataFileManager *application = m_project->NewApplication(key);
    if (!application->ExportImport(path, TDataFileManager::ImportReplace))
        return;
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
    }
}

void TForm1::SwitchEveryControl(quint8 mode)
{
    for (TProjectItem<TNewVisualOutput> *item : m_project->Outputs()) {
        if (auto *control = dynamic_cast<TVQBaseControl *>(item))
            control->SetRunTimeMode(mode);
    }
    SwitchRecordControls(m_project->Shortcuts(), mode);
    for (auto *item : m_project->Memos()) {
        if (auto *control = dynamic_cast<TVQPicturePairControl *>(item))
            control->SetRunTimeMode(mode);
    }
    for (auto *item : m_project->Variables()) {
        if (auto *control = dynamic_cast<TVQPicturePairControl *>(item))
            control->SetRunTimeMode(mode);
    }
    SwitchRecordControls(m_project->Cameras(), mode);
    SwitchRecordControls(m_project->Gauges(), mode);
    m_mode = mode;
    if (mode == 1) {
        for (TSearchListWindow *list : {m_outputs, m_inputs, m_sensors})
            list->hide();
    }
}

void TForm1::SetupLink(TDataFileManager &application, bool byInterfaceModule)
{
    SerialPort *link = application.Link();
    if (!link)
        return;
    TVISUALQvpInfo &settings = application.Settings();
    const QString name = TCodePage::ToDisplay(application.Name());
    if (byInterfaceModule || (settings.LinkKind != SerialPort::LinkSerial && settings.LinkKind != SerialPort::LinkUdp)) {
        quint16 number = 0;
        const quint16 position = application.FindInterfaceModule(number);
        if (position == TDataFileManager::NotFound) {
            m_dialogs->ShowMessage(name + QStringLiteral("\nWarning No visual communication module in application:\n"));
            return;
        }
        link->SetInterface(position, number);
        const quint8 kind = application.ModuleAt(position)->ModuleType == 26 ? SerialPort::LinkSerial : SerialPort::LinkUdp;
        link->SetLinkKind(kind);
        settings.LinkKind = kind;
    }
    if (settings.LinkKind == SerialPort::LinkSerial) {
        TSelectCom dialog(application, m_programFolder, m_dialogs, this);
        dialog.Fill(settings.ComPort);
        if (m_dialogs->Exec(dialog) == QDialog::Accepted && link->IsOpen()) {
            settings.ComPort = quint8(dialog.Ports()->currentIndex() + 1);
            settings.LinkKind = SerialPort::LinkSerial;
            application.StartPolling(true);
        }
    } else {
        TUdpSelect dialog(application, this);
        dialog.Prefill();
        m_dialogs->Exec(dialog);
    }
}

void TForm1::CommandRunTime()
{
    for (const auto &application : m_project->Applications()) {
        if (!application->ReopenLink())
            SetupLink(*application);
    }
    bool anyOpen = false;
    for (const auto &application : m_project->Applications())
        anyOpen |= application->Link() && application->Link()->IsOpen();
    if (!anyOpen) {
        m_dialogs->ShowMessage(QStringLiteral("No communication port open"));
        return;
    }
    SwitchEveryControl(1);
    m_connecting->show();
    m_connecting->ResetAndStart();
}

void TForm1::CommandDesignTime()
{
    SwitchEveryControl(2);
    m_connecting->ConnectTimer()->stop();
    m_connecting->hide();
    for (const auto &application : m_project->Applications())
        application->CloseLink();
}

void TForm1::CommandTest()
{
    SwitchEveryControl(3);
}

void TForm1::DropItem(TMyForm11 *screen, const ListItemData &item, const QPoint &at)
{
    TDataFileManager *app = item.Application;
    if (!app)
        return;
    const quint16 screenId = screen->ScreenRecord().ScreenId;
    const quint8 appId = app->Settings().ApplicationId;
    const auto x = quint16(at.x()), y = quint16(at.y());
    if (item.Kind == ListItemData::KindModuleIo && item.Io) {
        TVQQModuleBase *module = m_lists->FindModule(app, item.Io->ModuleNumber);
        if (!module)
            return;
        const TNewVisualOutput record = TVisualDefaults::NewOutput(*item.Io, *module->GetRecord(), x, y, screenId, appId, m_programFolder);
        const Param32Record *parameters = item.Io->ParamKind != 0 ? app->Param32At(item.Io->ParamKind, item.Io->ParamIndex()) : nullptr;
        if (auto *control = m_binder->CreateOutput(record, *module, *screen, parameters))
            m_project->AddOutput(control);
    } else if (item.Kind == ListItemData::KindMemo && item.Memo) {
        if (item.Memo->MemoKind >= 3) {
            m_dialogs->ShowMessage(QStringLiteral("This type of memo is not Handled"));
            return;
        }
        TVQQMemoBaseItem *memo = m_lists->FindMemo(app, item.Index);
        if (!memo)
            return;
        const TVisualMemoData record = TVisualDefaults::NewMemo(*item.Memo, item.Index, x, y, screenId, appId, m_programFolder);
        m_project->AddMemo(m_binder->CreateMemo(record, *screen, *memo));
    } else if (item.Kind == ListItemData::KindVariable && item.Variable) {
        TVQQVariableBaseItem *variable = m_lists->FindVariable(app, item.Index);
        if (!variable)
            return;
        const TVisualVariableData record = TVisualDefaults::NewVariable(*item.Variable, item.Index, x, y, screenId, appId, m_programFolder);
        m_project->AddVariable(m_binder->CreateVariable(record, *screen, *variable));
    }
}

void TForm1::CreateShortcut(TMyForm11 *screen)
{
    m_project->AddShortcut(m_binder->CreateShortcut(TVisualDefaults::NewShortcut(screen->ScreenRecord().ScreenId, m_programFolder), *screen));
    m_project->SetModified();
}

void TForm1::CreateCamera(TMyForm11 *screen)
{
    m_project->AddCamera(m_binder->CreateCamera(TVisualDefaults::NewCamera(screen->ScreenRecord().ScreenId), *screen));
    m_project->SetModified();
}

void TForm1::CreateGauge(TMyForm11 *screen)
{
    m_project->AddGauge(m_binder->CreateGauge(TVisualDefaults::NewGauge(screen->ScreenRecord().ScreenId, m_programFolder), *screen));
    m_project->SetModified();
}

void TForm1::DeleteScreen(TMyForm11 *screen)
{
    const quint16 id = screen->ScreenRecord().ScreenId;
    screen->hide();
    // The window is destroyed by the project's delete; leave its menu's handler first.
    QMetaObject::invokeMethod(this, [this, id] {
        m_project->DeleteScreen(*m_binder, id);
        RefreshScreenList();
    }, Qt::QueuedConnection);
}

bool TForm1::EditControlProperties(QWidget *widget)
{
    using Layout = TControlProperties::Layout;
    Layout layout;
    auto *control = dynamic_cast<TVQBaseControl *>(widget);
    auto *memo = dynamic_cast<TVQMemoBaseControl *>(widget);
    auto *variable = dynamic_cast<TVQVariableBaseControl *>(widget);
    if (control) {
        const TVQQModuleBase *module = control->GetParentModule();
        const quint16 type = module->GetModuleType();
        const quint16 io = control->IOIndex();
        layout.InfoCaptions[0] = QStringLiteral("Module");
        layout.InfoCaptions[1] = QStringLiteral("Name");
        layout.Infos[0] = TCodePage::ToDisplay(module->GetDisplayName());
        layout.Infos[1] = TCodePage::ToDisplay(module->GetIoName(io));
        const bool sensor = type == 10 || type == 11 || type == 17 || type == 50 || type == 55
                            || (type == 33 && io == 6) || (type == 38 && io == 6);
        if ((type == 33 && (io == 5 || io >= 12)) || (type == 38 && io != 6))
            return false;  // no dialog for these channels
        if (type == 9) {
            layout.Caption = QStringLiteral("PropertiesDimmer");
            layout.Types = {{QStringLiteral("Icon view"), 1}, {QStringLiteral("Icon/dimmer view"), 3}, {QStringLiteral("dmmer view"), 2}};
        } else if (sensor) {
            layout.Caption = QStringLiteral("PropertiesSensor");
            layout.InfoCaptions[1] = QStringLiteral("Sensor");
            layout.States = 1;
            layout.Types = {{QStringLiteral("Icon view"), 1}, {QStringLiteral("Sensor view"), 2}};
        } else if (type == 31) {
            layout.Caption = QStringLiteral("In10Vproperties");
            layout.States = 1;
            layout.Types = {{QStringLiteral("Icon view"), 1}, {QStringLiteral("Big Number"), 2}, {QStringLiteral("Counter View"), 3}};
        } else {
            layout.Caption = QStringLiteral("Form11 - Properties");
        }
    } else if (memo && memo->GetParentMemo()) {
        layout.Caption = QStringLiteral("PropertiesMemo");
        layout.ShowValue = false;
        layout.InfoCaptions[0] = QStringLiteral("Type memo");
        layout.InfoCaptions[1] = QStringLiteral("Name");
        layout.Infos[0] = QString::fromLatin1(memo->GetParentMemo()->GetKindText());
        layout.Infos[1] = TCodePage::ToDisplay(memo->GetParentMemo()->GetName());
    } else if (variable && variable->GetParentVariable()) {
        layout.Caption = QStringLiteral("Variable Properties");
        layout.InfoCaptions[0] = QStringLiteral("Type Variable");
        layout.InfoCaptions[1] = QStringLiteral("Name");
        layout.Infos[0] = QString::fromLatin1(variable->GetParentVariable()->GetKindText());
        layout.Infos[1] = TCodePage::ToDisplay(variable->GetParentVariable()->GetName());
    } else if (auto *shortcut = dynamic_cast<TVQRecordControl<TVisualShortCut> *>(widget)) {
        std::vector<std::pair<quint16, QString>> screens;
        for (TMyForm11 *window : ScreenWindows())
            screens.emplace_back(window->ScreenRecord().ScreenId, TPicturePaths::FromRecord(window->ScreenRecord().Name));
        TShortcutProperties dialog(shortcut->CurrentRecord(), screens, m_settings.ExportFolder, m_dialogs, this);
        for (;;) {
            if (m_dialogs->Exec(dialog) != QDialog::Accepted)
                return false;
            TVisualShortCut edited = shortcut->CurrentRecord();
            if (dialog.WriteRecord(edited)) {
                shortcut->SetRecord(edited);
                return true;
            }
        }
    } else {
        return false;
    }

    TControlProperties dialog(layout, m_settings.ExportFolder, m_dialogs, this);
    dialog.EdLeft->setText(QString::number(widget->x()));
    dialog.EdTop->setText(QString::number(widget->y()));
    if (control) {
        dialog.EdLabel->setText(control->ComponentLabel());
        for (int state = 0; state < 2; ++state) {
            dialog.SetPicture(state, control->GetStateImageFilename(state));
            dialog.CbTransparent[state]->setChecked(control->GetStateTransparentImage(state));
        }
        dialog.CbReadOnly->setChecked(control->ReadOnly());
        dialog.CbShowLabel->setChecked(control->ShowLabel());
        dialog.CbShowValue->setChecked(control->ShowValue());
        dialog.SelectDisplayType(control->DisplayType());
    } else {
        TVQPicturePairControl *pair = memo ? static_cast<TVQPicturePairControl *>(memo) : variable;
        dialog.EdLabel->setText(pair->Label());
        for (int state = 0; state < 2; ++state) {
            dialog.SetPicture(state, pair->GetImageFileName(state));
            dialog.CbTransparent[state]->setChecked(pair->GetTransparentMode(state));
        }
        dialog.CbReadOnly->setChecked(pair->m_readOnly);
        dialog.CbShowLabel->setChecked(pair->m_showLabel);
        dialog.CbShowValue->setChecked(variable && variable->m_showValue);
    }

    int left = 0, top = 0;
    for (;;) {
        if (m_dialogs->Exec(dialog) != QDialog::Accepted)
            return false;
        if (dialog.Check(left, top))
            break;
    }
    if (control) {
        control->SetComponentLabel(dialog.EdLabel->text());
        for (int state = 0; state < 2; ++state) {
            control->SetStateImageFilename(state, dialog.Pictures[state]);
            control->SetStateTransparentImage(state, dialog.CbTransparent[state]->isChecked());
        }
        control->SetShowLabel(dialog.CbShowLabel->isChecked());
        control->move(left, top);
        control->SetReadOnly(dialog.CbReadOnly->isChecked());
        control->SetShowValue(dialog.CbShowValue->isChecked());
        control->SetDisplayType(quint8(dialog.DisplayType(control->DisplayType())));
    } else {
        TVQPicturePairControl *pair = memo ? static_cast<TVQPicturePairControl *>(memo) : variable;
        pair->SetLabel(dialog.EdLabel->text());
        for (int state = 0; state < 2; ++state) {
            pair->SetImageFileName(state, dialog.Pictures[state]);
            pair->SetTransparentMode(state, dialog.CbTransparent[state]->isChecked());
        }
        pair->move(left, top);
        pair->m_readOnly = dialog.CbReadOnly->isChecked();
        pair->m_showLabel = dialog.CbShowLabel->isChecked();
        if (variable)
            variable->m_showValue = dialog.CbShowValue->isChecked();
        pair->CheckSize();
        pair->update();
    }
    return true;
}

void TForm1::EditScreen(TMyForm11 *screen)
{
    TForm7 dialog(screen->ScreenRecord(), m_programFolder, m_dialogs, this);
    // OK writes the record when every field can be taken; either way the window applies it,
    // which also puts back a window the user moved or resized.
    while (m_dialogs->Exec(dialog) == QDialog::Accepted) {
        TNewVisualScreen edited = screen->ScreenRecord();
        if (dialog.WriteRecord(edited)) {
            screen->ScreenRecord() = edited;
            m_project->SetModified();
            break;
        }
    }
    screen->ApplyRecord();
    RefreshScreenList();
}

void TForm1::UpdateApplication(TDataFileManager &application, const QString &exportPath)
{
    m_project->UpdateApplication(application, exportPath, *m_binder, *m_lists, QDateTime::currentDateTime());
    // The search lists named the old records: they are filled again when next shown.
    for (TSearchListWindow *list : {m_outputs, m_inputs, m_sensors, m_memos, m_variables})
        list->SetSources(m_project.get(), m_lists.get());
}

void TForm1::RemoveApplication(TDataFileManager &application)
{
    application.CloseLink();
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
            window->show();
            window->raise();
            return;
        }
    }
}

void TForm1::ShowScreenList()
{
    RefreshScreenList();
    m_screenList->show();
    m_screenList->raise();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (m_project->GetModified()) {
        const TDialogs::Answer answer = m_dialogs->AskSave();
        if (answer == TDialogs::Cancel) {
            event->ignore();
            return;
        }
        if (answer == TDialogs::Yes) {
            const QString name = m_dialogs->SaveFileName(m_settings.ProjectFolder, k_projectFilter);
            if (!name.isEmpty())
                m_project->WriteProject(name);
        }
    }
    for (const auto &application : m_project->Applications())
        application->CloseLink();
    TSettingsFile::Write(m_programFolder, m_settings, m_project->FileName());
    for (TMyForm11 *window : ScreenWindows())
        window->hide();
    for (TSearchListWindow *list : {m_outputs, m_inputs, m_sensors, m_memos, m_variables})
        list->hide();
    m_screenList->hide();
    event->accept();
}
