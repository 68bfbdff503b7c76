#pragma once

#include "ListItemData.h"
#include "TScreenArea.h"
#include "TScreenMenu.h"
#include "TProjectBinder.h"
#include "TProjectManager.h"
#include "TVQControlHost.h"
#include "VisualRecords.h"

#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

class QLabel;
class QRubberBand;
class TSelection;
class QMenu;
class QTimer;
class TLinkBanner;
class TDeferredItemBase;
class TForm1;

// A working screen: a top-level window showing the screen's background with its controls, and
// the right-click menu that drives design time, run time and test for the whole project.
class TMyForm11 : public QWidget, public TProjectScreen, public TVQControlHost
{
    Q_OBJECT

public:
    TMyForm11(TForm1 *owner, const TNewVisualScreen &record);
    ~TMyForm11() override;

    TNewVisualScreen &ScreenRecord() override { return m_record; }
    // Position, size, caption, background (a missing picture replaced by the default with a
    // message), stretch, border and window state from the record.
    void ApplyRecord();

    TScreenArea *Area() const { return m_area; }
    QMenu *Menu() const;
    using MenuEntry = TScreenMenu::Entry;
    QAction *Action(MenuEntry entry) const;
    // Checks and enabling of the menu entries for the program-wide mode.
    void PrepareMenu();
    // In run time, one line across the top for each application of the screen's controls whose
    // link is lost; hidden when there is none.
    void UpdateLinkBanner();
    QLabel *LinkBanner() const;

    // TVQControlHost
    bool ConfirmDelete(const QString &text) override;
    void DeleteRequested(TVQControl *control) override;
    void ControlMoved(TVQControl *control, const QPoint &from) override;
    bool ControlPressed(TVQControl *control, Qt::KeyboardModifiers modifiers) override;
    void ControlDragged(TVQControl *control, const QPoint &delta) override;
    void ControlClicked(TVQControl *control) override;

    // The controls selected in design time.
    TSelection *Selection() const { return m_selection; }
    // The project changed mode: a selection only lives in design time.
    void ModeChanged();
    // The selection's commands behind the keys.
    void DeleteSelection();
    void Copy();
    void Paste(std::vector<TVisualRecord> &records);
    bool EditProperties(TVQControl *control) override;
    void ControlRemoved(TProjectItemBase *item) override;
    // The refusal shows under the banner's lines for three seconds.
    void ClickRefused(const QString &text) override;

    // Until the screen first shows, its controls are kept as their records: a project of many
    // screens holds only the controls of those seen. ControlsMade() once they are made.
    bool ControlsMade() const { return m_controlsMade; }
    // How many of its controls the screen cannot show, made or kept.
    int ControlsNotShown() const
    {
        return m_controlsMade ? m_area->NotShown() : std::max(0, int(m_deferred.size()) - TScreenArea::MaxShownControls);
    }
    void Defer(TDeferredItemBase *item) { m_deferred.push_back(item); }
    void Undefer(TDeferredItemBase *item) { std::erase(m_deferred, item); }
    // The records kept, in the order they came; from then on controls are made at once.
    std::vector<TDeferredItemBase *> TakeDeferred()
    {
        m_controlsMade = true;
        return std::exchange(m_deferred, {});
    }
    // The screen closed: its controls are kept as records again (listed by Defer as they were
    // made), with these after them, until it shows.
    void KeepAgain(const std::vector<TDeferredItemBase *> &items)
    {
        m_controlsMade = false;
        m_deferred.insert(m_deferred.end(), items.begin(), items.end());
    }

protected:
    void resizeEvent(QResizeEvent *event) override;
    // The picture over the whole window, or in its middle on a wall panel.
    void PlaceArea();
    void setVisible(bool visible) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *object, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool m_keysGiven = false;
    bool m_controlsMade = false;
    std::vector<TDeferredItemBase *> m_deferred;
    // The record's background cannot be used: the default one, with a word to the user.
    void ResetPicture(const QString &file);

    TForm1 *m_owner = nullptr;
    TNewVisualScreen m_record;
    TScreenArea *m_area = nullptr;
    mutable std::unique_ptr<TScreenMenu> m_menu;
    TSelection *m_selection = nullptr;
    QRubberBand *m_band = nullptr;
    QPoint m_bandOrigin;
    TLinkBanner *m_linkBanner = nullptr;
};
