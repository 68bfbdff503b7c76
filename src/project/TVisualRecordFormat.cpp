#include "TVisualRecordFormat.h"

#include "TFieldReader.h"
#include "TFieldWriter.h"

int TVisualRecordFormat::SectionVersion(QByteArrayView line)
{
    return line.startsWith("*[") ? int(TFieldReader::ParseHex(line.sliced(2), 2)) : 0;
}

std::optional<TNewVisualScreen> TVisualRecordFormat::ReadScreen(QByteArrayView line, int version)
{
    if (version != 3)
        return std::nullopt;
    TFieldReader f(line);
    TNewVisualScreen r;
    r.Valid = f.Byte();
    r.WindowState = f.Byte();
    r.Reserved3 = f.Byte();
    r.Border = f.Byte();
    r.Stretch = f.Byte();
    r.Proportional = f.Byte();
    r.OpenAtStartup = f.Byte();
    r.Reserved8 = f.Byte();
    r.Width = f.Word();
    r.Height = f.Word();
    r.Left = f.Word();
    r.Top = f.Word();
    r.Reserved13 = f.Word();
    r.ScreenId = f.Word();
    r.Name = f.PipeText();
    r.Picture = f.PipeText();
    return r;
}

std::optional<TNewVisualOutput> TVisualRecordFormat::ReadOutput(QByteArrayView line, int version)
{
    if (version != 2 && version != 3)
        return std::nullopt;
    TFieldReader f(line);
    TNewVisualOutput r;
    r.Valid = f.Byte();
    r.TransparentOn = f.Byte();
    r.TransparentOff = f.Byte();
    r.DisplayType = f.Byte();
    r.ReadOnly = f.Byte();
    r.ShowLabel = f.Byte();
    if (version == 3) {
        r.ShowValue = f.Byte();
        r.Reserved8 = f.Byte();
        r.Reserved9 = f.Byte();
    } else {
        // Version 2 lacks fields 7, 8, 9, 13 and 14.
        r.ShowValue = 1;
        r.Reserved8 = 0;
        r.Reserved9 = 0;
    }
    r.Reserved10 = f.Word();
    r.Left = f.Word();
    r.Top = f.Word();
    if (version == 3) {
        r.Reserved13 = f.Word();
        r.Reserved14 = f.Word();
    }
    r.ModuleNumber = f.Word();
    r.IoNumber = f.Word();
    r.ScreenId = f.Word();
    r.ApplicationId = f.Word();
    r.Reserved19 = f.DWord();
    r.OnPicture = f.PipeText();
    r.OffPicture = f.PipeText();
    r.Label = f.PipeText();
    return r;
}

std::optional<TVisualShortCut> TVisualRecordFormat::ReadShortCut(QByteArrayView line, int version)
{
    if (version != 1 && version != 2)
        return std::nullopt;
    TFieldReader f(line);
    TVisualShortCut r;
    r.Valid = f.Byte();
    r.Transparent = f.Byte();
    r.ShowLabel = version == 2 ? f.Byte() : quint8(0);
    r.Left = f.Word();
    r.Top = f.Word();
    r.ScreenId = f.Word();
    r.TargetScreenId = f.Word();
    r.Picture = f.PipeText();
    r.Label = f.PipeText();
    return r;
}

std::optional<TVisualMemoData> TVisualRecordFormat::ReadMemo(QByteArrayView line, int version)
{
    if (version != 1)
        return std::nullopt;
    TFieldReader f(line);
    TVisualMemoData r;
    r.Valid = f.Byte();
    r.TransparentOn = f.Byte();
    r.TransparentOff = f.Byte();
    r.Reserved4 = f.Byte();
    r.ReadOnly = f.Byte();
    r.ShowLabel = f.Byte();
    r.MemoNumber = f.Word();
    r.Left = f.Word();
    r.Top = f.Word();
    r.MemoNumberCopy = f.Word();
    r.ScreenId = f.Word();
    r.ApplicationId = f.Word();
    r.Reserved13 = f.DWord();
    r.OnPicture = f.PipeText();
    r.OffPicture = f.PipeText();
    r.Label = f.PipeText();
    return r;
}

std::optional<TVisualVariableData> TVisualRecordFormat::ReadVariable(QByteArrayView line, int version)
{
    if (version != 1)
        return std::nullopt;
    TFieldReader f(line);
    TVisualVariableData r;
    r.Valid = f.Byte();
    r.TransparentOn = f.Byte();
    r.TransparentOff = f.Byte();
    r.Reserved4 = f.Byte();
    r.ReadOnly = f.Byte();
    r.ShowLabel = f.Byte();
    r.ShowValue = f.Byte();
    r.VariableNumber = f.Word();
    r.Left = f.Word();
    r.Top = f.Word();
    r.Reserved11 = f.Word();
    r.ScreenId = f.Word();
    r.ApplicationId = f.Word();
    r.Reserved14 = f.DWord();
    r.OnPicture = f.PipeText();
    r.OffPicture = f.PipeText();
    r.Label = f.PipeText();
    return r;
}

