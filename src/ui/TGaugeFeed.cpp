#include "TGaugeFeed.h"

#include "TProgramLists.h"
#include "TVQJaugeControl.h"

#include <algorithm>

namespace {

quint16 Held(quint32 value)
{
    return quint16(std::min<quint32>(value, 0xFFFF));
}

} // namespace

TGaugeFeed::TGaugeFeed(TProgramLists &lists)
    : QObject(&lists), m_lists(lists), m_reading(std::make_shared<TPowerReading>())
{
    m_reading->Maximum = Held(lists.PowerScaleMaximum());
    m_reading->Power = Held(lists.CurrentPower());
    connect(&lists, &TProgramLists::powerChanged, this, &TGaugeFeed::PowerChanged);
}

TGaugeFeed &TGaugeFeed::Of(TProgramLists &lists)
{
    if (auto *feed = lists.findChild<TGaugeFeed *>(QString(), Qt::FindDirectChildrenOnly))
        return *feed;
    return *new TGaugeFeed(lists);
}

void TGaugeFeed::Add(TVQJaugeControl *gauge)
{
    m_gauges.push_back(gauge);
    gauge->Follow(m_reading);
    connect(gauge, &QObject::destroyed, this, [this, gauge] { std::erase(m_gauges, gauge); });
}

void TGaugeFeed::PowerChanged()
{
    const TPowerReading before = *m_reading;
    m_reading->Maximum = Held(m_lists.PowerScaleMaximum());
    m_reading->Power = Held(m_lists.CurrentPower());
    // Without a maximum before and after, every needle stays at its record's own angle; with one,
    // all needles share the angle.
    const TPowerReading &after = *m_reading;
    if (before.Maximum == 0 && after.Maximum == 0)
        return;
    if (before.Maximum != 0 && after.Maximum != 0 && before.Power * 90 / before.Maximum == after.Power * 90 / after.Maximum)
        return;
    for (TVQJaugeControl *gauge : m_gauges)
        gauge->ReadingChanged(before);
}
