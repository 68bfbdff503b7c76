// The health of an application's link: up, in doubt, lost; what makes it change (an answer, a
// silence, damage), the states asked for again, and the attempts to reopen a lost link.
#include "TLinkSession.h"

#include "SerialPort.h"
#include "TDataFileManager.h"
#include "TFrameBuilder.h"
#include "TProgramLists.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"

#include <QTimer>

#include <algorithm>

// Every control of the application's model objects repaints if its state's trust changed.
void TLinkSession::RefreshTrust()
{
    const TProgramLists *lists = m_application.ProgramLists();
    if (!lists)
        return;
    for (const auto &module : lists->Modules()) {
        if (module->GetApplication() == &m_application)
            module->RefreshTrust();
    }
    for (const auto &variable : lists->Variables()) {
        if (variable->GetApplication() == &m_application)
            variable->RefreshTrust();
    }
}

void TLinkSession::OpenFrameTimeout()
{
    if (!m_application.FrameOpen())
        return;
    m_application.DropOpenFrame();
    Heard(true);
}

StateTrust TLinkSession::TrustOf(quint32 reported) const
{
    if (reported == 0)
        return StateTrust::Unknown;
    if (m_health == LinkHealth::Lost || reported != m_epoch)
        return StateTrust::Stale;
    return StateTrust::Fresh;
}

void TLinkSession::SetHealth(LinkHealth health)
{
    if (health == m_health)
        return;
    m_health = health;
    emit healthChanged(health);
}

void TLinkSession::LinkUp()
{
    ++m_epoch;
    m_retryTimer->stop();
    m_resyncPending = false;
    m_resyncUnanswered = false;
    m_heardSinceKeepAlive = false;
    // A frame begun on the link before is not the start of anything said now.
    m_application.DropOpenFrame();
    SetHealth(LinkHealth::Up);
    RefreshTrust();
    // However the link came up, what was shown before is stale: every state is asked for.
    RequestRefresh();
}

void TLinkSession::LinkDown(const QString &reason)
{
    SerialPort *link = m_application.Link();
    StartPolling(false);
    for (QTimer *timer : {m_watchdogTimer, m_answerTimer, m_quietTimer, m_refreshOutputsTimer, m_openFrameTimer})
        timer->stop();
    m_resyncPending = false;
    m_resyncUnanswered = false;
    m_state = SessionStates::Closed;
    if (link)
        link->Abandon();
    if (!m_wanted) {
        SetHealth(LinkHealth::Closed);
        return;
    }
    if (m_health != LinkHealth::Lost) {
        // A link reopened but never heard from is still the same loss: the pauses go on growing.
        if (m_retryPause == 0) {
            m_lostAt = QDateTime::currentDateTime();
            m_lostReason = reason;
            m_retryPause = m_timings.RetryFirst;
        } else {
            m_retryPause = std::min(m_retryPause * 2, m_timings.RetryLongest);
        }
        SetHealth(LinkHealth::Lost);
        RefreshTrust();
    } else {
        // Still the same loss, for another reason now (the module back but refusing the
        // password): said as a health is, so that the screens and the history follow it.
        if (reason != m_lostReason) {
            m_lostReason = reason;
            emit healthChanged(m_health);
        }
        if (m_retryTimer->isActive())
            return;  // the next attempt is already planned
        m_retryPause = std::min(m_retryPause * 2, m_timings.RetryLongest);
    }
    m_retryTimer->start(m_retryPause);
}

void TLinkSession::RetryLink()
{
    SerialPort *link = m_application.Link();
    m_retryTimer->stop();
    if (!m_wanted || !link || m_health != LinkHealth::Lost)
        return;
    OpenByKind(true);
}

void TLinkSession::FrameWritten()
{
    if ((m_health == LinkHealth::Up || m_health == LinkHealth::InDoubt) && !m_answerTimer->isActive())
        m_answerTimer->start(m_timings.AnswerWait);
}

void TLinkSession::Heard(bool dropped)
{
    m_answerTimer->stop();
    m_resyncUnanswered = false;
    m_heardSinceKeepAlive = true;
    if (m_health != LinkHealth::Up && m_health != LinkHealth::InDoubt)
        return;
    // The module answers: the loss, if there was one, is over.
    m_retryPause = 0;
    m_lostAt = {};
    m_lostReason.clear();
    if (dropped) {
        SetHealth(LinkHealth::InDoubt);
        ScheduleResync();
    } else if (m_resyncPending) {
        // Still busy: not quiet yet, but the states are asked for no later than the bound.
        const qint64 left = m_timings.ResyncLatest - m_damagedSince.elapsed();
        m_quietTimer->start(int(std::clamp<qint64>(left, 0, m_timings.QuietMoment)));
    } else if (m_health == LinkHealth::InDoubt) {
        SetHealth(LinkHealth::Up);
    }
}

void TLinkSession::AnswerTimeout()
{
    if (m_health != LinkHealth::Up && m_health != LinkHealth::InDoubt)
        return;
    // Asked for the states already and still nothing: the link is gone.
    if (m_resyncUnanswered) {
        LinkDown(QStringLiteral("No answer from the interface module"));
        return;
    }
    SetHealth(LinkHealth::InDoubt);
    ScheduleResync();
}

void TLinkSession::ScheduleResync()
{
    if (!m_resyncPending)
        m_damagedSince.start();
    m_resyncPending = true;
    const qint64 left = m_timings.ResyncLatest - m_damagedSince.elapsed();
    m_quietTimer->start(int(std::clamp<qint64>(left, 0, m_timings.QuietMoment)));
}

void TLinkSession::QuietTimeout()
{
    if (!m_resyncPending || (m_health != LinkHealth::Up && m_health != LinkHealth::InDoubt))
        return;
    if (m_lastResync.isValid() && m_lastResync.elapsed() < m_timings.ResyncSpacing) {
        m_quietTimer->start(int(m_timings.ResyncSpacing - m_lastResync.elapsed()));
        return;
    }
    m_resyncPending = false;
    RequestRefresh();
}

void TLinkSession::RequestRefresh()
{
    SerialPort *link = m_application.Link();
    if (!link || !link->IsOpen())
        return;
    m_lastResync.start();
    TFrameBuilder::BuildRefreshInputs(*link);
    m_resyncUnanswered = true;
    m_refreshOutputsTimer->start(m_timings.RefreshGap);
}
