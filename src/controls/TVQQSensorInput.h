#pragma once

#include "TVQBaseControl.h"

// A thermostat of a module: an icon face (the picture of the first state and the measured
// temperature) and a 260 x 130 panel drawn by the control with the temperature, the set point,
// plus and minus keys and the three regulation modes. Display type 2 shows the panel always;
// any other opens it on a click and closes it with its close box.
class TVQQSensorInput : public TVQBaseControl
{
    Q_OBJECT

public:
    enum Zone { NoZone = 0, Plus = 1, Minus = 2, Automatic = 3, Absence = 4, Comfort = 5, Close = 6 };

    TVQQSensorInput(QWidget *parent, TVQQModuleBase *module, quint16 ioIndex, TVQControlHost *host);

    void SetDisplayType(quint8 type) override;
    void RefreshComponentState() override;
    quint8 StateParts() const override { return PartTemperature; }
    QString GetLabelText() override;
    int ComputeMaxWidth() override;
    void CheckSize() override;

    int ViewMode() const { return m_viewMode; }
    int Mode() const { return m_mode; }
    const QString &TemperatureText() const { return m_temperatureText; }
    const QString &SetPointText() const { return m_setPointText; }
    // The label as the open panel shows it: elided before the close box (or the mode keys).
    QString PanelTitle() const;
    // The panel zone under (x, y).
    static Zone GetPush(int x, int y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void OnControlMouseDownChild(Qt::MouseButton button, QPoint at) override;
    void OnControlMouseUpChild(Qt::MouseButton button, QPoint at) override;

private:
    void SendZoneCommand(Zone zone);
    void SetViewMode(int mode);

    int m_viewMode = 0;
    int m_mode = 0;
    QString m_temperatureText;
    QString m_setPointText;
};