std::optional<TVisualAxisCamData> TVisualRecordFormat::ReadCamera(QByteArrayView line, int version)
{
    if (version != 1)
        return std::nullopt;
    TFieldReader f(line);
    TVisualAxisCamData r;
    r.Valid = f.Byte();
    r.Reserved2 = f.Byte();
    r.UseLogin = f.Byte();
    r.Reserved4 = f.Byte();
    r.Reserved5 = f.Word();
    r.Left = f.Word();
    r.Top = f.Word();
    r.Height = f.Word();
    r.Width = f.Word();
    r.ScreenId = f.Word();
    r.Reserved11 = f.Word();
    r.Address = f.PipeText();
    r.Password = f.PipeText();
    r.Login = f.PipeText();
    r.CameraName = f.PipeText();
    return r;
}

TVisualJaugeData TVisualRecordFormat::ReadGauge(QByteArrayView line)
{
    TFieldReader f(line);
    TVisualJaugeData r;
    r.Valid = f.Byte();
    r.Transparent = f.Byte();
    r.ShowLabel = f.Byte();
    r.Reserved4 = f.Byte();
    r.Left = f.Word();
    r.Top = f.Word();
    r.ScreenId = f.Word();
    r.Picture = f.PipeText();
    r.Label = f.PipeText();
    return r;
}

QByteArray TVisualRecordFormat::WriteScreen(const TNewVisualScreen &r)
{
    QByteArray line;
    TFieldWriter(line)
        .Byte(r.Valid).Byte(r.WindowState).Byte(r.Reserved3).Byte(r.Border).Byte(r.Stretch).Byte(r.Proportional)
        .Byte(r.OpenAtStartup).Byte(r.Reserved8)
        .Word(r.Width).Word(r.Height).Word(r.Left).Word(r.Top).Word(r.Reserved13).Word(r.ScreenId)
        .PipeText(r.Name).PipeText(r.Picture).EndLine();
    return line;
}

QByteArray TVisualRecordFormat::WriteOutput(const TNewVisualOutput &r)
{
    QByteArray line;
    TFieldWriter(line)
        .Byte(r.Valid).Byte(r.TransparentOn).Byte(r.TransparentOff).Byte(r.DisplayType).Byte(r.ReadOnly)
        .Byte(r.ShowLabel).Byte(r.ShowValue).Byte(r.Reserved8).Byte(r.Reserved9)
        .Word(r.Reserved10).Word(r.Left).Word(r.Top).Word(r.Reserved13).Word(r.Reserved14)
        .Word(r.ModuleNumber).Word(r.IoNumber).Word(r.ScreenId).Word(r.ApplicationId)
        .DWord(r.Reserved19)
        .PipeText(r.OnPicture).PipeText(r.OffPicture).PipeText(r.Label).EndLine();
    return line;
}

QByteArray TVisualRecordFormat::WriteShortCut(const TVisualShortCut &r)
{
    QByteArray line;
    TFieldWriter(line)
        .Byte(r.Valid).Byte(r.Transparent).Byte(r.ShowLabel)
        .Word(r.Left).Word(r.Top).Word(r.ScreenId).Word(r.TargetScreenId)
        .PipeText(r.Picture).PipeText(r.Label).EndLine();
    return line;
}

QByteArray TVisualRecordFormat::WriteMemo(const TVisualMemoData &r)
{
    QByteArray line;
    TFieldWriter(line)
        .Byte(r.Valid).Byte(r.TransparentOn).Byte(r.TransparentOff).Byte(r.Reserved4).Byte(r.ReadOnly).Byte(r.ShowLabel)
        .Word(r.MemoNumber).Word(r.Left).Word(r.Top).Word(r.MemoNumberCopy).Word(r.ScreenId).Word(r.ApplicationId)
        .DWord(r.Reserved13)
        .PipeText(r.OnPicture).PipeText(r.OffPicture).PipeText(r.Label).EndLine();
    return line;
}

QByteArray TVisualRecordFormat::WriteVariable(const TVisualVariableData &r)
{
    QByteArray line;
    TFieldWriter(line)
        .Byte(r.Valid).Byte(r.TransparentOn).Byte(r.TransparentOff).Byte(r.Reserved4).Byte(r.ReadOnly)
        .Byte(r.ShowLabel).Byte(r.ShowValue)
        .Word(r.VariableNumber).Word(r.Left).Word(r.Top).Word(r.Reserved11).Word(r.ScreenId).Word(r.ApplicationId)
        .DWord(r.Reserved14)
        .PipeText(r.OnPicture).PipeText(r.OffPicture).PipeText(r.Label).EndLine();
    return line;
}

QByteArray TVisualRecordFormat::WriteCamera(const TVisualAxisCamData &r)
{
    QByteArray line;
    TFieldWriter(line)
        .Byte(r.Valid).Byte(r.Reserved2).Byte(r.UseLogin).Byte(r.Reserved4)
        .Word(r.Reserved5).Word(r.Left).Word(r.Top).Word(r.Height).Word(r.Width).Word(r.ScreenId).Word(r.Reserved11)
        .PipeText(r.Address).PipeText(r.Password).PipeText(r.Login).PipeText(r.CameraName).EndLine();
    return line;
}

QByteArray TVisualRecordFormat::WriteGauge(const TVisualJaugeData &r)
{
    QByteArray line;
    TFieldWriter(line)
        .Byte(r.Valid).Byte(r.Transparent).Byte(r.ShowLabel).Byte(r.Reserved4)
        .Word(r.Left).Word(r.Top).Word(r.ScreenId)
        .PipeText(r.Picture).PipeText(r.Label).EndLine();
    return line;
}
