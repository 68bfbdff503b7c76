#include "TVQControl.h"

#include "TCodePage.h"
#include "TDataFileManager.h"
#include "TLinkSession.h"
#include "TVQControlHost.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QToolTip>

#include <algorithm>
#include <vector>

namespace {

std::vector<std::pair<QPointer<QObject>, TVQControl::RunTimeMenuEntry>> &RunTimeEntries()
{
    static std::vector<std::pair<QPointer<QObject>, TVQControl::RunTimeMenuEntry>> entries;
    return entries;
}

} // namespace

void TVQControl::AddRunTimeMenuEntry(QObject *owner, RunTimeMenuEntry entry)
{
    RunTimeEntries().emplace_back(owner, std::move(entry));
}

const TVQControl::MenuTexts &TVQControl::ItemTexts()
{
    static const MenuTexts texts{QStringLiteral("Properties"), QStringLiteral("PropertiesMenu"), QStringLiteral("DeleteMenu"),
                                 QStringLiteral("Do you want to remove this Object ?")};
    return texts;
}

TVQControl::TVQControl(QWidget *parent, TVQControlHost *host, const MenuTexts &texts, RunMode initial)
    : QWidget(parent)
    , m_host(host)
    , m_texts(&texts)
    , m_mode(initial)
{
    // The menu is opened by the press handler, only in design time.
    setContextMenuPolicy(Qt::PreventContextMenu);
}

QMenu *TVQControl::ContextMenu()
{
    // Made when first asked for: most controls of a large project are never right-clicked.
    if (!m_menu) {
        m_menu = new QMenu(this);
        QAction *properties = m_menu->addAction(m_texts->Properties);
        properties->setObjectName(m_texts->PropertiesName);
        connect(properties, &QAction::triggered, this, &TVQControl::DisplayProperties);
        QAction *remove = m_menu->addAction(QStringLiteral("Delete"));
        remove->setObjectName(m_texts->DeleteName);
        connect(remove, &QAction::triggered, this, &TVQControl::DisplayDelete);
    }
    return m_menu;
}

void TVQControl::SetRunTimeMode(RunMode mode)
{
    if (!IsValidRecord())
        return;
    m_mode = mode;
    m_trust = Trust();
    Resize();
    update();
}

void TVQControl::Resize()
{
    if (m_sizeHolds > 0 || !isVisible())
        m_sizePending = true;
    else
        CheckSize();
}

void TVQControl::EnsureSized()
{
    if (m_sizePending && m_sizeHolds == 0) {
        m_sizePending = false;
        CheckSize();
    }
}

void TVQControl::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    EnsureSized();
}

void TVQControl::RefreshTrust()
{
    const StateTrust trust = Trust();
    if (trust == m_trust)
        return;
    m_trust = trust;
    update();
}

bool TVQControl::LinkLost() const
{
    const TDataFileManager *application = BoundApplication();
    return m_mode == RunMode::RunTime && application && application->Session().Health() == LinkHealth::Lost;
}

void TVQControl::RefuseClick(QPoint globalPosition)
{
    const TDataFileManager *application = BoundApplication();
    const QString name = application ? TCodePage::ToDisplay(application->DisplayName()) : QString();
    const QString text = QStringLiteral("Not sent: the connection to %1 is lost").arg(name);
    // Shown once the button is up: a tip shown on the press is closed by the release.
    m_refusal = text;
    m_refusalAt = globalPosition;
    if (m_host)
        m_host->ClickRefused(text);
}

void TVQControl::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        if (InDesign()) {
            ContextMenu()->popup(event->globalPosition().toPoint());
            return;
        }
        std::erase_if(RunTimeEntries(), [](const auto &entry) { return entry.first.isNull(); });
        auto *menu = new QMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        for (const auto &entry : RunTimeEntries())
            entry.second(*this, *menu);
        if (menu->isEmpty())
            delete menu;
        else
            menu->popup(event->globalPosition().toPoint());
        return;
    }
    if (!InDesign()) {
        if (LinkLost()) {
            RefuseClick(event->globalPosition().toPoint());
            return;
        }
        ClickPress(event->button(), at);
        return;
    }
    if (m_host && !m_host->ControlPressed(this, event->modifiers()))
        return;
    m_dragging = true;
    m_dragOrigin = at;
    m_dragStart = pos();
    setCursor(Qt::SizeAllCursor);
}

void TVQControl::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (!InDesign()) {
        ClickMove(at);
    } else if (m_dragging && at != m_dragOrigin) {
        // Moved by the pointer's travel, so the spot grabbed stays under it; the record keeps
        // positions from 0 to 65535, so the control stops at the screen's left and top edges.
        const QPoint to = pos() + at - m_dragOrigin;
        const QPoint kept(std::clamp(to.x(), 0, MaxCoordinate), std::clamp(to.y(), 0, MaxCoordinate));
        if (kept != pos()) {
            const QPoint delta = kept - pos();
            move(kept);
            m_changed = true;
            if (m_host)
                m_host->ControlDragged(this, delta);
        }
    }
}

void TVQControl::mouseReleaseEvent(QMouseEvent *event)
{
    if (!InDesign() && !LinkLost())
        ClickRelease(event->button(), event->position().toPoint());
    if (!m_refusal.isEmpty()) {
        QToolTip::showText(m_refusalAt, m_refusal, this, QRect(), 3000);
        m_refusal.clear();
    }
    const bool dragged = m_dragging && InDesign();
    const bool moved = dragged && pos() != m_dragStart;
    m_dragging = false;
    unsetCursor();
    if (moved && m_host)
        m_host->ControlMoved(this, m_dragStart);
    else if (dragged && m_host)
        m_host->ControlClicked(this);
}

void TVQControl::DisplayProperties()
{
    if (!InDesign())
        return;
    if (m_host && m_host->EditProperties(this))
        m_changed = true;
}

void TVQControl::DisplayDelete()
{
    if (!InDesign())
        return;
    if (m_host)
        m_host->DeleteRequested(this);
    else
        Discard();
}

void TVQControl::Discard()
{
    m_discarded = true;
    if (m_host)
        m_host->ControlRemoved(this);
    Removed();
    hide();
    deleteLater();
}
