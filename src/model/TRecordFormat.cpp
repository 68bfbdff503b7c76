#include "TRecordFormat.h"

#include "TFieldReader.h"
#include "TFieldWriter.h"

std::optional<int> TRecordFormat::VersionOf(QByteArrayView line)
{
    if (!line.startsWith("**") && !line.startsWith("*["))
        return std::nullopt;
    return int(TFieldReader::ParseHex(line.sliced(2), 2));
}

std::optional<ModuleRecord> TRecordFormat::ReadModule(QByteArrayView line, bool hasLineEnd, int version)
{
    if (version < 2 || version > 4)
        return std::nullopt;
    TFieldReader r(line);
    ModuleRecord m;
    m.Aux1 = r.Byte();
    m.Aux2 = r.Byte();
    m.SerialNumber = r.DWord();
    m.ModuleNumber = r.Word();
    m.ModuleType = r.Word();
    m.ModuleOptions = r.Word();
    m.FirstIoIndex = r.Word();
    m.Aux3 = r.Word();
    m.Aux4 = r.Byte();
    m.Aux5 = r.Byte();
    m.Aux6 = r.Byte();
    if (r.AtEnd() && !hasLineEnd)
        m.Name = "No Name";
    else
        m.Name = r.Rest().left(TFieldReader::MaxNameLength);
    return m;
}

std::optional<IoRecord> TRecordFormat::ReadIo(QByteArrayView line, int version)
{
    if (!IsIoVersionHandled(version))
        return std::nullopt;
    TFieldReader r(line);
    IoRecord io;
    io.Aux1 = r.Byte();
    if (version == 5)
        io.Aux2 = r.Byte();  // read again below; the second value is the one kept
    io.ModuleNumber = r.Word();
    io.Channel = r.Word();
    io.Aux3 = r.Word();
    io.Aux2 = r.Byte();
    io.ParamKind = r.Byte();
    io.ParamIndexLow = r.Byte();
    io.LongPress = r.Byte();
    io.IoKind = r.Byte();
    io.Aux6 = r.Word();
    io.Aux7 = r.Word();
    io.Aux8 = r.Word();
    io.Aux9 = r.Word();
    io.Aux10 = r.Byte();
    io.CommandNumber = r.Word();
    io.Aux11 = r.Byte();
    io.Aux12 = r.Word();
    if (version >= 3) {
        io.Aux13 = r.Word();
        io.Aux14 = r.Byte();
        io.Power = r.Word();
    }
    io.Name = r.Name31();
    return io;
}

std::optional<MemoRecord> TRecordFormat::ReadMemo(QByteArrayView line, int version)
{
    if (version < 2 || version > 4)
        return std::nullopt;
    TFieldReader r(line);
    MemoRecord m;
    m.Defined = r.Byte();
    m.Aux1 = r.Byte();
    m.FirstEntryIndex = r.Word();
    m.Aux2 = r.Word();
    m.Aux3 = r.Byte();
    if (version == 4) {
        m.Aux4 = r.Byte();
        m.MemoKind = r.Byte();
        m.Aux5 = r.Byte();
        m.Aux6 = r.Word();
        m.Aux7 = r.Word();
        m.EntryCount = r.Word();
        m.Aux8 = r.Word();
    } else {
        m.Aux6 = r.Word();
        m.Aux7 = r.Word();
        m.EntryCount = r.Word();
        m.Aux8 = r.Word();
        m.Aux4 = r.Byte();
        m.MemoKind = r.Byte();
        m.Aux5 = r.Byte();
    }
    m.Name = r.Name31();
    if (m.EntryCount >= 256) {
        m.Aux4 = 0;
        m.MemoKind = 0;
        m.Aux5 = 0;
    }
    return m;
}

std::optional<MemoListRecord> TRecordFormat::ReadMemoList(QByteArrayView line, int version)
{
    if (version < 0 || version > 1)
        return std::nullopt;
    TFieldReader r(line);
    MemoListRecord e;
    e.Aux1 = r.Byte();
    e.EntryKind = r.Byte();
    e.IoIndex = r.Word();
    e.Aux2 = r.Word();
    return e;
}

std::optional<VariableRecord> TRecordFormat::ReadVariable(QByteArrayView line, int version)
{
    if (version < 0 || version > 2)
        return std::nullopt;
    TFieldReader r(line);
    VariableRecord v;
    v.Defined = r.Byte();
    v.VariableKind = r.Byte();
    v.Aux1 = r.Byte();
    v.Aux2 = r.Byte();
    v.Aux3 = r.Byte();
    v.Aux4 = r.Byte();
    v.MaxValue = r.Byte();
    v.Aux5 = r.Byte();
    v.Aux6 = r.Byte();
    v.Aux7 = r.Byte();
    v.Aux8 = r.Word();
    v.Aux9 = r.Word();
    v.Aux10 = r.Word();
    v.Aux11 = r.Word();
    v.Aux12 = r.Word();
    v.Aux13 = r.Byte();
    v.Aux14 = r.Byte();
    v.Aux15 = r.Byte();
    v.Aux16 = r.Byte();
    v.Aux17 = r.Word();
    v.Name = r.Name31();
    return v;
}

