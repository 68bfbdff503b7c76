#pragma once

#include <QObject>

#include <memory>
#include <vector>

class TProgramLists;
class TVQJaugeControl;
struct TPowerReading;

// Hands the installation's switched power to every gauge of a project through one reading they
// share: a change is written once, and the gauges hear of it only when it turns their needles (a
// refresh burst changes the power with every frame, a needle's angle far less often). Made with
// the project's lists and gone with them.
class TGaugeFeed : public QObject
{
    Q_OBJECT

public:
    // The feed of `lists`, made the first time it is asked for.
    static TGaugeFeed &Of(TProgramLists &lists);

    // `gauge` shows the reading from now on, until it is destroyed.
    void Add(TVQJaugeControl *gauge);
    const TPowerReading &Reading() const { return *m_reading; }

private:
    explicit TGaugeFeed(TProgramLists &lists);
    void PowerChanged();

    TProgramLists &m_lists;
    std::shared_ptr<TPowerReading> m_reading;
    std::vector<TVQJaugeControl *> m_gauges;
};
