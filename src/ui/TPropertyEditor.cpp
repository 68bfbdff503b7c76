#include "TPropertyEditor.h"

#include "TAxisCamProperties.h"
#include "TControlProperties.h"
#include "TDialogs.h"
#include "TForm1.h"
#include "TJaugeProperties.h"
#include "TProgramLists.h"
#include "TMyForm11.h"
#include "TPicturePaths.h"
#include "TShortcutProperties.h"
#include "TVQRecordControl.h"

namespace {

using Layout = TControlProperties::Layout;

// Caption, pictures, "Type" entries and the information lines of each dialog.
Layout LayoutFor(PropertyLayout kind)
{
    Layout layout;
    layout.InfoCaptions[0] = QStringLiteral("Module");
    layout.InfoCaptions[1] = QStringLiteral("Name");
    switch (kind) {
    case PropertyLayout::Dimmer:
        layout.Caption = QStringLiteral("PropertiesDimmer");
        layout.Types = {{QStringLiteral("Icon view"), 1}, {QStringLiteral("Icon/dimmer view"), 3}, {QStringLiteral("dmmer view"), 2}};
        break;
    case PropertyLayout::Sensor:
        layout.Caption = QStringLiteral("PropertiesSensor");
        layout.InfoCaptions[1] = QStringLiteral("Sensor");
        layout.States = 1;
        layout.Types = {{QStringLiteral("Icon view"), 1}, {QStringLiteral("Sensor view"), 2}};
        layout.PanelPreview = true;
        break;
    case PropertyLayout::In10V:
        layout.Caption = QStringLiteral("In10Vproperties");
        layout.States = 1;
        layout.Types = {{QStringLiteral("Icon view"), 1}, {QStringLiteral("Big Number"), 2}, {QStringLiteral("Counter View"), 3}};
        break;
    case PropertyLayout::Memo:
        layout.Caption = QStringLiteral("PropertiesMemo");
        layout.ShowValue = false;
        layout.InfoCaptions[0] = QStringLiteral("Type memo");
        break;
    case PropertyLayout::Variable:
        layout.Caption = QStringLiteral("Variable Properties");
        layout.InfoCaptions[0] = QStringLiteral("Type Variable");
        break;
    default:
        layout.Caption = QStringLiteral("Form11 - Properties");
        break;
    }
    return layout;
}

} // namespace

bool TPropertyEditor::Edit(TVQControl *control)
{
    const PropertyLayout kind = control ? control->PropertyDialog() : PropertyLayout::None;
    if (kind == PropertyLayout::None)
        return false;
    if (kind == PropertyLayout::Shortcut)
        return EditShortcut(static_cast<TVQRecordControl<TVisualShortCut> &>(*control));
    if (kind == PropertyLayout::Camera)
        return EditCamera(static_cast<TVQRecordControl<TVisualAxisCamData> &>(*control));
    if (kind == PropertyLayout::Gauge)
        return EditGauge(static_cast<TVQRecordControl<TVisualJaugeData> &>(*control));

    Layout layout = LayoutFor(kind);
    const std::array<QString, 2> infos = control->PropertyInfos();
    layout.Infos[0] = infos[0];
    layout.Infos[1] = infos[1];
    TControlProperties dialog(layout, m_owner.Settings().ExportFolder, m_owner.Dialogs(), &m_owner);
    dialog.SetValues(control->pos(), control->Settings());
    int left = 0, top = 0;
    for (;;) {
        if (m_owner.Dialogs()->Exec(dialog) != QDialog::Accepted)
            return false;
        if (dialog.Check(left, top))
            break;
    }
    control->ApplySettings(dialog.Values());
    control->move(left, top);
    return true;
}

bool TPropertyEditor::EditShortcut(TVQRecordControl<TVisualShortCut> &shortcut)
{
    std::vector<std::pair<quint16, QString>> screens;
    for (TMyForm11 *window : m_owner.ScreenWindows())
        screens.emplace_back(window->ScreenRecord().ScreenId, TPicturePaths::FromRecord(window->ScreenRecord().Name));
    TShortcutProperties dialog(shortcut.CurrentRecord(), screens, m_owner.Settings().ExportFolder, m_owner.Dialogs(), &m_owner);
    for (;;) {
        if (m_owner.Dialogs()->Exec(dialog) != QDialog::Accepted)
            return false;
        TVisualShortCut edited = shortcut.CurrentRecord();
        if (dialog.WriteRecord(edited)) {
            shortcut.SetRecord(edited);
            return true;
        }
    }
}

namespace {

// Runs a record control's dialog, which checks its fields before it closes, and applies what it
// wrote into the record.
template <typename Record, typename Dialog>
bool RunRecordDialog(TDialogs &dialogs, Dialog &dialog, TVQRecordControl<Record> &control)
{
    if (dialogs.Exec(dialog) != QDialog::Accepted)
        return false;
    Record edited = control.CurrentRecord();
    if (!dialog.WriteRecord(edited))
        return false;
    control.SetRecord(edited);
    return true;
}

} // namespace

bool TPropertyEditor::EditCamera(TVQRecordControl<TVisualAxisCamData> &camera)
{
    TAxisCamProperties dialog(camera.CurrentRecord(), m_owner.Dialogs(), &m_owner);
    return RunRecordDialog(*m_owner.Dialogs(), dialog, camera);
}

bool TPropertyEditor::EditGauge(TVQRecordControl<TVisualJaugeData> &gauge)
{
    const TProgramLists *lists = m_owner.Lists();
    const auto clamp16 = [](quint32 value) { return quint16(std::min<quint32>(value, 0xFFFF)); };
    TJaugeProperties dialog(gauge.CurrentRecord(), clamp16(lists->CurrentPower()), clamp16(lists->PowerScaleMaximum()),
                            m_owner.Dialogs(), &m_owner);
    return RunRecordDialog(*m_owner.Dialogs(), dialog, gauge);
}
