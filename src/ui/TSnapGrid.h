#pragma once

#include <QPoint>

// The snap grid of moves and drops: on or off and its step, kept in the program's own settings
// (`editor.ini` of the user's configuration folder), never in a project or the program folder.
class TSnapGrid
{
public:
    static constexpr int SmallestStep = 2;
    static constexpr int LargestStep = 200;
    static constexpr int DefaultStep = 10;

    // Reads the stored setting.
    TSnapGrid();

    bool On() const { return m_on; }
    int Size() const { return m_size; }
    // The step in pixels, 0 when the grid is off.
    int Step() const { return m_on ? m_size : 0; }
    // Sets and stores the grid; the step is held to its range.
    void Set(bool on, int size);
    // `at` on the grid's nearest point when the grid is on, held to the coordinates a record keeps.
    QPoint Snapped(const QPoint &at) const;

private:
    bool m_on = false;
    int m_size = DefaultStep;
};
