#include "TSelection.h"

#include "TEditHistory.h"
#include "TVQControl.h"
#include "TVQQAxisControl.h"

#include <QUndoStack>

#include <QEvent>
#include <QPainter>

#include <algorithm>
#include <numeric>

TSelection::TSelection(QWidget *area, TEditHistory *history, std::function<QPoint(const QPoint &)> snapped)
    : QWidget(area)
    , m_area(area)
    , m_history(history)
    , m_snapped(std::move(snapped))
{
    setObjectName(QStringLiteral("Selection"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    resize(area->size());
    hide();
}

std::vector<TVQControl *> TSelection::Selected() const
{
    std::vector<TVQControl *> selected;
    for (const QPointer<TVQControl> &control : m_controls) {
        if (control && control->isVisible())
            selected.push_back(control);
    }
    return selected;
}

bool TSelection::Contains(const TVQControl *control) const
{
    return std::any_of(m_controls.begin(), m_controls.end(), [control](const QPointer<TVQControl> &c) { return c == control; });
}

void TSelection::Select(TVQControl *control, bool add)
{
    if (!add)
        m_controls.clear();
    if (!Contains(control))
        m_controls.append(control);
    Changed();
}

void TSelection::Toggle(TVQControl *control)
{
    if (Contains(control))
        m_controls.removeAll(QPointer<TVQControl>(control));
    else
        m_controls.append(control);
    Changed();
}

void TSelection::SelectAll()
{
    m_controls.clear();
    for (TVQControl *control : m_area->findChildren<TVQControl *>(Qt::FindDirectChildrenOnly)) {
        if (control->isVisible())
            m_controls.append(control);
    }
    Changed();
}

void TSelection::SelectTouching(const QRect &rectangle, bool add)
{
    if (!add)
        m_controls.clear();
    for (TVQControl *control : m_area->findChildren<TVQControl *>(Qt::FindDirectChildrenOnly)) {
        if (control->isVisible() && control->geometry().intersects(rectangle) && !Contains(control))
            m_controls.append(control);
    }
    Changed();
}

void TSelection::Clear()
{
    if (m_controls.isEmpty())
        return;
    m_controls.clear();
    Changed();
}

void TSelection::BeginDrag()
{
    m_dragStarts.clear();
    for (TVQControl *control : Selected())
        m_dragStarts.emplace_back(control, control->pos());
}

void TSelection::Follow(TVQControl *dragged, const QPoint &delta)
{
    for (auto &[control, start] : m_dragStarts) {
        if (control && control != dragged)
            control->move(Kept(control->pos() + delta));
    }
    update();
}

void TSelection::EndDrag()
{
    std::vector<std::pair<TVQControl *, QPoint>> from;
    for (auto &[control, start] : m_dragStarts) {
        if (!control)
            continue;
        from.emplace_back(control, start);
        // Let go, a dragged control lands on the grid when it is on.
        if (m_snapped)
            control->move(m_snapped(control->pos()));
    }
    m_dragStarts.clear();
    if (m_history)
        m_history->Moved(from);
    update();
}

QPoint TSelection::Kept(const QPoint &at)
{
    return QPoint(std::clamp(at.x(), 0, MaxCoordinate), std::clamp(at.y(), 0, MaxCoordinate));
}

void TSelection::Place(const std::vector<TVQControl *> &controls, const std::vector<QPoint> &to, bool nudge)
{
    std::vector<std::pair<TVQControl *, QPoint>> from;
    for (size_t i = 0; i < controls.size(); ++i) {
        from.emplace_back(controls[i], controls[i]->pos());
        controls[i]->move(Kept(to[i]));
    }
    if (m_history)
        m_history->Moved(from, nudge);
    update();
}

void TSelection::MoveBy(const QPoint &delta)
{
    const std::vector<TVQControl *> controls = Selected();
    std::vector<QPoint> to;
    for (TVQControl *control : controls)
        to.push_back(control->pos() + delta);
    Place(controls, to, true);
}

std::vector<QPoint> TSelection::Aligned(const std::vector<QRect> &rectangles, Alignment alignment)
{
    std::vector<QPoint> to;
    if (rectangles.empty())
        return to;
    QRect bounds = rectangles.front();
    for (const QRect &r : rectangles)
        bounds = bounds.united(r);
    for (const QRect &r : rectangles) {
        switch (alignment) {
        case Alignment::Left: to.emplace_back(bounds.left(), r.top()); break;
        case Alignment::Right: to.emplace_back(bounds.left() + bounds.width() - r.width(), r.top()); break;
        case Alignment::Top: to.emplace_back(r.left(), bounds.top()); break;
        case Alignment::Bottom: to.emplace_back(r.left(), bounds.top() + bounds.height() - r.height()); break;
        case Alignment::CentresHorizontally:
            to.emplace_back(r.left(), bounds.top() + (bounds.height() - r.height()) / 2);
            break;
        case Alignment::CentresVertically:
            to.emplace_back(bounds.left() + (bounds.width() - r.width()) / 2, r.top());
            break;
        }
    }
    return to;
}

std::vector<QPoint> TSelection::Distributed(const std::vector<QRect> &rectangles, Qt::Orientation orientation)
{
    std::vector<QPoint> to;
    for (const QRect &r : rectangles)
        to.push_back(r.topLeft());
    if (rectangles.size() < 3)
        return to;
    const bool across = orientation == Qt::Horizontal;
    const auto start = [across](const QRect &r) { return across ? r.left() : r.top(); };
    const auto length = [across](const QRect &r) { return across ? r.width() : r.height(); };
    std::vector<size_t> order(rectangles.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return start(rectangles[a]) < start(rectangles[b]); });
    // The first and the last stay; the others are placed so that the gaps between all are equal.
    const QRect &first = rectangles[order.front()];
    int end = 0;
    int lengths = 0;
    for (const QRect &r : rectangles) {
        end = std::max(end, start(r) + length(r));
        lengths += length(r);
    }
    const int span = end - start(first);
    const double gap = double(span - lengths) / double(rectangles.size() - 1);
    double at = start(first);
    for (size_t i = 0; i < order.size(); ++i) {
        const QRect &r = rectangles[order[i]];
        const int position = int(std::lround(at));
        to[order[i]] = across ? QPoint(position, r.top()) : QPoint(r.left(), position);
        at += length(r) + gap;
    }
    return to;
}

void TSelection::Align(Alignment alignment)
{
    const std::vector<TVQControl *> controls = Selected();
    if (controls.size() < 2)
        return;
    std::vector<QRect> rectangles;
    for (TVQControl *control : controls)
        rectangles.push_back(control->geometry());
    Place(controls, Aligned(rectangles, alignment));
}

void TSelection::Distribute(Qt::Orientation orientation)
{
    const std::vector<TVQControl *> controls = Selected();
    if (controls.size() < 3)
        return;
    std::vector<QRect> rectangles;
    for (TVQControl *control : controls)
        rectangles.push_back(control->geometry());
    Place(controls, Distributed(rectangles, orientation));
}

void TSelection::DeleteSelected()
{
    const std::vector<TVQControl *> controls = Selected();
    m_controls.clear();
    Changed();
    if (!controls.empty() && m_history)
        m_history->Delete(controls);
}

void TSelection::SameSize()
{
    std::vector<TVQQAxisControl *> cameras;
    for (TVQControl *control : Selected()) {
        if (auto *camera = dynamic_cast<TVQQAxisControl *>(control))
            cameras.push_back(camera);
    }
    if (cameras.size() < 2 || !m_history)
        return;
    const TVisualAxisCamData &first = cameras.front()->StoredRecord();
    m_history->Stack()->beginMacro(QStringLiteral("Same size"));
    for (size_t i = 1; i < cameras.size(); ++i) {
        const TVisualRecord before = TProjectManager::RecordOf(*cameras[i]);
        TVisualAxisCamData record = cameras[i]->CurrentRecord();
        record.Width = first.Width;
        record.Height = first.Height;
        cameras[i]->SetRecord(record);
        m_history->Edited(cameras[i], before);
    }
    m_history->Stack()->endMacro();
    update();
}

void TSelection::Prune()
{
    m_controls.removeIf([](const QPointer<TVQControl> &control) { return !control || !control->isVisible(); });
}

void TSelection::Changed()
{
    Prune();
    // A selected control moved by any path (a drag, a key, an undo) has its frame follow it.
    for (const QPointer<TVQControl> &control : m_controls)
        control->installEventFilter(this);
    // The area is watched (its size, controls added over the frames) only while frames are
    // shown: the controls a screen is made of go by unwatched.
    if (m_controls.isEmpty()) {
        m_area->removeEventFilter(this);
    } else {
        m_area->installEventFilter(this);
        resize(m_area->size());
    }
    setVisible(!m_controls.isEmpty());
    raise();
    update();
}

bool TSelection::eventFilter(QObject *object, QEvent *event)
{
    if (object == m_area && event->type() == QEvent::Resize)
        resize(m_area->size());
    if (object == m_area && event->type() == QEvent::ChildAdded && isVisible())
        raise();
    const QEvent::Type type = event->type();
    if (object != m_area && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Hide || type == QEvent::Show)) {
        if (type == QEvent::Hide)
            Prune();
        update();
    }
    return QWidget::eventFilter(object, event);
}

void TSelection::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    for (TVQControl *control : Selected()) {
        const QRect frame = control->geometry().adjusted(-2, -2, 1, 1);
        // A dashed frame in dark blue over white, readable on any picture, with a handle at
        // each corner.
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(frame);
        painter.setPen(QPen(QColor(20, 60, 200), 1, Qt::DashLine));
        painter.drawRect(frame);
        for (const QPoint &corner : {frame.topLeft(), frame.topRight(), frame.bottomLeft(), frame.bottomRight()})
            painter.fillRect(QRect(corner - QPoint(2, 2), QSize(5, 5)), QColor(20, 60, 200));
    }
}
