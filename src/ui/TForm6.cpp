#include "TForm6.h"

#include "SerialPort.h"
#include "TCodePage.h"
#include "TDataFileManager.h"
#include "TLinkSession.h"
#include "TForm1.h"
#include "TRunTimeSwitch.h"
#include "TProjectManager.h"
#include "TProjectSession.h"

#include <QListWidget>
#include <QScreen>
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

void TForm6::showEvent(QShowEvent *event)
{
    if (const QScreen *desktop = screen())
        move(desktop->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    QWidget::showEvent(event);
    // In front of the screens shown at the same time, which would otherwise hide it.
    QTimer::singleShot(0, this, [this] {
        raise();
        activateWindow();
    });
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
    m_step = Steps::Start;
    m_next = 0;
    m_current = nullptr;
    m_lines->clear();
    ConnectProcedure();
}

void TForm6::Connect(TDataFileManager *application)
{
    m_ticks = 0;
    // "Run Time" opened the link already: opened again it would log in and ask twice.
    const LinkHealth health = application->Session().Health();
    if (health == LinkHealth::Closed || health == LinkHealth::Lost)
        application->Session().OpenStoredLink();
    AddLine(QStringLiteral("Connecting on ") + FileName(application));
    // An application without a link kind has nothing to wait for: its fault shows on the
    // first tick instead of the window waiting without end.
    m_timer->start();
}

void TForm6::ConnectProcedure()
{
    const auto &applications = m_owner->Session()->Project()->Applications();
    switch (m_step) {
    case Steps::Start:
        if (applications.empty()) {
            Finish();
            return;
        }
        m_current = applications.front().get();
        Connect(m_current);
        m_step = Steps::Connecting;
        m_next = 1;
        return;
    case Steps::Connecting:
        if (m_next >= applications.size()) {
            m_step = Steps::RefreshInputs;
            m_next = 0;
            ConnectProcedure();
            return;
        }
        m_current = applications[m_next].get();
        Connect(m_current);
        ++m_next;
        return;
    case Steps::RefreshInputs:
        if (m_next >= applications.size()) {
            Finish();
            return;
        }
        m_current = applications[m_next].get();
        ++m_next;
        if (m_current->Link() && m_current->Link()->LinkState() == LinkStates::Connected) {
            // The session asked for every state as the link came up; the window says so.
            AddLine(QStringLiteral("refresh inputs on ") + FileName(m_current));
            m_timer->start();
        } else {
            ConnectProcedure();  // not connected: passed over
        }
        return;
    case Steps::RefreshOutputs:
        if (!m_current || !m_current->Link())
            return;  // removed meanwhile: the next tick goes on with the others
        AddLine(QStringLiteral("refresh ouputs on ") + FileName(m_current));
        return;
    default:
        return;
    }
}

void TForm6::Finish()
{
    m_timer->stop();
    m_owner->RunTime()->SwitchEveryControl(RunMode::RunTime);
    m_step = Steps::Finished;
    close();
}

void TForm6::ConnectTimerTimer()
{
    switch (m_step) {
    case Steps::Connecting: {
        const SerialPort *link = m_current ? m_current->Link() : nullptr;
        const LinkKinds kind = m_current ? m_current->Settings().LinkKind : LinkKinds::None;
        const LinkStates state = link ? link->LinkState() : LinkStates::Failed;
        if ((kind == LinkKinds::Serial || kind == LinkKinds::Udp) && state == LinkStates::LoginSent) {
            ++m_ticks;
            if (m_ticks == 9)
                AddLine(QStringLiteral("->Fault connection Timeout"));
            if (m_ticks >= 41) {
                m_timer->stop();
                ConnectProcedure();
            }
        } else if (state == LinkStates::Connected && kind != LinkKinds::None) {
            AddLine(QStringLiteral("->Succes"));
            m_timer->stop();
            ConnectProcedure();
        } else if (m_ticks >= 9) {
            // The timeout line has said it: the log-in's watch gave up on the answer.
            m_timer->stop();
            ConnectProcedure();
        } else {
            // Refused, failed, idle or without a link kind; a refusal says which.
            const Refusals refusal = m_current ? m_current->Session().LastRefusal() : Refusals::None;
            if (refusal == Refusals::WrongPassword)
                AddLine(QStringLiteral("->Fault Authorisation failed, wrong password"));
            else if (refusal == Refusals::AccessDenied)
                AddLine(QStringLiteral("->Fault Access denied, module used by another connection"));
            else
                AddLine(QStringLiteral("->Fault"));
            m_timer->stop();
            ConnectProcedure();
        }
        return;
    }
    case Steps::RefreshInputs:
        m_step = Steps::RefreshOutputs;
        ConnectProcedure();
        return;
    case Steps::RefreshOutputs:
        m_step = Steps::RefreshInputs;
        ConnectProcedure();
        return;
    default:
        return;
    }
}
