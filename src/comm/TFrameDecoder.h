#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Message types the interface module sends.
enum IncomingType : quint8 {
    MsgInputStatus = 0x81,
    MsgOutputStatus = 0x86,
    MsgDimLevels = 0x88,
    MsgTemperature = 0x8A,
    MsgVariable = 0x91,
    MsgInputStatus2 = 0x9A,
};

// One received frame after the checks: what it is and whom it addresses.
struct TDecodedFrame
{
    enum class Result { Accepted, BadChecksum, AddressForm, UnknownType, TooShort, BadKind };

    Result Outcome = Result::Accepted;
    quint8 Type = 0;
    quint16 ModuleNumber = 0;     // source module; for temperatures the module named inside
    quint16 VariableNumber = 0;   // MsgVariable only
    QByteArray Payload;           // status byte(s), the 8 levels, the 5 temperature bytes, the value

    bool IsAccepted() const { return Outcome == Result::Accepted; }
    // One line of text for logs and the console.
    QString Describe() const;
};

// Checks a collected frame text and cuts its message. Never throws, never reads past the text.
class TFrameDecoder
{
public:
    static TDecodedFrame Decode(QByteArrayView text);
    // The message bytes of a frame text, checksum included (pairs parsed like the builders do).
    static QByteArray MessageBytes(QByteArrayView text);
    // The message bytes without the checksum when the checksum is right, else nothing.
    static std::optional<QByteArray> CheckedMessage(QByteArrayView text);
};
