#pragma once

#include <QPointF>
#include <QString>

#include <vector>

// One numeric series of the history: a channel's measure (a relay's output, a thermostat's
// temperature or set point, a dimmer's level…), a variable's value or the power total.
struct THistorySeriesKey
{
    QString Kind;        // state, variable, power
    QString Serial;      // the module's serial in hex; empty for a variable or the power
    int Channel = -1;    // the channel or the variable's number; -1 for the power
    QString What;        // output, input, level, temperature, set point, mode, 0-10 V, value, power
    QString Name;        // as the rows name it (not part of the identity)

    bool SameSeries(const THistorySeriesKey &other) const
    {
        return Kind == other.Kind && Serial == other.Serial && Channel == other.Channel && What == other.What;
    }
    // Values that hold until the next one and are drawn as steps: on/off, a cover's move, a mode.
    bool Steps() const;
    QString Label() const;
};

struct THistoryPoint
{
    qint64 Time = 0;
    double Value = 0;
    bool operator==(const THistoryPoint &) const = default;
};

// A stretch of time with no reports (the link lost, closed or not yet up): the plot breaks there.
struct THistorySpan
{
    qint64 From = 0;
    qint64 To = 0;
    bool operator==(const THistorySpan &) const = default;
};

// The lines of one series over [since, until]: `points` oldest first (one before `since` carries
// its value in), broken at the gaps, each value held until the next one or the end of its
// stretch (`until`, or `now` if sooner), reduced to the first, lowest, highest and last value of
// each of `pixels` columns (so a year plots at once), as steps when `steps`. x is the time in
// milliseconds since the epoch.
std::vector<std::vector<QPointF>> PlotLines(const std::vector<THistoryPoint> &points, const std::vector<THistorySpan> &gaps, qint64 since,
                                            qint64 until, qint64 now, int pixels, bool steps);

// The health rows of one installation's links and its project rows, oldest first, as the spans
// with no reports: from a link lost, closed or opening, or the project closed, to the next "Up".
struct THistoryRow;
std::vector<THistorySpan> GapsOf(const std::vector<THistoryRow> &linkRows, qint64 until);
