#include "TProjectManager.h"

#include "TVisualDefaults.h"

#include <algorithm>

// The project's screens: made, found by id, ordered and destroyed.

quint16 TProjectManager::FreeScreenId() const
{
    for (quint16 id = 1; id <= 127; ++id) {
        if (!ScreenById(id))
            return id;
    }
    return 0;
}

TProjectScreen *TProjectManager::AddScreen(TProjectBinder &binder, const TNewVisualScreen *record)
{
    TNewVisualScreen r;
    if (record) {
        r = *record;
    } else {
        const quint16 id = FreeScreenId();
        if (id == 0)
            return nullptr;
        r = TVisualDefaults::NewScreen(id, m_programFolder);
    }
    TProjectScreen *screen = binder.CreateScreen(r);
    if (!screen)
        return nullptr;
    m_screens.push_back(screen);
    m_modified = true;
    return screen;
}

TProjectScreen *TProjectManager::ScreenById(quint16 id) const
{
    const auto indexed = m_screenIds.constFind(id);
    if (indexed != m_screenIds.constEnd() && (*indexed)->ScreenRecord().ScreenId == id)
        return *indexed;
    // Not indexed, or its id changed: the first screen of that id, and the index made again.
    for (TProjectScreen *screen : m_screens) {
        if (screen->ScreenRecord().ScreenId == id) {
            m_screenIds.clear();
            for (auto it = m_screens.rbegin(); it != m_screens.rend(); ++it)
                m_screenIds.insert((*it)->ScreenRecord().ScreenId, *it);  // backwards: the first of an id wins
            return screen;
        }
    }
    return nullptr;
}

void TProjectManager::PlaceScreen(TProjectScreen *screen, size_t index)
{
    const auto found = std::find(m_screens.begin(), m_screens.end(), screen);
    if (found == m_screens.end())
        return;
    m_screens.erase(found);
    m_screens.insert(m_screens.begin() + std::ptrdiff_t(std::min(index, m_screens.size())), screen);
}

void TProjectManager::DeleteScreen(TProjectBinder &binder, quint16 id)
{
    m_controls.DestroyWhere(binder, [id](TProjectItemBase &item) { return item.ItemScreenId() == id; });
    for (std::size_t i = 0; i < m_screens.size();) {
        if (m_screens[i]->ScreenRecord().ScreenId == id) {
            TProjectScreen *screen = m_screens[i];
            m_screens.erase(m_screens.begin() + std::ptrdiff_t(i));
            m_screenIds.clear();
            binder.DestroyScreen(screen);
        } else {
            ++i;
        }
    }
    m_modified = true;
}

void TProjectManager::DeleteAllScreens(TProjectBinder &binder)
{
    // In one pass each, not screen by screen: a project of a hundred thousand screens goes in
    // proportion to its size.
    m_controls.DestroyWhere(binder, [](TProjectItemBase &) { return true; });
    const std::vector<TProjectScreen *> screens = std::exchange(m_screens, {});
    m_screenIds.clear();
    for (TProjectScreen *screen : screens)
        binder.DestroyScreen(screen);
    m_modified = true;
}
