#include "TVisualDefaults.h"

#include "InstallationRecords.h"
#include "TModuleTypes.h"
#include "TPicturePaths.h"

namespace {

QString Picture(const QString &programFolder, const char *file)
{
    return TPicturePaths::DefaultImage(programFolder, file ? QString::fromLatin1(file) : QString());
}

// The fields memo and variable records share, for an item dropped at (x, y).
template <typename Record>
Record NewItemRecord(const QByteArray &name, quint16 x, quint16 y, quint16 screenId, quint8 applicationId,
                     const QString &onPicture, const QString &offPicture)
{
    Record r;
    r.Left = x;
    r.Top = y;
    r.ScreenId = screenId;
    r.ApplicationId = applicationId;
    r.OnPicture = TPicturePaths::ToRecord(onPicture);
    r.OffPicture = TPicturePaths::ToRecord(offPicture);
    r.Label = name;
    return r;
}

} // namespace

QString TVisualDefaults::OutputOnPicture(const QString &programFolder, quint16 moduleType, quint16 ioNumber)
{
    return Picture(programFolder, TModuleTypes::Channel(moduleType, ioNumber).OnPicture);
}

QString TVisualDefaults::OutputOffPicture(const QString &programFolder, quint16 moduleType, quint16 ioNumber)
{
    return Picture(programFolder, TModuleTypes::Channel(moduleType, ioNumber).OffPicture);
}

QString TVisualDefaults::MemoPicture(const QString &programFolder, bool on, quint8 memoKind)
{
    switch (memoKind) {
    case 0: return Picture(programFolder, on ? "Memo ON.ico" : "Memo OFF.ico");
    case 1: return Picture(programFolder, on ? "MemoZULON.ico" : "MemoZULOFF.ico");
    case 2: return Picture(programFolder, on ? "MemoDIMON.ico" : "MemoDIMOFF.ico");
    default: return ProgramIcon(programFolder);
    }
}

QString TVisualDefaults::VariablePicture(const QString &programFolder, bool on, quint8 variableKind)
{
    if (variableKind > 1)
        return ProgramIcon(programFolder);
    return Picture(programFolder, on ? "FlagON.ico" : "FlagOff.ico");
}

QString TVisualDefaults::ProgramIcon(const QString &programFolder)
{
    return Picture(programFolder, "QUELNOR.ico");
}

QString TVisualDefaults::ScreenBackground(const QString &programFolder)
{
    return Picture(programFolder, "wall_800x600.bmp");
}

TNewVisualScreen TVisualDefaults::NewScreen(quint16 screenId, const QString &programFolder)
{
    TNewVisualScreen r;
    r.ScreenId = screenId;
    r.Name = "Screen #" + QByteArray::number(screenId);
    r.Picture = TPicturePaths::ToRecord(ScreenBackground(programFolder));
    return r;
}

TNewVisualOutput TVisualDefaults::NewOutput(const IoRecord &io, const ModuleRecord &module, quint16 x, quint16 y,
                                            quint16 screenId, quint8 applicationId, const QString &programFolder)
{
    TNewVisualOutput r;
    r.Left = x;
    r.Top = y;
    r.ModuleNumber = io.ModuleNumber;
    r.IoNumber = io.Channel;
    r.ScreenId = screenId;
    r.ApplicationId = applicationId;
    r.OnPicture = TPicturePaths::ToRecord(OutputOnPicture(programFolder, module.ModuleType, io.Channel));
    r.OffPicture = TPicturePaths::ToRecord(OutputOffPicture(programFolder, module.ModuleType, io.Channel));
    r.Label = io.Name;
    return r;
}

TVisualMemoData TVisualDefaults::NewMemo(const MemoRecord &memo, quint16 memoNumber, quint16 x, quint16 y,
                                         quint16 screenId, quint8 applicationId, const QString &programFolder)
{
    TVisualMemoData r = NewItemRecord<TVisualMemoData>(memo.Name, x, y, screenId, applicationId,
                                                       MemoPicture(programFolder, true, memo.MemoKind),
                                                       MemoPicture(programFolder, false, memo.MemoKind));
    r.MemoNumber = memoNumber;
    r.MemoNumberCopy = memoNumber;
    return r;
}

TVisualVariableData TVisualDefaults::NewVariable(const VariableRecord &variable, quint16 variableNumber, quint16 x,
                                                 quint16 y, quint16 screenId, quint8 applicationId,
                                                 const QString &programFolder)
{
    TVisualVariableData r = NewItemRecord<TVisualVariableData>(variable.Name, x, y, screenId, applicationId,
                                                               VariablePicture(programFolder, true, variable.VariableKind),
                                                               VariablePicture(programFolder, false, variable.VariableKind));
    r.VariableNumber = variableNumber;
    return r;
}

TVisualShortCut TVisualDefaults::NewShortcut(quint16 screenId, const QString &programFolder)
{
    TVisualShortCut r;
    r.ScreenId = screenId;
    r.Picture = TPicturePaths::ToRecord(ProgramIcon(programFolder));
    r.Label = "Shortcut";
    return r;
}

TVisualJaugeData TVisualDefaults::NewGauge(quint16 screenId, const QString &programFolder)
{
    TVisualJaugeData r;
    r.ScreenId = screenId;
    r.Picture = TPicturePaths::ToRecord(ProgramIcon(programFolder));
    r.Label = "Gauge";
    return r;
}

TVisualAxisCamData TVisualDefaults::NewCamera(quint16 screenId)
{
    TVisualAxisCamData r;
    r.ScreenId = screenId;
    r.CameraName = "Cam: ";
    return r;
}
