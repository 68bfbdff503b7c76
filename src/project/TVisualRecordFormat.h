#pragma once

#include "VisualRecords.h"

#include <QByteArrayView>

#include <optional>

// The record lines of the screen and control sections: a reader per record for every version
// its section accepts (nothing for the others) and a writer of the version written.
class TVisualRecordFormat
{
public:
    static std::optional<TNewVisualScreen> ReadScreen(QByteArrayView line, int version);       // 3
    static std::optional<TNewVisualOutput> ReadOutput(QByteArrayView line, int version);       // 2, 3
    static std::optional<TVisualShortCut> ReadShortCut(QByteArrayView line, int version);      // 1, 2
    static std::optional<TVisualMemoData> ReadMemo(QByteArrayView line, int version);          // 1
    static std::optional<TVisualVariableData> ReadVariable(QByteArrayView line, int version);  // 1
    static std::optional<TVisualAxisCamData> ReadCamera(QByteArrayView line, int version);     // 1
    static TVisualJaugeData ReadGauge(QByteArrayView line);                                    // any

    // One line each, CR LF included.
    static QByteArray WriteScreen(const TNewVisualScreen &r);
    static QByteArray WriteOutput(const TNewVisualOutput &r);
    static QByteArray WriteShortCut(const TVisualShortCut &r);
    static QByteArray WriteMemo(const TVisualMemoData &r);
    static QByteArray WriteVariable(const TVisualVariableData &r);
    static QByteArray WriteCamera(const TVisualAxisCamData &r);
    static QByteArray WriteGauge(const TVisualJaugeData &r);

    // The version of a section's version line: the two digits after "*[", else 0.
    static int SectionVersion(QByteArrayView line);
};
