#include "TSearchLists.h"

TSearchLists::TSearchLists(QWidget *owner)
    : m_owner(owner)
{
}

TSearchListWindow *TSearchLists::Get(Kind kind)
{
    TSearchListWindow *&window = m_windows[size_t(kind)];
    if (!window) {
        switch (kind) {
        case Kind::Outputs:
            window = new TForm4(m_owner);
            break;
        case Kind::Inputs:
            window = new TForm15(m_owner);
            break;
        case Kind::Sensors:
            window = new TForm11(m_owner);
            break;
        case Kind::Memos:
            window = new TSearchMemoForm(m_owner);
            break;
        case Kind::Variables:
            window = new TForm5(m_owner);
            break;
        }
        window->SetSources(m_project, m_lists);
        window->addActions(m_keyActions);
    }
    return window;
}

void TSearchLists::SetSources(TProjectManager *project, TProgramLists *lists)
{
    m_project = project;
    m_lists = lists;
    for (TSearchListWindow *window : m_windows) {
        if (!window)
            continue;
        window->SetSources(project, lists);
        if (window->isVisible())
            window->Refresh();
    }
}

void TSearchLists::Hide(std::initializer_list<Kind> kinds)
{
    for (const Kind kind : kinds) {
        if (TSearchListWindow *window = m_windows[size_t(kind)])
            window->hide();
    }
}

void TSearchLists::HideAll()
{
    Hide({Kind::Outputs, Kind::Inputs, Kind::Sensors, Kind::Memos, Kind::Variables});
}
