#pragma once

#include "TSearchListWindow.h"

#include <QList>

#include <array>

class TProgramLists;
class TProjectManager;
class QAction;
class QWidget;

// The main window's five search lists, each window made when first asked for: most sessions
// open one or two of them, and a window made later reads the project it would have been given.
class TSearchLists
{
public:
    using Kind = TSearchListWindow::Lists;

    explicit TSearchLists(QWidget *owner);

    TSearchListWindow *Get(Kind kind);
    // The project and lists each window reads; the shown ones are filled again.
    void SetSources(TProjectManager *project, TProgramLists *lists);
    // Hides the windows of these kinds that exist.
    void Hide(std::initializer_list<Kind> kinds);
    void HideAll();
    // The program's keys, given to each window as it is made.
    void SetKeyActions(const QList<QAction *> &actions) { m_keyActions = actions; }

private:
    QWidget *m_owner;
    TProjectManager *m_project = nullptr;
    TProgramLists *m_lists = nullptr;
    QList<QAction *> m_keyActions;
    std::array<TSearchListWindow *, 5> m_windows{};
};
