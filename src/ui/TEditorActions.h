#pragma once

#include "TProjectManager.h"
#include "TSnapGrid.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <vector>

class QAction;
class QMenu;
class QToolBar;
class TForm1;
class TMyForm11;

// The design-time editing commands shared by every window: Undo and Redo following the history,
// the keys of a screen's selection, the alignment toolbar acting on the screen used last, the
// clipboard of copied controls and the snap grid.
class TEditorActions : public QObject
{
    Q_OBJECT

public:
    // Adds Undo and Redo to `editMenu` and the toolbar to the main window; the main window owns
    // the editor and outlives it.
    TEditorActions(TForm1 &owner, QMenu *editMenu);

    QAction *Undo() const { return m_undo; }
    QAction *Redo() const { return m_redo; }
    // The keys of a screen's selection (select all, delete, copy, paste, nudges ...), which act on
    // the screen they are typed in, in design time.
    QList<QAction *> ScreenKeys() const { return m_screenKeys; }
    QToolBar *AlignBar() const { return m_alignBar; }
    // Controls copied or cut, to paste on any screen of the project; forgotten with the project.
    std::vector<TVisualRecord> &Clipboard() { return m_clipboard; }
    // The screen the user worked in last, which the alignment toolbar acts on.
    void SetCurrentScreen(TMyForm11 *screen) { m_currentScreen = screen; }
    TMyForm11 *CurrentScreen() const { return m_currentScreen; }
    TSnapGrid &Grid() { return m_grid; }

    // Undo and Redo say what they undo and redo, enabled in design time only.
    void Follow();

private:
    void MakeAlignBar();
    void MakeScreenKeys();

    TForm1 &m_owner;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    QList<QAction *> m_screenKeys;
    QToolBar *m_alignBar = nullptr;
    std::vector<TVisualRecord> m_clipboard;
    QPointer<TMyForm11> m_currentScreen;
    TSnapGrid m_grid;
};
