#include "TLinkBanner.h"

#include "TCodePage.h"
#include "TDataFileManager.h"
#include "TLinkSession.h"
#include "TVQControl.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

// How long a refused click stays in the banner.
constexpr int k_refusalShown = 3000;

} // namespace

TLinkBanner::TLinkBanner(QWidget *area)
    : QObject(area)
    , m_area(area)
{
    m_refusalTimer = new QTimer(this);
    m_refusalTimer->setSingleShot(true);
    m_refusalTimer->setInterval(k_refusalShown);
    connect(m_refusalTimer, &QTimer::timeout, this, [this] {
        m_refusal.clear();
        Update(m_runTime);
    });
}

bool TLinkBanner::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_area && event->type() == QEvent::Resize)
        Place();
    return QObject::eventFilter(watched, event);
}

QLabel *TLinkBanner::Label() const
{
    if (!m_label) {
        m_label = new QLabel(m_area);
        m_label->setObjectName(QStringLiteral("LinkBanner"));
        m_label->setStyleSheet(QStringLiteral("QLabel { background: rgba(150, 20, 20, 225); color: white; font-weight: bold; padding: 5px; }"));
        // Seen, never in the way: the clicks go to the controls under it.
        m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_label->setTextFormat(Qt::PlainText);
        m_label->hide();
    }
    return m_label;
}

void TLinkBanner::Update(bool runTime)
{
    m_runTime = runTime;
    QStringList lines;
    if (runTime) {
        std::vector<const TDataFileManager *> seen;
        for (const TVQControl *control : m_area->findChildren<TVQControl *>(Qt::FindDirectChildrenOnly)) {
            const TDataFileManager *application = control->BoundApplication();
            if (!application || std::find(seen.begin(), seen.end(), application) != seen.end())
                continue;
            seen.push_back(application);
            const TLinkSession &session = application->Session();
            if (session.Health() != LinkHealth::Lost)
                continue;
            // Why, after the time: a refused password or a module used by another connection is
            // not mended by trying again, and says what the user has to do.
            QString line = QString::fromUtf8("Connection to %1 lost — reconnecting… (since %2)")
                               .arg(TCodePage::ToDisplay(application->DisplayName()), session.LostAt().toString(QStringLiteral("HH:mm:ss")));
            if (!session.LostReason().isEmpty())
                line += QStringLiteral(": ") + session.LostReason();
            lines.append(line);
        }
    }
    if (lines.isEmpty()) {
        m_refusal.clear();
        m_lines.clear();
        if (m_label)
            m_label->hide();
        m_area->removeEventFilter(this);
        return;
    }
    if (!m_refusal.isEmpty())
        lines.append(m_refusal);
    m_lines = lines;
    Label();
    // The area may be sized after the banner was shown: a shown banner follows every resize.
    m_area->installEventFilter(this);
    Fit();
    m_label->show();
    m_label->raise();
}

void TLinkBanner::Refused(const QString &text)
{
    m_refusal = text;
    m_refusalTimer->start();
    Update(m_runTime);
}

void TLinkBanner::Place()
{
    // Also while its screen is hidden: the area gets its size before the screen shows.
    if (m_label && !m_lines.isEmpty())
        Fit();
}

void TLinkBanner::Fit()
{
    // One line per application, as wide as the screen, cut with "…" rather than wrapped.
    const QMargins margins = m_label->contentsMargins();
    const int room = std::max(0, m_area->width() - margins.left() - margins.right() - 10);
    const QFontMetrics metrics(m_label->font());
    QStringList shown;
    for (const QString &line : m_lines)
        shown.append(metrics.elidedText(line, Qt::ElideRight, room));
    m_label->setText(shown.join(QLatin1Char('\n')));
    m_label->setFixedWidth(m_area->width());
    m_label->adjustSize();
    m_label->move(0, 0);
}
