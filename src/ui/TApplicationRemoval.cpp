// The removal of an application from the project as a step of the edit history: undone, the
// application comes back where it stood in the list, with its model objects and every control
// that showed it, bound again.
#include "TEditHistory.h"

#include "TDataFileManager.h"
#include "TForm1.h"
#include "TProjectSession.h"

#include <QUndoCommand>
#include <QUndoStack>

namespace {

class TRemoveApplicationCommand : public QUndoCommand
{
public:
    TRemoveApplicationCommand(TEditHistory &history, TProjectSession &session, const TDataFileManager &application,
                              std::vector<TEditHistory::Placement> controls)
        : m_history(history)
        , m_session(session)
        , m_name(application.Name())
        , m_project(session.Project()->Compose())
        , m_controls(std::move(controls))
    {
        const auto &applications = session.Project()->Applications();
        for (size_t i = 0; i < applications.size(); ++i) {
            if (applications[i].get() == &application)
                m_index = i;
        }
        setText(QStringLiteral("Remove application"));
    }
    void redo() override
    {
        const auto &applications = m_session.Project()->Applications();
        if (m_index >= applications.size() || applications[m_index]->Name() != m_name)
            return;
        // The session destroys the controls at once (none may stay bound to the application
        // going); the history forgets them as they go and names their remakes alike.
        m_session.RemoveApplication(*applications[m_index]);
    }
    void undo() override
    {
        m_session.RestoreApplication(m_name, m_project, m_index);
        m_history.Make(m_controls);
    }

private:
    TEditHistory &m_history;
    TProjectSession &m_session;
    QByteArray m_name;
    QByteArray m_project;  // the whole project as it was: the application's block is read back from it
    size_t m_index = 0;
    std::vector<TEditHistory::Placement> m_controls;
};

} // namespace

int TEditHistory::ControlsOf(const TDataFileManager &application) const
{
    int count = 0;
    const TProjectManager *project = m_owner.Project();
    project->ForEachItem([&](TProjectItemBase &item) { count += project->BelongsTo(item, application); });
    return count;
}

void TEditHistory::RemoveApplication(TDataFileManager &application)
{
    std::vector<TProjectItemBase *> items;
    TProjectManager *project = m_owner.Project();
    project->ForEachItem([&](TProjectItemBase &item) {
        if (project->BelongsTo(item, application))
            items.push_back(&item);
    });
    std::vector<Placement> controls;
    for (TProjectItemBase *item : items)
        controls.push_back(PlacementOf(item));
    m_stack->push(new TRemoveApplicationCommand(*this, *m_owner.Session(), application, std::move(controls)));
}
