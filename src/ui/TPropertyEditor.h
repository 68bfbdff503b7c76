#pragma once

#include <QString>

class QWidget;
class TDialogs;
class TForm1;
class TVQControl;
struct TVisualAxisCamData;
struct TVisualJaugeData;
struct TVisualShortCut;
template <typename Record>
class TVQRecordControl;

// Property editing: picks the dialog that fits a control, fills it from the control, and applies
// what the user confirmed.
class TPropertyEditor
{
public:
    // The main window outlives the editor: it owns it.
    explicit TPropertyEditor(TForm1 &owner) : m_owner(owner) {}

    // True when the user confirmed the dialog; false for Cancel and for a control without one.
    bool Edit(TVQControl *control);

private:
    bool EditShortcut(TVQRecordControl<TVisualShortCut> &shortcut);
    bool EditCamera(TVQRecordControl<TVisualAxisCamData> &camera);
    bool EditGauge(TVQRecordControl<TVisualJaugeData> &gauge);

    TForm1 &m_owner;
};
