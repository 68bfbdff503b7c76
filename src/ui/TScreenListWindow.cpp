#include "TScreenListWindow.h"

#include "TForm1.h"
#include "TMyForm11.h"
#include "TPicturePaths.h"
#include "TScreenEditor.h"

#include <QMenu>

TScreenListWindow::TScreenListWindow(TForm1 &owner)
    : QListWidget(&owner)
    , m_owner(owner)
{
    setWindowFlags(Qt::Tool);
    setWindowTitle(QStringLiteral("Screens"));
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        const std::vector<TMyForm11 *> screens = m_owner.ScreenWindows();
        const int at = row(item);
        if (at >= 0 && size_t(at) < screens.size()) {
            m_owner.ShowScreenWindow(screens[size_t(at)]);
            // The list stays in front, so that the next screen can be chosen.
            raise();
            activateWindow();
        }
    });
    m_menu = new QMenu(this);
    connect(m_menu->addAction(QStringLiteral("Properties")), &QAction::triggered, this, [this] {
        const std::vector<TMyForm11 *> screens = m_owner.ScreenWindows();
        const int at = currentRow();
        if (at >= 0 && size_t(at) < screens.size())
            m_owner.ScreenEditor()->EditScreen(screens[size_t(at)]);
    });
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_menu->popup(viewport()->mapToGlobal(at)); });
}

void TScreenListWindow::Refresh()
{
    clear();
    for (TMyForm11 *window : m_owner.ScreenWindows())
        addItem(TPicturePaths::FromRecord(window->ScreenRecord().Name));
}
