#include "TabOrder.h"

#include <QLayout>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace {

// Lays out a dialog not shown yet, from the outside in, so that its fields stand where they will.
void LayOut(QWidget *widget)
{
    if (QLayout *layout = widget->layout())
        layout->activate();
    for (QWidget *child : widget->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow())
            LayOut(child);
    }
}

} // namespace

void SetReadingTabOrder(QWidget *dialog)
{
    LayOut(dialog);
    struct Field
    {
        QWidget *Widget;
        QPoint Centre;
    };
    std::vector<Field> fields;
    for (QWidget *child : dialog->findChildren<QWidget *>()) {
        if (child->focusPolicy() & Qt::TabFocus && !child->isWindow() && child->isVisibleTo(dialog) && !child->focusProxy())
            fields.push_back({child, child->mapTo(dialog, child->rect().center())});
    }
    // Rows first: fields whose centres lie within a few pixels of each other share a row.
    std::stable_sort(fields.begin(), fields.end(), [](const Field &a, const Field &b) { return a.Centre.y() < b.Centre.y(); });
    constexpr int rowTolerance = 8;
    for (size_t start = 0; start < fields.size();) {
        size_t end = start + 1;
        while (end < fields.size() && fields[end].Centre.y() - fields[end - 1].Centre.y() <= rowTolerance)
            ++end;
        std::stable_sort(fields.begin() + qsizetype(start), fields.begin() + qsizetype(end),
                         [](const Field &a, const Field &b) { return a.Centre.x() < b.Centre.x(); });
        start = end;
    }
    for (size_t i = 1; i < fields.size(); ++i)
        QWidget::setTabOrder(fields[i - 1].Widget, fields[i].Widget);
}
