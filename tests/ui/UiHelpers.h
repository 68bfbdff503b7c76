#pragma once

#include "Lookups.h"
#include "TMyForm11.h"
#include "TPicturePaths.h"
#include "TVQBaseControl.h"

#include <QApplication>
#include <QDropEvent>
#include <QList>
#include <QListWidget>
#include <QMimeData>
#include <QTest>

#include <memory>
#include <stdexcept>

// The output control of a screen whose label is `label`, or none.
inline TVQBaseControl *ControlLabelled(TMyForm11 *screen, const QString &label)
{
    for (TVQBaseControl *control : screen->Area()->findChildren<TVQBaseControl *>()) {
        if (control->ComponentLabel() == label)
            return control;
    }
    return nullptr;
}

// A drag with the left button, from a point of the widget to another.
inline void Drag(QWidget *widget, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mousePress(widget, Qt::LeftButton, modifiers, from);
    QTest::mouseMove(widget, to);
    QTest::mouseRelease(widget, Qt::LeftButton, modifiers, to);
}

// The entry of a search list that starts with `text`, dragged and dropped at `at` on `target`;
// returns whether the drag was accepted.
template <typename List>
bool DropEntry(List &list, const QString &text, QWidget *target, QPoint at)
{
    const QList<QListWidgetItem *> found = list.Items()->findItems(text, Qt::MatchStartsWith);
    if (found.size() != 1)
        throw std::runtime_error("no single entry " + text.toStdString());
    std::unique_ptr<QMimeData> mime(list.MimeDataFor(list.Items()->row(found[0])));
    QDragEnterEvent enter(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return enter.isAccepted();
}

// The same, where the control must be there: a miss throws, so the test fails naming the label.
inline TVQBaseControl *LabelledControl(TMyForm11 *screen, const QString &label)
{
    if (TVQBaseControl *control = ControlLabelled(screen, label))
        return control;
    throw std::runtime_error("no control labelled " + label.toStdString());
}
