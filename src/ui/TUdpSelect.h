#pragma once

#include "TSessionDialog.h"

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QTimer;
class TDataFileManager;

// "Open Udp connection": port, address and password of the Ethernet interface; "Connect" starts
// the log-in, the module's answer closes the dialog or shows in its message panel for 5 s.
class TUdpSelect : public QDialog, public TSessionDialog
{
    Q_OBJECT

public:
    explicit TUdpSelect(TDataFileManager &application, QWidget *parent = nullptr);
    ~TUdpSelect() override;

    // The edits with the application's stored settings (an empty host gets the default).
    void Prefill();
    void Connect();

    // TSessionDialog
    bool IsShown() const override { return isVisible(); }
    void ShowPanelText(const QString &text) override;
    void SessionOpened() override { accept(); }


private:
    TDataFileManager &m_application;
    QLineEdit *m_port = nullptr;
    QLineEdit *m_host = nullptr;
    QLineEdit *m_password = nullptr;
    QFrame *m_panel = nullptr;
    QLabel *m_panelText = nullptr;
    QTimer *m_timer = nullptr;
};
