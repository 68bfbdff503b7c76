#pragma once

#include <QByteArray>
#include <QByteArrayView>

class SerialPort;

// Message types and constants of the frames sent to the interface module.
enum FrameByte : quint8 {
    FrameStx = 0x02,
    FrameEtx = 0x03,
    FrameFlags = 0xB5,      // bits 3-4 hold 2: a 2-byte address follows
    FrameSecond = 0x03,
    MsgCommand = 0x60,
    MsgValueCommand = 0x61,
    MsgRefresh = 0x64,
    MsgTemperatureCommand = 0x8A,
    CmdIo = 0x02,
    CmdValue = 0x03,
    CmdDimLevel = 0x04,
    CmdMemo = 0x09,
    CmdVariable = 0x14,
    CmdVariableWrap = 0x02,
    CmdVariableStep = 0x0B,
    CmdRefreshInputs = 0x0A,
    CmdRefreshOutputs = 0x0B,
};

// The frame builders: the only way commands reach the wire. Each sends nothing and returns false
// while the link has no interface module; otherwise it writes one frame to the link and returns
// whether the link took it whole. Numbered frames take the link's sequence number.
class TFrameBuilder
{
public:
    static bool BuildIoCommand(SerialPort &link, quint16 ioIndex);
    static bool BuildDimCommand(SerialPort &link, quint16 ioIndex, quint8 level);
    // `event`: 1 pressed, 2 let go, 3 held long, 4 let go after being held long.
    static bool BuildValueCommand(SerialPort &link, quint16 commandNumber, quint8 event);
    // Kind 7 carries the value; kinds 10 and 11 none; any other kind sends an empty frame.
    static bool BuildTemperatureCommand(SerialPort &link, quint16 moduleNumber, quint8 kind, quint8 value);
    static bool BuildMemoCommand(SerialPort &link, quint16 memoNumber);
    static bool BuildVariableToggle(SerialPort &link, quint16 variableNumber);
    static bool BuildVariableCommand2(SerialPort &link, quint16 variableNumber);
    static bool BuildVariableCommandB(SerialPort &link, quint16 variableNumber);
    static bool BuildRefreshInputs(SerialPort &link);
    static bool BuildRefreshOutputs(SerialPort &link);
    // The keep-alive: STX, the four header bytes as eight digits, "HELLO"; no checksum, no ETX.
    static bool BuildHello(SerialPort &link);

    // A whole frame for these message bytes: STX, upper-case digits, checksum, ETX.
    static QByteArray Frame(QByteArrayView message);
    // The two characters as a byte; a character that is no hexadecimal digit counts as 0.
    static quint8 ParseHexPair(const char *pair);
    // `text` holds the digits after STX: appends the 8-bit sum of its pairs and ETX.
    static void AppendChecksumAndEtx(QByteArray &text);

private:
    static bool Send(SerialPort &link, QByteArrayView afterHeader, bool numbered);
};
