#pragma once

#include "VisualRecords.h"

#include <QString>

struct IoRecord;
struct MemoRecord;
struct ModuleRecord;
struct VariableRecord;

// The default pictures, and the records of new screens and controls.
class TVisualDefaults
{
public:
    // Default pictures, full paths under "<program folder>/Default Images". A default of "none"
    // is the folder path alone.
    static QString OutputOnPicture(const QString &programFolder, quint16 moduleType, quint16 ioNumber);
    static QString OutputOffPicture(const QString &programFolder, quint16 moduleType, quint16 ioNumber);
    static QString MemoPicture(const QString &programFolder, bool on, quint8 memoKind);
    static QString VariablePicture(const QString &programFolder, bool on, quint8 variableKind);
    static QString ProgramIcon(const QString &programFolder);        // "QUELNOR.ico"
    static QString ScreenBackground(const QString &programFolder);   // "wall_800x600.bmp"

    // A new screen with this id ("Screen #" and the id).
    static TNewVisualScreen NewScreen(quint16 screenId, const QString &programFolder);
    // Records of an item dropped at (x, y) on a screen.
    static TNewVisualOutput NewOutput(const IoRecord &io, const ModuleRecord &module, quint16 x, quint16 y,
                                      quint16 screenId, quint8 applicationId, const QString &programFolder);
    static TVisualMemoData NewMemo(const MemoRecord &memo, quint16 memoNumber, quint16 x, quint16 y,
                                   quint16 screenId, quint8 applicationId, const QString &programFolder);
    static TVisualVariableData NewVariable(const VariableRecord &variable, quint16 variableNumber, quint16 x, quint16 y,
                                           quint16 screenId, quint8 applicationId, const QString &programFolder);
    // Records of the screen menu's "Create shortcut", "Create Gauge" and "Add Axis cam".
    static TVisualShortCut NewShortcut(quint16 screenId, const QString &programFolder);
    static TVisualJaugeData NewGauge(quint16 screenId, const QString &programFolder);
    static TVisualAxisCamData NewCamera(quint16 screenId);
};
