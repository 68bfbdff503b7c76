#include "TFrameBuilder.h"

#include "SerialPort.h"

namespace {

QByteArray HexUpper(QByteArrayView bytes)
{
    return bytes.toByteArray().toHex().toUpper();
}

void AppendWord(QByteArray &message, quint16 value)
{
    message.append(char(value >> 8));
    message.append(char(value & 0xff));
}

} // namespace

quint8 TFrameBuilder::ParseHexPair(const char *pair)
{
    quint8 value = 0;
    for (int i = 0; i < 2; ++i) {
        value = quint8(value * 16);
        const char c = pair[i];
        if (c >= '0' && c <= '9')
            value = quint8(value + (c - '0'));
        else if (c >= 'a' && c <= 'f')
            value = quint8(value + (c - 'a' + 10));
        else if (c >= 'A' && c <= 'F')
            value = quint8(value + (c - 'A' + 10));
    }
    return value;
}

void TFrameBuilder::AppendChecksumAndEtx(QByteArray &text)
{
    quint8 sum = 0;
    for (qsizetype i = 0; i + 1 < text.size(); i += 2)
        sum = quint8(sum + ParseHexPair(text.constData() + i));
    text += HexUpper(QByteArray(1, char(sum)));
    text += char(FrameEtx);
}

QByteArray TFrameBuilder::Frame(QByteArrayView message)
{
    QByteArray text = HexUpper(message);
    AppendChecksumAndEtx(text);
    return char(FrameStx) + text;
}

bool TFrameBuilder::Send(SerialPort &link, QByteArrayView afterHeader, bool numbered)
{
    if (link.InterfaceIndex() == SerialPort::NoInterface)
        return false;
    QByteArray message;
    message.append(char(FrameFlags));
    message.append(char(FrameSecond));
    AppendWord(message, link.InterfaceAddress());
    message.append(afterHeader.first(1));
    if (numbered)
        message.append(char(link.TakeSequenceNumber()));
    message.append(afterHeader.sliced(1));
    return link.WriteLink(Frame(message));
}

bool TFrameBuilder::BuildIoCommand(SerialPort &link, quint16 ioIndex)
{
    QByteArray m;
    m.append(char(MsgCommand)).append(char(CmdIo));
    AppendWord(m, ioIndex);
    return Send(link, m, true);
}

bool TFrameBuilder::BuildDimCommand(SerialPort &link, quint16 ioIndex, quint8 level)
{
    QByteArray m;
    m.append(char(MsgCommand)).append(char(CmdIo));
    AppendWord(m, ioIndex);
    m.append(char(CmdDimLevel)).append(char(level)).append('\0');
    return Send(link, m, true);
}

bool TFrameBuilder::BuildValueCommand(SerialPort &link, quint16 commandNumber, quint8 event)
{
    QByteArray m;
    m.append(char(MsgValueCommand)).append(char(CmdValue));
    AppendWord(m, commandNumber);
    m.append(char(event));
    return Send(link, m, true);
}

bool TFrameBuilder::BuildTemperatureCommand(SerialPort &link, quint16 moduleNumber, quint8 kind, quint8 value)
{
    if (kind != 7 && kind != 10 && kind != 11) {
        if (link.InterfaceIndex() == SerialPort::NoInterface)
            return false;
        // Nothing is formatted for an unknown kind: the frame carries an empty message.
        QByteArray empty;
        AppendChecksumAndEtx(empty);
        return link.WriteLink(char(FrameStx) + empty);
    }
    QByteArray m;
    m.append(char(MsgTemperatureCommand)).append(char(kind));
    AppendWord(m, moduleNumber);
    if (kind == 7)
        m.append(char(value));
    return Send(link, m, true);
}

bool TFrameBuilder::BuildMemoCommand(SerialPort &link, quint16 memoNumber)
{
    QByteArray m;
    m.append(char(MsgCommand)).append(char(CmdMemo));
    AppendWord(m, memoNumber);
    return Send(link, m, true);
}

bool TFrameBuilder::BuildVariableToggle(SerialPort &link, quint16 variableNumber)
{
    QByteArray m;
    m.append(char(MsgCommand)).append(char(CmdVariable));
    AppendWord(m, variableNumber);
    return Send(link, m, true);
}

bool TFrameBuilder::BuildVariableCommand2(SerialPort &link, quint16 variableNumber)
{
    QByteArray m;
    m.append(char(MsgCommand)).append(char(CmdVariable));
    AppendWord(m, variableNumber);
    m.append(char(CmdVariableWrap));
    return Send(link, m, true);
}

bool TFrameBuilder::BuildVariableCommandB(SerialPort &link, quint16 variableNumber)
{
    QByteArray m;
    m.append(char(MsgCommand)).append(char(CmdVariable));
    AppendWord(m, variableNumber);
    m.append(char(CmdVariableStep));
    return Send(link, m, true);
}

bool TFrameBuilder::BuildRefreshInputs(SerialPort &link)
{
    const char m[] = {char(MsgRefresh), char(CmdRefreshInputs)};
    return Send(link, QByteArrayView(m, 2), false);
}

bool TFrameBuilder::BuildRefreshOutputs(SerialPort &link)
{
    const char m[] = {char(MsgRefresh), char(CmdRefreshOutputs)};
    return Send(link, QByteArrayView(m, 2), false);
}

bool TFrameBuilder::BuildHello(SerialPort &link)
{
    if (link.InterfaceIndex() == SerialPort::NoInterface)
        return false;
    QByteArray header;
    header.append(char(FrameFlags)).append(char(FrameSecond));
    AppendWord(header, link.InterfaceAddress());
    return link.WriteLink(char(FrameStx) + HexUpper(header) + "HELLO");
}
