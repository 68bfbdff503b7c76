#pragma once

#include "TBoundControl.h"
#include "TModuleTypes.h"
#include "TProjectBinder.h"

#include <QPoint>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>

class QMenu;
class TVQControlHost;

// What the common property dialog edits.
struct TControlSettings
{
    QString Label;
    QString Pictures[2];        // the On and the Off picture
    bool Transparent[2] = {false, false};
    bool ReadOnly = false;
    bool ShowLabel = true;
    bool ShowValue = false;
    quint8 DisplayType = 0;
};

// What every control placed on a screen shares: the project-wide mode, moving with the mouse in
// design time, the two-entry menu with its delete question, and the changed flag that a save
// clears. A family supplies what a click does outside design time and when its record is valid.
class TVQControl : public QWidget, public TBoundControl, public virtual TProjectItemBase
{
    Q_OBJECT

public:
    // The texts of a family's menu; the object names let tests find the entries.
    struct MenuTexts
    {
        QString Properties;
        QString PropertiesName;
        QString DeleteName;
        QString DeleteQuestion;
    };

    // The texts of the memos', variables', shortcuts', gauges' and cameras' menus.
    static const MenuTexts &ItemTexts();

    // `host` may be null (no menu answers then); it must outlive the control. `texts` are kept by
    // address: each family's are one static set shared by all its controls.
    TVQControl(QWidget *parent, TVQControlHost *host, const MenuTexts &texts, RunMode initial = RunMode::NotSet);

    // The mode of the whole project; ignored while the record is not valid.
    void SetRunTimeMode(RunMode mode) override;
    RunMode ControlMode() const override { return m_mode; }
    // Design time, or no mode yet.
    bool InDesign() const { return m_mode != RunMode::RunTime && m_mode != RunMode::Test; }

    // How far the state shown can be trusted: in run time what the model says, else fresh.
    StateTrust Trust() const { return m_mode == RunMode::RunTime ? StateTrustNow() : StateTrust::Fresh; }
    void RefreshTrust() override;
    // In run time, the link the control's state comes from is lost: clicks send nothing.
    bool LinkLost() const;
    // The opacity of the control's picture: unknown and stale states are drawn dimmed.
    qreal FaceOpacity() const { return Trust() == StateTrust::Fresh ? 1.0 : DimmedOpacity; }
    static constexpr qreal DimmedOpacity = 0.35;

    bool IsChanged() const override { return m_changed; }
    void ClearChanged() override { m_changed = false; }
    void MarkChanged() { m_changed = true; }
    QMenu *ContextMenu();
    // Entries other parts of the program put in a control's menu in run time (the history's
    // "History…"); an entry goes when its owner does. Without any entry a right click does nothing.
    using RunTimeMenuEntry = std::function<void(TVQControl &control, QMenu &menu)>;
    static void AddRunTimeMenuEntry(QObject *owner, RunTimeMenuEntry entry);

    // The menu's handlers; both do nothing outside design time.
    void DisplayProperties();
    void DisplayDelete();
    // Leaves the project and its model item, and goes (once the event loop comes back).
    void Discard();
    bool Discarded() const { return m_discarded; }
    const QString &DeleteQuestion() const { return m_texts->DeleteQuestion; }

    // Size from the picture and the text.
    virtual void CheckSize() = 0;
    // CheckSize now, or once when the last hold ends. A control that is not shown (its screen
    // hidden) is measured when it is shown: shaping the label of every control of every screen
    // at open costs more than making their widgets.
    void Resize();
    // A size put off until the control is shown, taken now (for what reads the geometry of a
    // control that is not shown).
    void EnsureSized();
    // Holds the sizing while a record or several settings are applied, so that the control is
    // measured once, when the hold ends.
    class SizeHold
    {
    public:
        explicit SizeHold(TVQControl &control) : m_control(control) { ++m_control.m_sizeHolds; }
        ~SizeHold()
        {
            if (--m_control.m_sizeHolds == 0 && m_control.m_sizePending) {
                m_control.m_sizePending = false;
                m_control.Resize();
            }
        }
        SizeHold(const SizeHold &) = delete;
        SizeHold &operator=(const SizeHold &) = delete;

    private:
        TVQControl &m_control;
    };

    // The property dialog the control opens, the two lines saying what it stands for, and the
    // settings the common dialog edits.
    virtual PropertyLayout PropertyDialog() const { return PropertyLayout::None; }
    virtual std::array<QString, 2> PropertyInfos() const { return {}; }
    virtual TControlSettings Settings() const { return {}; }
    virtual void ApplySettings(const TControlSettings &) {}

protected:
    virtual bool IsValidRecord() const = 0;
    // The trust of the state from the model object the control follows.
    virtual StateTrust StateTrustNow() const { return StateTrust::Fresh; }
    // A click in run time while the link is lost: says so at the pointer, sends nothing.
    void RefuseClick(QPoint globalPosition);
    // A press, a move and a release outside design time (a right press only opens the menu).
    virtual void ClickPress(Qt::MouseButton, QPoint) {}
    virtual void ClickMove(QPoint) {}
    virtual void ClickRelease(Qt::MouseButton, QPoint) {}
    // The control has left the project and is about to go: it leaves its model item.
    virtual void Removed() {}

    TVQControlHost *Host() const { return m_host; }

    // The setters' common step: a value that changes resizes and repaints the control.
    template <typename T>
    void ChangeAndResize(T &member, const T &value)
    {
        if (member == value)
            return;
        member = value;
        Resize();
        update();
    }

    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    TVQControlHost *m_host = nullptr;
    const MenuTexts *m_texts;
    QMenu *m_menu = nullptr;
    RunMode m_mode = RunMode::NotSet;
    StateTrust m_trust = StateTrust::Fresh;  // as last painted
    bool m_dragging = false;
    QString m_refusal;      // a refused press, said next to the pointer at its release
    QPoint m_refusalAt;
    bool m_changed = false;
    QPoint m_dragOrigin;
    QPoint m_dragStart;  // where the control stood when the drag began
    int m_sizeHolds = 0;
    bool m_sizePending = false;
    bool m_discarded = false;
};
