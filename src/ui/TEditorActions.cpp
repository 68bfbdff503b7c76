#include "TEditorActions.h"

#include "TEditHistory.h"
#include "TForm1.h"
#include "TMyForm11.h"
#include "TProjectSession.h"
#include "TSelection.h"
#include "TVQControl.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QToolBar>
#include <QUndoStack>

#include <functional>

namespace {

// The arrow keys move by one pixel, with Shift by ten.
constexpr int k_nudgeStep = 1;
constexpr int k_largeNudgeStep = 10;

} // namespace

TEditorActions::TEditorActions(TForm1 &owner, QMenu *editMenu)
    : QObject(&owner)
    , m_owner(owner)
{
    // F10 takes the keyboard to the menu bar, as in most desktop programs.
    connect(new QShortcut(QKeySequence(Qt::Key_F10), &owner), &QShortcut::activated, this, [&owner] {
        if (QMenuBar *bar = owner.menuBar(); !bar->actions().isEmpty()) {
            bar->setFocus(Qt::ShortcutFocusReason);
            bar->setActiveAction(bar->actions().front());
        }
    });
    m_undo = editMenu->addAction(QStringLiteral("Undo"));
    m_redo = editMenu->addAction(QStringLiteral("Redo"));
    m_undo->setObjectName(QStringLiteral("Undo"));
    m_redo->setObjectName(QStringLiteral("Redo"));
    connect(m_undo, &QAction::triggered, this, [this] {
        if (m_owner.Session()->InDesign())
            m_owner.History()->Stack()->undo();
    });
    connect(m_redo, &QAction::triggered, this, [this] {
        if (m_owner.Session()->InDesign())
            m_owner.History()->Stack()->redo();
    });
    QUndoStack *stack = m_owner.History()->Stack();
    connect(stack, &QUndoStack::indexChanged, this, &TEditorActions::Follow);
    connect(stack, &QUndoStack::cleanChanged, this, &TEditorActions::Follow);
    MakeAlignBar();
    MakeScreenKeys();
    Follow();
}

void TEditorActions::Follow()
{
    const bool design = m_owner.Session()->InDesign();
    QUndoStack *stack = m_owner.History()->Stack();
    m_undo->setText(stack->canUndo() ? QStringLiteral("Undo ") + stack->undoText() : QStringLiteral("Undo"));
    m_redo->setText(stack->canRedo() ? QStringLiteral("Redo ") + stack->redoText() : QStringLiteral("Redo"));
    m_undo->setEnabled(design && stack->canUndo());
    m_redo->setEnabled(design && stack->canRedo());
}

void TEditorActions::MakeAlignBar()
{
    // The alignment of the last screen's selection, at hand beside the menus.
    m_alignBar = m_owner.addToolBar(QStringLiteral("Align"));
    m_alignBar->setObjectName(QStringLiteral("AlignBar"));
    using A = TSelection::Alignment;
    const auto tool = [this](const QString &text, const QString &tip, std::function<void(TSelection *)> handler) {
        QAction *action = m_alignBar->addAction(text);
        action->setToolTip(tip);
        connect(action, &QAction::triggered, this, [this, handler] {
            if (m_currentScreen && m_owner.Session()->InDesign())
                handler(m_currentScreen->Selection());
        });
    };
    tool(QStringLiteral("|<"), QStringLiteral("Align left"), [](TSelection *s) { s->Align(A::Left); });
    tool(QStringLiteral(">|"), QStringLiteral("Align right"), [](TSelection *s) { s->Align(A::Right); });
    tool(QStringLiteral("T"), QStringLiteral("Align top"), [](TSelection *s) { s->Align(A::Top); });
    tool(QStringLiteral("_"), QStringLiteral("Align bottom"), [](TSelection *s) { s->Align(A::Bottom); });
    tool(QStringLiteral("-"), QStringLiteral("Align centres horizontally"), [](TSelection *s) { s->Align(A::CentresHorizontally); });
    tool(QStringLiteral("|"), QStringLiteral("Align centres vertically"), [](TSelection *s) { s->Align(A::CentresVertically); });
    tool(QStringLiteral("<->"), QStringLiteral("Distribute horizontally"), [](TSelection *s) { s->Distribute(Qt::Horizontal); });
    tool(QStringLiteral("<^>"), QStringLiteral("Distribute vertically"), [](TSelection *s) { s->Distribute(Qt::Vertical); });
}

void TEditorActions::MakeScreenKeys()
{
    // Made once, carried by every screen, acting on the active one.
    const auto screenKey = [this](QList<QKeySequence> keys, std::function<void(TMyForm11 *)> handler) {
        auto *action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, handler] {
            auto *screen = qobject_cast<TMyForm11 *>(QApplication::activeWindow());
            if (screen && m_owner.Session()->InDesign() && !m_owner.Kiosk())
                handler(screen);
        });
        m_screenKeys.append(action);
    };
    screenKey({QKeySequence::SelectAll}, [](TMyForm11 *s) { s->Selection()->SelectAll(); });
    screenKey({QKeySequence(Qt::Key_Escape)}, [](TMyForm11 *s) { s->Selection()->Clear(); });
    screenKey({QKeySequence::Delete}, [](TMyForm11 *s) { s->DeleteSelection(); });
    screenKey({QKeySequence::Copy}, [](TMyForm11 *s) { s->Copy(); });
    screenKey({QKeySequence::Cut}, [](TMyForm11 *s) {
        s->Copy();
        s->Selection()->DeleteSelected();
    });
    screenKey({QKeySequence::Paste}, [this](TMyForm11 *s) { s->Paste(m_clipboard); });
    screenKey({QKeySequence(Qt::CTRL | Qt::Key_D)}, [](TMyForm11 *s) {
        std::vector<TVisualRecord> copies;
        for (TVQControl *control : s->Selection()->Selected())
            copies.push_back(TProjectManager::RecordOf(*control));
        s->Paste(copies);
    });
    const struct { int key; QPoint step; } arrows[] = {
        {Qt::Key_Left, {-1, 0}}, {Qt::Key_Right, {1, 0}}, {Qt::Key_Up, {0, -1}}, {Qt::Key_Down, {0, 1}}};
    for (const auto &arrow : arrows) {
        const QPoint step = arrow.step;
        screenKey({QKeySequence(arrow.key)}, [step](TMyForm11 *s) { s->Selection()->MoveBy(step * k_nudgeStep); });
        screenKey({QKeySequence(Qt::SHIFT | arrow.key)}, [step](TMyForm11 *s) { s->Selection()->MoveBy(step * k_largeNudgeStep); });
    }
}
