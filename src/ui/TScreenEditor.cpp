#include "TScreenEditor.h"

#include "TDataFileManager.h"
#include "TDialogs.h"
#include "TEditHistory.h"
#include "TEditorActions.h"
#include "TForm1.h"
#include "TForm7.h"
#include "TMyForm11.h"
#include "TProgramLists.h"
#include "TProjectManager.h"
#include "TVisualDefaults.h"
#include "TVQQMemoBaseItem.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"
#include "TWindowBinder.h"

void TScreenEditor::DropItem(TMyForm11 *screen, const ListItemData &item, const QPoint &at)
{
    TDataFileManager *app = item.Application;
    if (!app)
        return;
    const quint16 screenId = screen->ScreenRecord().ScreenId;
    const quint8 appId = app->Settings().ApplicationId;
    const QPoint corner = m_owner.Editor()->Grid().Snapped(at);
    const auto x = quint16(corner.x()), y = quint16(corner.y());
    if (item.Kind == ListItemData::KindModuleIo && item.Io) {
        TVQQModuleBase *module = m_owner.Lists()->FindModule(app, item.Io->ModuleNumber);
        if (!module)
            return;
        const TNewVisualOutput record = TVisualDefaults::NewOutput(*item.Io, *module->GetRecord(), x, y, screenId, appId, m_owner.ProgramFolder());
        const Param32Record *parameters = item.Io->ParamKind != 0 ? app->Param32At(item.Io->ParamKind, item.Io->ParamIndex()) : nullptr;
        if (auto *control = m_owner.Binder()->CreateOutput(record, *module, *screen, parameters)) {
            m_owner.Project()->AddItem(control);
            Placed(control);
        }
    } else if (item.Kind == ListItemData::KindMemo && item.Memo) {
        if (item.Memo->MemoKind >= 3) {
            m_owner.Dialogs()->ShowMessage(QStringLiteral("This type of memo is not Handled"));
            return;
        }
        TVQQMemoBaseItem *memo = m_owner.Lists()->FindMemo(app, item.Index);
        if (!memo)
            return;
        const TVisualMemoData record = TVisualDefaults::NewMemo(*item.Memo, item.Index, x, y, screenId, appId, m_owner.ProgramFolder());
        auto *control = m_owner.Binder()->CreateMemo(record, *screen, *memo);
        m_owner.Project()->AddItem(control);
        Placed(control);
    } else if (item.Kind == ListItemData::KindVariable && item.Variable) {
        TVQQVariableBaseItem *variable = m_owner.Lists()->FindVariable(app, item.Index);
        if (!variable)
            return;
        const TVisualVariableData record = TVisualDefaults::NewVariable(*item.Variable, item.Index, x, y, screenId, appId, m_owner.ProgramFolder());
        auto *control = m_owner.Binder()->CreateVariable(record, *screen, *variable);
        m_owner.Project()->AddItem(control);
        Placed(control);
    }
}

void TScreenEditor::CreateShortcut(TMyForm11 *screen)
{
    auto *control = m_owner.Binder()->CreateShortcut(TVisualDefaults::NewShortcut(screen->ScreenRecord().ScreenId, m_owner.ProgramFolder()), *screen);
    m_owner.Project()->AddItem(control);
    m_owner.Project()->SetModified();
    Placed(control);
}

void TScreenEditor::CreateCamera(TMyForm11 *screen)
{
    auto *control = m_owner.Binder()->CreateCamera(TVisualDefaults::NewCamera(screen->ScreenRecord().ScreenId), *screen);
    m_owner.Project()->AddItem(control);
    m_owner.Project()->SetModified();
    Placed(control);
}

void TScreenEditor::CreateGauge(TMyForm11 *screen)
{
    auto *control = m_owner.Binder()->CreateGauge(TVisualDefaults::NewGauge(screen->ScreenRecord().ScreenId, m_owner.ProgramFolder()), *screen);
    m_owner.Project()->AddItem(control);
    m_owner.Project()->SetModified();
    Placed(control);
}

void TScreenEditor::Placed(TProjectItemBase *control)
{
    if (control)
        m_owner.History()->Placed({control}, QStringLiteral("Add"));
}

void TScreenEditor::DeleteScreen(TMyForm11 *screen)
{
    // Every control of the screen goes with it: the user says so first.
    if (!m_owner.Dialogs()->Confirm(QStringLiteral("Do you want to remove this screen and every object on it ?"),
                                    QStringLiteral("delete")))
        return;
    // One step of the history: undone, the screen comes back with every control on it.
    m_owner.History()->DeleteScreen(screen->ScreenRecord().ScreenId);
}

void TScreenEditor::EditScreen(TMyForm11 *screen)
{
    const TNewVisualScreen before = screen->ScreenRecord();
    TForm7 dialog(screen->ScreenRecord(), m_owner.ProgramFolder(), m_owner.Dialogs(), &m_owner);
    // OK writes the record when every field can be taken; either way the window applies it,
    // which also puts back a window the user moved or resized.
    while (m_owner.Dialogs()->Exec(dialog) == QDialog::Accepted) {
        TNewVisualScreen edited = screen->ScreenRecord();
        if (dialog.WriteRecord(edited)) {
            screen->ScreenRecord() = edited;
            m_owner.Project()->SetModified();
            break;
        }
    }
    screen->ApplyRecord();
    m_owner.RefreshScreenList();
    m_owner.History()->ScreenEdited(before.ScreenId, before);
}
