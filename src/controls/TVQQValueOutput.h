#pragma once

#include "TVQBaseControl.h"

// The icon faces of the dimmer, temperature sensor and 0-10 V controls: the picture of the first
// state with a text line that always ends with the value the module reports (a level in percent,
// a temperature, an input percentage). Their panels come with their own faces; the display type
// is kept and saved as it was read.
class TVQQValueOutput : public TVQBaseControl
{
    Q_OBJECT

public:
    enum class Value { DimmerLevel, Temperature, InputPercent };

    TVQQValueOutput(QWidget *parent, TVQQModuleBase *module, quint16 ioIndex, TVQControlHost *host, Value value);

    void RefreshComponentState() override;
    QString GetLabelText() override;
    int ComputeMaxWidth() override;
    // The value as shown: "45%", "21,5°C" ("?,?°C" until the first report), "55%".
    const QString &ValueText() const { return m_valueText; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void OnControlMouseDownChild(Qt::MouseButton button, QPoint at) override;

private:
    Value m_value;
    QString m_valueText;
};
