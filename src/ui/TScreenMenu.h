#pragma once

#include <array>
#include <cstddef>

class QAction;
class QMenu;
class TForm1;
class TMyForm11;
class TSelection;

// The right-click menu of a working screen: the screen's commands, the search lists, the
// program-wide mode, the snap grid and the alignment of the selection.
class TScreenMenu
{
public:
    // The entries, each held from when it was made.
    enum class Entry { Settings, ShowScreens, ShowOutputs, ShowInputs, ShowSensors, ShowMemo, ShowVariable, RunTime,
                       DesignTime, Test, CreateShortcut, AddCamera, CreateGauge, DeleteScreen, Close, Count };

    // The menu is shown over `screen`; its entries act on the screen and the whole project.
    TScreenMenu(TMyForm11 *screen, TForm1 *owner, TSelection *selection);
    ~TScreenMenu();
    TScreenMenu(const TScreenMenu &) = delete;
    TScreenMenu &operator=(const TScreenMenu &) = delete;

    QMenu *Menu() const { return m_menu; }
    QAction *Action(Entry entry) const { return m_entries.at(size_t(entry)); }
    // Checks and enabling of the entries for the program-wide mode; the grid and alignment
    // submenus are made the first time.
    void Prepare();

private:
    void MakeEditMenus();

    TMyForm11 *m_screen;
    TForm1 *m_owner;
    TSelection *m_selection;
    QMenu *m_menu = nullptr;
    std::array<QAction *, size_t(Entry::Count)> m_entries{};
    QMenu *m_alignMenu = nullptr;
    QMenu *m_gridMenu = nullptr;
    QAction *m_editAnchor = nullptr;
};
