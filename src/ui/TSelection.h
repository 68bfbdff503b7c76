#pragma once

#include <QList>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>
#include <vector>

class TEditHistory;
class TVQControl;

// The controls selected on one screen in design time, drawn over the screen as dashed frames
// with handles, and what the editor does with them: move them together, nudge them with the
// keys, line them up, spread them out, delete them, each as one step of the history.
class TSelection : public QWidget
{
    Q_OBJECT

public:
    enum class Alignment { Left, Right, Top, Bottom, CentresHorizontally, CentresVertically };

    // Drawn over `area`, whose direct children are the controls; `snapped` puts a dropped or
    // dragged control's corner on the grid.
    TSelection(QWidget *area, TEditHistory *history, std::function<QPoint(const QPoint &)> snapped = {});

    const QList<QPointer<TVQControl>> &Controls() const { return m_controls; }
    std::vector<TVQControl *> Selected() const;
    bool Contains(const TVQControl *control) const;

    void Select(TVQControl *control, bool add = false);
    void Toggle(TVQControl *control);
    // Every control of the screen; those the rectangle touches (added to the selection or not).
    void SelectAll();
    void SelectTouching(const QRect &rectangle, bool add);
    void Clear();

    // A drag of one selected control began: the others follow it, and on release all the moves
    // are one step.
    void BeginDrag();
    void Follow(TVQControl *dragged, const QPoint &delta);
    void EndDrag();

    void MoveBy(const QPoint &delta);
    void Align(Alignment alignment);
    void Distribute(Qt::Orientation orientation);
    void DeleteSelected();
    // The selected camera views all take the size of the first one (the only controls whose
    // size is set rather than drawn from their picture and text).
    void SameSize();

    // Where a control may stand: the record keeps positions from 0 to 65535.
    static QPoint Kept(const QPoint &at);
    // The new top-left corner of each of `rectangles` lined up, or spread at equal gaps.
    static std::vector<QPoint> Aligned(const std::vector<QRect> &rectangles, Alignment alignment);
    static std::vector<QPoint> Distributed(const std::vector<QRect> &rectangles, Qt::Orientation orientation);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    void Changed();
    void Prune();
    void Place(const std::vector<TVQControl *> &controls, const std::vector<QPoint> &to, bool nudge = false);

    QWidget *m_area = nullptr;
    TEditHistory *m_history = nullptr;
    std::function<QPoint(const QPoint &)> m_snapped;
    QList<QPointer<TVQControl>> m_controls;
    std::vector<std::pair<QPointer<TVQControl>, QPoint>> m_dragStarts;
};
