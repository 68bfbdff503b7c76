#include "TRunTimeSwitch.h"

#include "SerialPort.h"
#include "TCodePage.h"
#include "TDataFileManager.h"
#include "TDialogs.h"
#include "TForm1.h"
#include "TForm6.h"
#include "TLinkSession.h"
#include "TModuleTypes.h"
#include "TProgramLists.h"
#include "TProjectManager.h"
#include "TProjectSession.h"
#include "TSearchListWindow.h"
#include "TSelectCom.h"
#include "TUdpSelect.h"
#include "TVQQModuleBase.h"

#include <QTimer>

RunMode TRunTimeSwitch::Mode() const
{
    return m_owner.Session()->Mode();
}

RunMode TRunTimeSwitch::ModeForNewControls() const
{
    return m_owner.Session()->ModeForNewControls();
}

void TRunTimeSwitch::SwitchEveryControl(RunMode mode)
{
    // Each control takes a mode once; the windows follow the session's announcement, and follow
    // again when the mode stays (the connection window's end, a second "Run Time").
    if (!m_owner.Session()->SetMode(mode))
        m_owner.FollowMode();
}

void TRunTimeSwitch::CommandRunTime()
{
    TProjectManager *project = m_owner.Project();
    for (const auto &application : project->Applications()) {
        if (!application->Session().ReopenLink())
            SetupLink(*application);
    }
    bool anyOpen = false;
    for (const auto &application : project->Applications())
        anyOpen |= application->Link() && application->Link()->IsOpen();
    if (!anyOpen) {
        // Not in run time: no link goes on trying to open by itself.
        for (const auto &application : project->Applications())
            application->Session().CloseLink();
        m_owner.Dialogs()->ShowMessage(QStringLiteral("No communication port open"));
        return;
    }
    SwitchEveryControl(RunMode::RunTime);
    m_owner.Connecting()->show();
    m_owner.Connecting()->ResetAndStart();
}

void TRunTimeSwitch::CommandDesignTime()
{
    SwitchEveryControl(RunMode::DesignTime);
    m_owner.Connecting()->ConnectTimer()->stop();
    m_owner.Connecting()->hide();
    m_owner.Session()->CloseLinks();
}

void TRunTimeSwitch::CommandTest()
{
    SwitchEveryControl(RunMode::Test);
}

void TRunTimeSwitch::SetupLink(TDataFileManager &application, bool byInterfaceModule)
{
    SerialPort *link = application.Link();
    if (!link)
        return;
    TVISUALQvpInfo &settings = application.Settings();
    if (byInterfaceModule || (settings.LinkKind != LinkKinds::Serial && settings.LinkKind != LinkKinds::Udp)) {
        quint16 number = 0;
        const quint16 position = application.FindInterfaceModule(number);
        if (position == TDataFileManager::NotFound) {
            m_owner.Dialogs()->ShowMessage(TCodePage::ToDisplay(application.Name())
                                           + QStringLiteral("\nWarning No visual communication module in application:\n"));
            return;
        }
        const ModuleRecord *interfaceModule = application.ModuleAt(position);
        if (!interfaceModule) {
            m_owner.Dialogs()->ShowMessage(TCodePage::ToDisplay(application.Name())
                                           + QStringLiteral("\nWarning No Data for communication module:\n"));
            return;
        }
        link->SetInterface(position, number);
        const LinkKinds kind = TModuleTypes::InterfaceLink(interfaceModule->ModuleType);
        link->SetLinkKind(kind);
        settings.LinkKind = kind;
    }
    if (settings.LinkKind == LinkKinds::Serial) {
        TSelectCom dialog(application, m_owner.ProgramFolder(), m_owner.Dialogs(), &m_owner);
        dialog.Fill(settings.ComPort);
        if (m_owner.Dialogs()->Exec(dialog) == QDialog::Accepted && link->IsOpen()) {
            settings.ComPort = dialog.ComNumber();
            settings.LinkKind = LinkKinds::Serial;
            application.Session().StartPolling(true);
        }
    } else {
        TUdpSelect dialog(application, &m_owner);
        dialog.Prefill();
        m_owner.Dialogs()->Exec(dialog);
    }
}
