#pragma once

#include "ListItemData.h"

#include <QPoint>

class TForm1;
class TMyForm11;
class TProjectItemBase;

// The design-time commands of a screen's menu: items dropped from the search lists, new
// shortcuts, cameras and gauges, the screen settings and the screen's deletion.
class TScreenEditor
{
public:
    // The main window outlives the editor: it owns it.
    explicit TScreenEditor(TForm1 &owner) : m_owner(owner) {}

    void DropItem(TMyForm11 *screen, const ListItemData &item, const QPoint &at);
    void CreateShortcut(TMyForm11 *screen);
    void CreateCamera(TMyForm11 *screen);
    void CreateGauge(TMyForm11 *screen);
    void DeleteScreen(TMyForm11 *screen);
    // The screen settings dialog for that screen.
    void EditScreen(TMyForm11 *screen);

private:
    // A control just made by the user, remembered as one step of the history.
    void Placed(TProjectItemBase *control);

    TForm1 &m_owner;
};
