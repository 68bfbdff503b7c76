#include "TVisualDefaults.h"

#include "InstallationRecords.h"
#include "TPicturePaths.h"

namespace {

struct PicturePair
{
    const char *on;   // nullptr: none
    const char *off;
};

// Default pictures of output controls by module type code and IO number.
PicturePair OutputPictures(quint16 type, quint16 io)
{
    switch (type) {
    case 1: return io <= 7 ? PicturePair{"NAX8_ON.ico", "NAX8_OFF.ico"} : PicturePair{nullptr, "NAX8_OFF.ico"};
    case 2: return io == 0 ? PicturePair{"B1 ON.ico", "B1 OFF.ico"} : PicturePair{"LED ON.ico", "LED OFF.ico"};
    case 3: return io <= 1 ? PicturePair{"B2 ON.ico", "B2 OFF.ico"} : PicturePair{"LED ON.ico", "LED OFF.ico"};
    case 4: return io <= 3 ? PicturePair{"B4 ON.ico", "B4 OFF.ico"} : PicturePair{"LED ON.ico", "LED OFF.ico"};
    case 5: return io <= 5 ? PicturePair{"B6 ON.ico", "B6 OFF.ico"} : PicturePair{"LED ON.ico", "LED OFF.ico"};
    case 6:
    case 40: return {"KOB ON.ico", "KOB OFF.ico"};
    case 7: return {"ZUL UP.ico", "ZUL DOWN.ico"};
    case 8: return {"WEM ON.ico", "WEM OFF.ico"};
    case 9:
    case 36: return {"DIM ON.ico", "DIM OFF.ico"};
    case 10: return {"T1.ico", "QUELNOR.ico"};
    case 11: return {"T2.ico", "QUELNOR.ico"};
    case 12: return {"LCD ON.ico", "LCD OFF.ico"};
    case 14: return {"LED ON.ico", "LED OFF.ico"};
    case 15: return io <= 3 ? PicturePair{"NAX4 ON.ico", "NAX4 OFF.ico"} : PicturePair{nullptr, "NAX4 OFF.ico"};
    case 17: return {"TTouch.ico", "TTouch.ico"};
    case 24: return {"DETECT ON.ico", "DETECT OFF.ico"};
    case 30: return {"ZULBT UP.ico", "ZULBT DOWN.ico"};
    case 33:
        if (io <= 5)
            return {"LCD3 ON.ico", "LCD3 OFF.ico"};
        if (io == 6)
            return {"LCD3 Temp.ico", "LCD3 Temp.ico"};
        return {"LCD3 OUT ON.ico", "LCD3 OUT OFF.ico"};
    case 38: return io == 6 ? PicturePair{"PBLCD TEMP.ico", "PBLCD TEMP.ico"} : PicturePair{nullptr, nullptr};
    default: return {"QUELNOR.ico", "QUELNOR.ico"};
    }
}

QString Picture(const QString &programFolder, const char *file)
{
    return TPicturePaths::DefaultImage(programFolder, file ? QString::fromLatin1(file) : QString());
}

} // namespace

ControlClass TVisualDefaults::ControlClassFor(quint16 type, quint16 io)
{
    switch (type) {
    case 1:
    case 12:
    case 15:
    case 24: return ControlClass::TorInput;
    case 2: return io == 0 ? ControlClass::TorInput : io == 1 ? ControlClass::TorOutput : ControlClass::None;
    case 3: return io <= 1 ? ControlClass::TorInput : io <= 3 ? ControlClass::TorOutput : ControlClass::None;
    case 4: return io <= 3 ? ControlClass::TorInput : io <= 7 ? ControlClass::TorOutput : ControlClass::None;
    case 5: return io <= 5 ? ControlClass::TorInput : io <= 11 ? ControlClass::TorOutput : ControlClass::None;
    case 6:
    case 8:
    case 14:
    case 40: return ControlClass::TorOutput;
    case 7:
    case 30: return ControlClass::ZulOutput;
    case 9:
    case 36: return ControlClass::DimOutput;
    case 10:
    case 11: return ControlClass::SensorInput;
    case 17:
    case 50:
    case 55: return io == 4 ? ControlClass::SensorInput : ControlClass::None;
    case 31: return ControlClass::In10VInput;
    case 33:
        if (io <= 4)
            return ControlClass::TorInput;
        if (io == 6)
            return ControlClass::SensorInput;
        if (io >= 7 && io <= 11)
            return ControlClass::TorOutput;
        return ControlClass::None;
    case 38: return io == 6 ? ControlClass::SensorInput : ControlClass::None;
    default: return ControlClass::None;
    }
}

QString TVisualDefaults::OutputOnPicture(const QString &programFolder, quint16 moduleType, quint16 ioNumber)
{
    return Picture(programFolder, OutputPictures(moduleType, ioNumber).on);
}

QString TVisualDefaults::OutputOffPicture(const QString &programFolder, quint16 moduleType, quint16 ioNumber)
{
    return Picture(programFolder, OutputPictures(moduleType, ioNumber).off);
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
    TVisualMemoData r;
    r.MemoNumber = memoNumber;
    r.Left = x;
    r.Top = y;
    r.MemoNumberCopy = memoNumber;
    r.ScreenId = screenId;
    r.ApplicationId = applicationId;
    r.OnPicture = TPicturePaths::ToRecord(MemoPicture(programFolder, true, memo.MemoKind));
    r.OffPicture = TPicturePaths::ToRecord(MemoPicture(programFolder, false, memo.MemoKind));
    r.Label = memo.Name;
    return r;
}

TVisualVariableData TVisualDefaults::NewVariable(const VariableRecord &variable, quint16 variableNumber, quint16 x,
                                                 quint16 y, quint16 screenId, quint8 applicationId,
                                                 const QString &programFolder)
{
    TVisualVariableData r;
    r.VariableNumber = variableNumber;
    r.Left = x;
    r.Top = y;
    r.ScreenId = screenId;
    r.ApplicationId = applicationId;
    r.OnPicture = TPicturePaths::ToRecord(VariablePicture(programFolder, true, variable.VariableKind));
    r.OffPicture = TPicturePaths::ToRecord(VariablePicture(programFolder, false, variable.VariableKind));
    r.Label = variable.Name;
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