std::optional<Param32Record> TRecordFormat::ReadParam32(QByteArrayView line, int version)
{
    if (version < 0 || version > 2)
        return std::nullopt;
    TFieldReader r(line);
    Param32Record p;
    p.ParamId = r.Byte();
    std::array<quint8, 32> values{};
    for (quint8 &v : values)
        v = r.Byte();
    if (version == 2) {
        p.Params = values;
        return p;
    }
    // Older layout: P0-P2 stay, byte 3 is zero, P3-P26 move up one byte, P27-P31 are dropped.
    for (int i = 0; i < 3; ++i)
        p.Params[i] = values[i];
    for (int i = 4; i < 28; ++i)
        p.Params[i] = values[i - 1];
    return p;
}

std::optional<TVISUALQvpInfo> TRecordFormat::ReadAppData(QByteArrayView line, int version)
{
    if (version != 0 && version != 1)
        return std::nullopt;
    TFieldReader r(line);
    TVISUALQvpInfo info;
    info.LinkKind = LinkKinds(r.Byte());
    info.ComPort = r.Byte();
    info.ApplicationId = r.Byte();
    if (version == 1)
        info.HasPassword = r.Byte();
    info.UdpPort = r.Word();
    info.Host = r.PipeText();
    info.Password = r.PipeText();
    info.SourcePath = r.PipeText();
    if (version == 0)
        info.HasPassword = info.Password != "(null)" ? 1 : 0;
    return info;
}

QByteArray TRecordFormat::WriteModule(const ModuleRecord &m)
{
    QByteArray line;
    TFieldWriter(line)
        .Byte(m.Aux1).Byte(m.Aux2).DWord(m.SerialNumber)
        .Word(m.ModuleNumber).Word(m.ModuleType).Word(m.ModuleOptions).Word(m.FirstIoIndex).Word(m.Aux3)
        .Byte(m.Aux4).Byte(m.Aux5).Byte(m.Aux6)
        .Text(m.Name).EndLine();
    return line;
}

QByteArray TRecordFormat::WriteIo(const IoRecord &io)
{
    QByteArray line;
    TFieldWriter(line)
        .Byte(io.Aux1).Byte(io.Aux2).Word(io.ModuleNumber).Word(io.Channel).Word(io.Aux3)
        .Byte(io.Aux2).Byte(io.ParamKind).Byte(io.ParamIndexLow).Byte(io.LongPress).Byte(io.IoKind)
        .Word(io.Aux6).Word(io.Aux7).Word(io.Aux8).Word(io.Aux9)
        .Byte(io.Aux10).Word(io.CommandNumber).Byte(io.Aux11).Word(io.Aux12).Word(io.Aux13)
        .Byte(io.Aux14).Word(io.Power)
        .Text(io.Name).EndLine();
    return line;
}

QByteArray TRecordFormat::WriteMemo(const MemoRecord &m)
{
    QByteArray line;
    TFieldWriter(line)
        .Byte(m.Defined).Byte(m.Aux1).Word(m.FirstEntryIndex).Word(m.Aux2)
        .Byte(m.Aux3).Byte(m.Aux4).Byte(m.MemoKind).Byte(m.Aux5)
        .Word(m.Aux6).Word(m.Aux7).Word(m.EntryCount).Word(m.Aux8)
        .Text(m.Name).EndLine();
    return line;
}

QByteArray TRecordFormat::WriteMemoList(const MemoListRecord &e)
{
    QByteArray line;
    TFieldWriter(line).Byte(e.Aux1).Byte(e.EntryKind).Word(e.IoIndex).Word(e.Aux2).EndLine();
    return line;
}

QByteArray TRecordFormat::WriteVariable(const VariableRecord &v)
{
    QByteArray line;
    TFieldWriter(line)
        .Byte(v.Defined).Byte(v.VariableKind).Byte(v.Aux1).Byte(v.Aux2).Byte(v.Aux3).Byte(v.Aux4)
        .Byte(v.MaxValue).Byte(v.Aux5).Byte(v.Aux6).Byte(v.Aux7)
        .Word(v.Aux8).Word(v.Aux9).Word(v.Aux10).Word(v.Aux11).Word(v.Aux12)
        .Byte(v.Aux13).Byte(v.Aux14).Byte(v.Aux15).Byte(v.Aux16).Word(v.Aux17)
        .PipeText(v.Name).EndLine();
    return line;
}

QByteArray TRecordFormat::WriteParam32(const Param32Record &p)
{
    QByteArray line;
    TFieldWriter w(line);
    w.Byte(p.ParamId);
    for (quint8 v : p.Params)
        w.Byte(v);
    w.EndLine();
    return line;
}

QByteArray TRecordFormat::WriteAppData(const TVISUALQvpInfo &info)
{
    QByteArray line;
    TFieldWriter(line)
        .Byte(quint8(info.LinkKind)).Byte(info.ComPort).Byte(info.ApplicationId).Byte(info.HasPassword)
        .Word(info.UdpPort)
        .PipeText(info.Host).PipeText(info.Password).PipeText(info.SourcePath).EndLine();
    return line;
}
