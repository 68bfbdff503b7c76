#include "TScreenMenu.h"

#include "TEditorActions.h"
#include "TForm1.h"
#include "TMyForm11.h"
#include "TRunTimeSwitch.h"
#include "TScreenEditor.h"
#include "TSelection.h"

#include <QActionGroup>
#include <QMenu>

TScreenMenu::TScreenMenu(TMyForm11 *screen, TForm1 *owner, TSelection *selection)
    : m_screen(screen)
    , m_owner(owner)
    , m_selection(selection)
    , m_menu(new QMenu(screen))
{
    const auto add = [this](Entry entry, const char *text, auto handler) {
        QAction *action = m_menu->addAction(QString::fromLatin1(text));
        QObject::connect(action, &QAction::triggered, m_menu, handler);
        m_entries[size_t(entry)] = action;
        return action;
    };
    using E = Entry;
    add(E::Settings, "Settings", [this] { m_owner->ScreenEditor()->EditScreen(m_screen); });
    add(E::ShowScreens, "Show screens", [this] { m_owner->ShowScreenList(); });
    m_menu->addSeparator();
    add(E::ShowOutputs, "Show outputs", [this] { m_owner->ShowSearchList(m_owner->OutputList()); });
    add(E::ShowInputs, "Show inputs", [this] { m_owner->ShowSearchList(m_owner->InputList()); });
    add(E::ShowSensors, "Show Sensors", [this] { m_owner->ShowSearchList(m_owner->SensorList()); });
    add(E::ShowMemo, "Show Memo", [this] { m_owner->ShowSearchList(m_owner->MemoList()); });
    add(E::ShowVariable, "Show Variable", [this] { m_owner->ShowSearchList(m_owner->VariableList()); });
    m_menu->addSeparator();
    add(E::RunTime, "Run Time", [this] { m_owner->RunTime()->CommandRunTime(); })->setCheckable(true);
    add(E::DesignTime, "Design Time", [this] { m_owner->RunTime()->CommandDesignTime(); })->setCheckable(true);
    add(E::Test, "Test", [this] { m_owner->RunTime()->CommandTest(); })->setCheckable(true);
    m_menu->addSeparator();
    add(E::CreateShortcut, "Create shortcut", [this] { m_owner->ScreenEditor()->CreateShortcut(m_screen); });
    add(E::AddCamera, "Add Axis cam", [this] { m_owner->ScreenEditor()->CreateCamera(m_screen); });
    add(E::CreateGauge, "Create Gauge", [this] { m_owner->ScreenEditor()->CreateGauge(m_screen); })->setVisible(false);
    // The grid and alignment entries are made when the menu first opens.
    m_editAnchor = m_menu->addSeparator();
    m_menu->addSeparator();
    add(E::DeleteScreen, "Delete Screen", [this] { m_owner->ScreenEditor()->DeleteScreen(m_screen); });
    add(E::Close, "Close", [this] { m_screen->close(); });
}

TScreenMenu::~TScreenMenu()
{
    // The entries' handlers reach this object: they go with it.
    delete m_menu;
}

void TScreenMenu::MakeEditMenus()
{
    // The snap grid of moves and drops, the program's own setting.
    m_gridMenu = new QMenu(QStringLiteral("Grid"), m_menu);
    m_menu->insertMenu(m_editAnchor, m_gridMenu);
    QAction *snap = m_gridMenu->addAction(QStringLiteral("Snap to grid"));
    snap->setCheckable(true);
    QObject::connect(snap, &QAction::toggled, m_menu, [this](bool on) { m_owner->Editor()->Grid().Set(on, m_owner->Editor()->Grid().Size()); });
    m_gridMenu->addSeparator();
    auto *sizes = new QActionGroup(m_gridMenu);
    for (int size : {5, 10, 20, 50}) {
        QAction *entry = m_gridMenu->addAction(QStringLiteral("%1 px").arg(size));
        entry->setCheckable(true);
        entry->setData(size);
        sizes->addAction(entry);
        QObject::connect(entry, &QAction::triggered, m_menu, [this, size] { m_owner->Editor()->Grid().Set(m_owner->Editor()->Grid().On(), size); });
    }
    QObject::connect(m_gridMenu, &QMenu::aboutToShow, m_menu, [this, snap] {
        snap->setChecked(m_owner->Editor()->Grid().On());
        for (QAction *entry : m_gridMenu->actions()) {
            if (entry->isCheckable() && entry != snap)
                entry->setChecked(entry->data().toInt() == m_owner->Editor()->Grid().Size());
        }
    });
    m_menu->insertSeparator(m_editAnchor);
    // Lining up and spreading out the selected controls, each one step of the history.
    m_alignMenu = new QMenu(QStringLiteral("Align"), m_menu);
    m_menu->insertMenu(m_editAnchor, m_alignMenu);
    const auto align = [this](const char *text, auto handler) {
        QObject::connect(m_alignMenu->addAction(QString::fromLatin1(text)), &QAction::triggered, m_menu, handler);
    };
    using A = TSelection::Alignment;
    align("Align left", [this] { m_selection->Align(A::Left); });
    align("Align right", [this] { m_selection->Align(A::Right); });
    align("Align top", [this] { m_selection->Align(A::Top); });
    align("Align bottom", [this] { m_selection->Align(A::Bottom); });
    align("Align centres horizontally", [this] { m_selection->Align(A::CentresHorizontally); });
    align("Align centres vertically", [this] { m_selection->Align(A::CentresVertically); });
    m_alignMenu->addSeparator();
    align("Distribute horizontally", [this] { m_selection->Distribute(Qt::Horizontal); });
    align("Distribute vertically", [this] { m_selection->Distribute(Qt::Vertical); });
    m_alignMenu->addSeparator();
    align("Same size (camera views)", [this] { m_selection->SameSize(); });
}

void TScreenMenu::Prepare()
{
    if (!m_gridMenu)
        MakeEditMenus();
    const RunMode mode = m_owner->RunTime()->Mode();
    const bool locked = mode == RunMode::RunTime || mode == RunMode::Test;
    using E = Entry;
    Action(E::RunTime)->setChecked(mode == RunMode::RunTime);
    Action(E::Test)->setChecked(mode == RunMode::Test);
    Action(E::DesignTime)->setChecked(!locked);
    for (E entry : {E::Settings, E::CreateShortcut, E::DeleteScreen, E::ShowOutputs, E::ShowInputs, E::ShowSensors, E::ShowVariable})
        Action(entry)->setEnabled(!locked);
    m_alignMenu->menuAction()->setEnabled(!locked && m_selection->Selected().size() >= 2);
    m_gridMenu->menuAction()->setEnabled(!locked);
    // A wall panel only runs: no way into design time, test or editing.
    if (m_owner->Kiosk()) {
        for (QAction *action : m_menu->actions())
            action->setVisible(action == Action(E::RunTime) || action == Action(E::ShowScreens));
    }
}
