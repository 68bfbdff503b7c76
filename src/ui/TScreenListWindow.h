#pragma once

#include <QListWidget>

class QMenu;
class TForm1;

// The screen list: one entry a screen of the project in file order; a click shows that screen,
// and the menu's "Properties" opens its settings.
class TScreenListWindow : public QListWidget
{
    Q_OBJECT

public:
    // The main window owns the list and outlives it.
    explicit TScreenListWindow(TForm1 &owner);

    QMenu *Menu() const { return m_menu; }
    // The entries follow the project's screens and their names.
    void Refresh();

private:
    TForm1 &m_owner;
    QMenu *m_menu = nullptr;
};
