#pragma once

#include "THistorySeries.h"

#include <QChartView>
#include <QWidget>

#include <memory>
#include <vector>

class QComboBox;
class QDateTimeAxis;
class QValueAxis;
class TDataFileManager;
class THistoryStore;
class TProjectSession;

// The chart of the plot window: a rubber band zooms on time, the wheel zooms about the pointer,
// a drag with the middle button (or with Shift) pans, the arrow keys pan, + and - zoom, Home goes
// back to the range chosen. Says when the time shown changed, so that the window reads the
// series again at the new scale.
class THistoryChartView : public QChartView
{
    Q_OBJECT

public:
    explicit THistoryChartView(QWidget *parent);
    // Zooms the time shown by `factor` (below 1: closer) about the time at x, or pans by `shift`
    // of its width.
    void Zoom(double factor, double x);
    void Pan(double shift);

signals:
    void homeRequested();

protected:
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_panning = false;
    QPointF m_panFrom;
};

// "History plot": series of one installation's history on one time axis: numbers as lines,
// on/off as steps, each drawn from the lowest and highest value of each pixel column so that a
// year plots at once, broken where the link was lost. Series are added from the list of those
// recorded, from the logbook (double-click) or from a control's "History…" in run time; the
// series shown are exported to CSV.
class THistoryPlot : public QWidget
{
    Q_OBJECT

public:
    THistoryPlot(TProjectSession &session, const QString &folder, QWidget *parent = nullptr);
    ~THistoryPlot() override;

    // Shows `keys` of `application`'s history over [since, until), in place of what was shown.
    void ShowSeries(TDataFileManager *application, const std::vector<THistorySeriesKey> &keys, qint64 since, qint64 until);
    void AddSeries(const THistorySeriesKey &key);
    // Reads the series again for the time shown and the chart's width.
    void Reload();
    // The time shown.
    qint64 Since() const { return m_since; }
    qint64 Until() const { return m_until; }
    const std::vector<THistorySeriesKey> &Keys() const { return m_keys; }
    // The points drawn of each series, in the chart's series order (tests, the benchmark).
    int PointsDrawn() const;
    // The pieces of line of the series `index` (one more for each gap).
    int LinesOf(int index) const;

    QComboBox *m_application = nullptr;
    QComboBox *m_range = nullptr;
    QComboBox *m_available = nullptr;
    THistoryChartView *m_view = nullptr;

private:
    void SetApplication(int index);
    void FillAvailable();
    void RangeChosen();
    void Export();
    void AxisMoved();
    QString DatabaseOf(TDataFileManager *application) const;

    TProjectSession &m_session;
    QString m_folder;
    std::unique_ptr<THistoryStore> m_store;
    TDataFileManager *m_current = nullptr;
    std::vector<THistorySeriesKey> m_keys;
    std::vector<THistorySeriesKey> m_availableKeys;
    std::vector<int> m_lines;
    qint64 m_since = 0;
    qint64 m_until = 0;
    QDateTimeAxis *m_time = nullptr;
    QValueAxis *m_values = nullptr;
    bool m_reloading = false;
};
