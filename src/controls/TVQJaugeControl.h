#pragma once

#include "TVQRecordControl.h"

#include <QImage>

#include <memory>

// The switched power and the scale's maximum a gauge shows, held to 16 bits. One reading is
// shared by every gauge of a project (see TGaugeFeed), so that a change is written once.
struct TPowerReading
{
    quint16 Maximum = 0;
    quint16 Power = 0;
};

// The power gauge: a dial picture, the unit "kw" and a needle turned from 0 degrees (no power)
// to 90 degrees (the maximum) about the dial's pivot. It follows the switched power of the
// installation and sends nothing.
class TVQJaugeControl : public TVQRecordControl<TVisualJaugeData>
{
public:
    TVQJaugeControl(QWidget *parent, const TVisualJaugeData &record, TVQControlHost *host);

    // A gauge of its own (tests, previews): sets its reading and moves its needle.
    void SetPower(quint16 power);
    void SetMaximum(quint16 maximum);
    // Shows `reading` from now on, written by its owner, who calls ReadingChanged after each
    // change that moves the needles.
    void Follow(std::shared_ptr<const TPowerReading> reading);
    void ReadingChanged(const TPowerReading &before);
    quint16 Power() const { return Reading().Power; }
    // The needle's angle in degrees: power x 90 / maximum, the record's own without a maximum.
    int Angle() const { return AngleOf(Reading()); }
    int AngleOf(const TPowerReading &reading) const;

    // The needle picture turned clockwise by `degrees`; the needle rests pointing right.
    static QImage RotateNeedle(const QImage &needle, int degrees);
    // Where the turned needle is drawn, so that it turns about the dial's pivot.
    static QPoint NeedlePosition(int degrees, int rotatedHeight);
    // Where the turned needle of a picture of `needle`'s size covers the gauge at `angle`.
    static QRect NeedlePlace(QSize needle, int angle);

    void CheckSize() override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const TVQPicture *Dial() const;
    const TVQPicture *Needle() const;
    const QImage &TurnedNeedle(int angle) const;
    // Repaints where the needle was at `before` and where it stands now, if it moved.
    void NeedleMoved(int before);

    const TPowerReading &Reading() const { return m_reading ? *m_reading : m_own; }

    TPowerReading m_own;
    std::shared_ptr<const TPowerReading> m_reading;  // the project's, when it follows one
    QSize m_needleSize;  // the needle picture's, once painted
    QRect m_toRepaint;   // where the needle has been since the last paint
};
