#pragma once

#include "TVQRecordControl.h"

#include <QImage>

// The power gauge: a dial picture, the unit "kw" and a needle turned from 0 degrees (no power)
// to 90 degrees (the maximum) about the dial's pivot. It follows the switched power of the
// installation and sends nothing.
class TVQJaugeControl : public TVQRecordControl<TVisualJaugeData>
{
public:
    TVQJaugeControl(QWidget *parent, const TVisualJaugeData &record, TVQControlHost *host);

    void SetPower(quint16 power);
    void SetMaximum(quint16 maximum);
    quint16 Power() const { return m_power; }
    // The needle's angle in degrees: power x 90 / maximum, 0 without a maximum.
    int Angle() const;

    // The needle picture turned clockwise by `degrees`; the needle rests pointing right.
    static QImage RotateNeedle(const QImage &needle, int degrees);
    // Where the turned needle is drawn, so that it turns about the dial's pivot.
    static QPoint NeedlePosition(int degrees, int rotatedHeight);

    void CheckSize() override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const TVQPicture *Dial() const;
    const TVQPicture *Needle() const;
    const QImage &TurnedNeedle(int angle) const;
    // Repaints where the needle was at `before` and where it stands now, if it moved.
    void NeedleMoved(int before);

    quint16 m_power = 0;
    quint16 m_maximum = 0;
    QSize m_needleSize;  // the needle picture's, once painted
    QRect m_toRepaint;   // where the needle has been since the last paint
};
