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
#include "TSearchListWindow.h"
#include "TSelectCom.h"
#include "TUdpSelect.h"
#include "TVQQModuleBase.h"

#include <QTimer>

void TRunTimeSwitch::SwitchEveryControl(RunMode mode)
{
    // Each control takes a mode once: the connection window's end does not switch them again.
    if (mode != m_mode) {
        // Test mode plays with the module states; leaving it puts back what the modules reported.
        if (mode == RunMode::Test || m_mode == RunMode::Test) {
            for (const auto &module : m_owner.Lists()->Modules()) {
                if (mode == RunMode::Test)
                    module->SaveTestSnapshot();
                else
                    module->RestoreTestSnapshot();
            }
            if (mode != RunMode::Test) {
                for (const auto &application : m_owner.Project()->Applications())
                    application->RecomputePower(false);
            }
        }
        m_owner.Project()->ForEachItem([mode](TProjectItemBase &item) { item.SetRunTimeMode(mode); });
        if (m_mode == RunMode::Test) {
            for (const auto &module : m_owner.Lists()->Modules())
                module->RefreshControls();
        }
    }
    m_mode = mode;
    m_owner.LinkHealthChanged();
    m_owner.UpdateEditActions();
    if (mode == RunMode::RunTime) {
        for (TSearchListWindow *list : {m_owner.OutputList(), m_owner.InputList(), m_owner.SensorList()})
            list->hide();
    }
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
    for (const auto &application : m_owner.Project()->Applications())
        application->Session().CloseLink();
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
