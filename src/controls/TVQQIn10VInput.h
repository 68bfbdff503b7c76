#pragma once

#include "TVQBaseControl.h"

struct Param32Record;

// A 0-10 V analogue input. The module reports a percentage; with the IO's scaling entry the
// control shows the physical value (minimum and maximum in tenths of the unit, then the unit).
// Display type 1 is the picture with a text line, 2 large digits, 3 a dial with a needle.
class TVQQIn10VInput : public TVQBaseControl
{
    Q_OBJECT

public:
    TVQQIn10VInput(QWidget *parent, TVQQModuleBase *module, quint16 ioIndex, TVQControlHost *host);

    void SetDisplayType(quint8 type) override;
    bool SetParametreIO(const Param32Record *parameters) override;
    void RefreshComponentState() override;
    quint8 StateParts() const override { return PartInputs; }
    QString GetLabelText() override;
    int ComputeMaxWidth() override;
    void CheckSize() override;

    void SetInValue(quint8 value);
    quint8 InValue() const { return m_value; }
    // The value for a percentage p: "??" above 100, "p%" without a scaling entry, else the
    // scaled value rounded to hundredths in the locale's notation, with the unit when asked.
    QString GetValueString(int p, bool withUnit) const;
    // The text line: the label (when shown) and the value with its unit (when shown).
    QString GetText(int p) const;
    // Of the values 0 to 99 with their unit, the one drawn widest at that size: the same for
    // every input with the same range and unit, so measured once for all of them.
    QString WidestValue(int pointSize) const;
    QString UnitText() const;
    // The needle's end for a value: 0 lower left, 50 straight up, 100 lower right.
    static QPoint NeedleEnd(int value, int dx);

protected:
    void paintEvent(QPaintEvent *event) override;
    void OnControlMouseDownChild(Qt::MouseButton button, QPoint at) override;
    void OnControlMouseUpChild(Qt::MouseButton button, QPoint at) override;

private:
    void PaintCounter(QPainter &painter);

    const Param32Record *m_parameters = nullptr;
    const TVQPicture *m_dialImage;
    quint8 m_value = 0;
};
