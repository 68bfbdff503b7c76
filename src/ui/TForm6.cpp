#include "TForm6.h"

#include "SerialPort.h"
#include "TCodePage.h"
#include "TDataFileManager.h"
#include "TForm1.h"
#include "TFrameBuilder.h"
#include "TProjectManager.h"

#include <QListWidget>
#include <QTimer>
#include <QVBoxLayout>

TForm6::TForm6(TForm1 *owner)
    : QWidget(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , m_owner(owner)
    , m_lines(new QListWidget(this))
    , m_timer(new QTimer(this))
{
    setWindowTitle(QStringLiteral("Connecting"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_lines);
    setFixedSize(312, 418);
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &TForm6::ConnectTimerTimer);
}

QStringList TForm6::Lines() const
{
    QStringList lines;
    for (int i = 0; i < m_lines->count(); ++i)
        lines.append(m_lines->item(i)->text());
    return lines;
}

void TForm6::AddLine(const QString &line)
{
    m_lines->addItem(line);
    m_lines->scrollToBottom();
}

QString TForm6::FileName(const TDataFileManager *application) const
{
    return TCodePage::ToDisplay(TDataFileManager::FileNamePart(application->Settings().SourcePath));
}

void TForm6::ResetAndStart()
{
    m_timer->stop();
    m_step = 0;
    m_next = 0;
    m_current = nullptr;
    m_lines->clear();
    ConnectProcedure();
}

void TForm6::Connect(TDataFileManager *application)
{
    m_ticks = 0;
    const TVISUALQvpInfo &settings = application->Settings();
    if (settings.LinkKind == SerialPort::LinkSerial)
        application->OpenSerialLink(settings.ComPort, 115200);
    else if (settings.LinkKind == SerialPort::LinkUdp)
        application->OpenUdpLink(settings.UdpPort, settings.Host, settings.Password);
    AddLine(QStringLiteral("Connecting on ") + FileName(application));
    // An application without a link kind has nothing to wait for: its fault shows on the
    // first tick instead of the window waiting without end.
    m_timer->start();
}

void TForm6::ConnectProcedure()
{
    const auto &applications = m_owner->Project()->Applications();
    switch (m_step) {
    case 0:
        if (applications.empty())
            return;
        m_current = applications.front().get();
        Connect(m_current);
        m_step = 1;
        m_next = 1;
        return;
    case 1:
        if (m_next >= applications.size()) {
            m_step = 2;
            m_next = 0;
            ConnectProcedure();
            return;
        }
        m_current = applications[m_next].get();
        Connect(m_current);
        ++m_next;
        return;
    case 2:
        if (m_next >= applications.size()) {
            m_timer->stop();
            m_owner->SwitchEveryControl(1);
            m_step = Finished;
            close();
            return;
        }
        m_current = applications[m_next].get();
        ++m_next;
        if (m_current->Link() && m_current->Link()->LinkState() == SerialPort::StateConnected) {
            AddLine(QStringLiteral("refresh inputs on ") + FileName(m_current));
            TFrameBuilder::BuildRefreshInputs(*m_current->Link());
            m_timer->start();
        } else {
            ConnectProcedure();  // not connected: passed over
        }
        return;
    case 3:
        AddLine(QStringLiteral("refresh ouputs on ") + FileName(m_current));
        TFrameBuilder::BuildRefreshOutputs(*m_current->Link());
        return;
    default:
        return;
    }
}

void TForm6::ConnectTimerTimer()
{
    switch (m_step) {
    case 1: {
        const SerialPort *link = m_current ? m_current->Link() : nullptr;
        const quint8 kind = m_current ? m_current->Settings().LinkKind : 0;
        const quint8 state = link ? link->LinkState() : quint8(SerialPort::StateFailed);
        if ((kind == SerialPort::LinkSerial || kind == SerialPort::LinkUdp) && state == SerialPort::StateLoginSent) {
            ++m_ticks;
            if (m_ticks == 9)
                AddLine(QStringLiteral("->Fault connection Timeout"));
            if (m_ticks >= 41) {
                m_timer->stop();
                ConnectProcedure();
            }
        } else if (state == SerialPort::StateConnected && kind != 0) {
            AddLine(QStringLiteral("->Succes"));
            m_timer->stop();
            ConnectProcedure();
        } else {
            // Refused, failed, idle or without a link kind.
            AddLine(QStringLiteral("->Fault"));
            m_timer->stop();
            ConnectProcedure();
        }
        return;
    }
    case 2:
        m_step = 3;
        ConnectProcedure();
        return;
    case 3:
        m_step = 2;
        ConnectProcedure();
        return;
    default:
        return;
    }
}
