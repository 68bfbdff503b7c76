#pragma once

#include <QObject>
#include <QString>

class QWidget;

// Where the program's own windows (the main window, the search lists, the project summary) were
// last: kept in the user's `editor.ini`, put back when a window is first shown, and always kept
// inside the available area of a screen (no list opening half below the bottom).
class TWindowPlaces : public QObject
{
    Q_OBJECT

public:
    // Follows `window` under `key`; the object lives as the window's child.
    static void Follow(QWidget *window, const QString &key);
    // The window moved, whole, into the available area of the screen it is on (or the nearest).
    static void KeepOnScreen(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TWindowPlaces(QWidget *window, const QString &key);
    void Restore();
    void Remember() const;

    QWidget *m_window;
    QString m_key;
    bool m_restored = false;
};
