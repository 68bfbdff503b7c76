#include "TSnapGrid.h"

#include "EditorSettings.h"
#include "VisualRecords.h"

#include <QSettings>

#include <algorithm>
#include <cmath>

TSnapGrid::TSnapGrid()
{
    const QSettings settings(EditorSettingsFile(), QSettings::IniFormat);
    m_on = settings.value(QStringLiteral("grid/on"), false).toBool();
    m_size = std::clamp(settings.value(QStringLiteral("grid/size"), DefaultStep).toInt(), SmallestStep, LargestStep);
}

void TSnapGrid::Set(bool on, int size)
{
    m_on = on;
    m_size = std::clamp(size, SmallestStep, LargestStep);
    QSettings settings(EditorSettingsFile(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("grid/on"), m_on);
    settings.setValue(QStringLiteral("grid/size"), m_size);
}

QPoint TSnapGrid::Snapped(const QPoint &at) const
{
    const int step = Step();
    if (step <= 0)
        return at;
    const auto snap = [step](int v) { return std::clamp(int(std::lround(double(v) / step)) * step, 0, MaxCoordinate); };
    return QPoint(snap(at.x()), snap(at.y()));
}
