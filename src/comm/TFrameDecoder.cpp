#include "TFrameDecoder.h"

#include "TFrameBuilder.h"

#include <QStringList>

QByteArray TFrameDecoder::MessageBytes(QByteArrayView text)
{
    QByteArray bytes;
    for (qsizetype i = 0; i + 1 < text.size(); i += 2)
        bytes.append(char(TFrameBuilder::ParseHexPair(text.data() + i)));
    return bytes;
}

std::optional<QByteArray> TFrameDecoder::CheckedMessage(QByteArrayView text)
{
    const QByteArray all = MessageBytes(text);
    if (all.isEmpty())
        return std::nullopt;
    // The last pair is the checksum: the 8-bit sum of all the pairs before it.
    const QByteArray m = all.first(all.size() - 1);
    quint8 sum = 0;
    for (char c : m)
        sum = quint8(sum + quint8(c));
    if (sum != quint8(all.back()))
        return std::nullopt;
    return m;
}

TDecodedFrame TFrameDecoder::Decode(QByteArrayView text)
{
    using Result = TDecodedFrame::Result;
    TDecodedFrame frame;
    if (MessageBytes(text).isEmpty()) {
        frame.Outcome = Result::TooShort;
        return frame;
    }
    const std::optional<QByteArray> checked = CheckedMessage(text);
    if (!checked) {
        frame.Outcome = Result::BadChecksum;
        return frame;
    }
    const QByteArray &m = *checked;
    const auto at = [&m](qsizetype i) { return quint8(m[i]); };
    const auto word = [&at](qsizetype i) { return quint16(at(i) << 8 | at(i + 1)); };

    // Bits 3 and 4 of the flags give the address form; frames carry form 2, a two-byte address.
    if (m.size() < 5) {
        frame.Outcome = m.isEmpty() || ((at(0) >> 3) & 3) == 2 ? Result::TooShort : Result::AddressForm;
        return frame;
    }
    if (((at(0) >> 3) & 3) != 2) {
        frame.Outcome = Result::AddressForm;
        return frame;
    }
    frame.ModuleNumber = word(2);
    frame.Type = at(4);

    switch (frame.Type) {
    case MsgInputStatus:
    case MsgInputStatus2:
    case MsgOutputStatus:
    case MsgDimLevels: {
        // One byte not used, then the payload: 1 status byte or 8 levels.
        const qsizetype need = frame.Type == MsgDimLevels ? 8 : 1;
        if (m.size() < 6 + need) {
            frame.Outcome = Result::TooShort;
            return frame;
        }
        frame.Payload = m.sliced(6, need);
        return frame;
    }
    case MsgTemperature:
        // One byte not used, kind 0x05, the module number, 5 temperature bytes.
        if (m.size() < 7 + 2 + 5) {
            frame.Outcome = Result::TooShort;
            return frame;
        }
        if (at(6) != 0x05) {
            frame.Outcome = Result::BadKind;
            return frame;
        }
        frame.ModuleNumber = word(7);
        frame.Payload = m.sliced(9, 5);
        return frame;
    case MsgVariable:
        // Kind 0x14, the variable number, one byte not used, the value.
        if (m.size() < 5 + 1 + 2 + 1 + 1) {
            frame.Outcome = Result::TooShort;
            return frame;
        }
        if (at(5) != 0x14) {
            frame.Outcome = Result::BadKind;
            return frame;
        }
        frame.VariableNumber = word(6);
        frame.Payload = m.sliced(9, 1);
        return frame;
    default:
        frame.Outcome = Result::UnknownType;
        return frame;
    }
}

QString TDecodedFrame::Describe() const
{
    const auto hex = [](const QByteArray &bytes) { return QString::fromLatin1(bytes.toHex(' ')); };
    switch (Outcome) {
    case Result::BadChecksum: return QStringLiteral("dropped: wrong checksum");
    case Result::AddressForm: return QStringLiteral("dropped: address form not taken");
    case Result::TooShort: return QStringLiteral("dropped: too short");
    case Result::BadKind: return QStringLiteral("dropped: wrong kind byte in type %1").arg(Type, 2, 16, QLatin1Char('0'));
    case Result::UnknownType:
        return QStringLiteral("ignored: type %1 from module %2").arg(Type, 2, 16, QLatin1Char('0')).arg(ModuleNumber);
    case Result::Accepted:
        break;
    }
    switch (Type) {
    case MsgInputStatus:
    case MsgInputStatus2:
        return QStringLiteral("module %1 inputs %2").arg(ModuleNumber).arg(hex(Payload));
    case MsgOutputStatus:
        return QStringLiteral("module %1 outputs %2").arg(ModuleNumber).arg(hex(Payload));
    case MsgDimLevels: {
        QStringList levels;
        for (char c : Payload)
            levels.append(QString::number(quint8(c)));
        return QStringLiteral("module %1 levels %2").arg(ModuleNumber).arg(levels.join(QLatin1Char(' ')));
    }
    case MsgTemperature:
        return QStringLiteral("module %1 temperature %2.%3 set point %4.%5 mode %6")
            .arg(ModuleNumber)
            .arg(quint8(Payload[0]))
            .arg(quint8(Payload[1]))
            .arg(quint8(Payload[2]))
            .arg(quint8(Payload[3]))
            .arg(quint8(Payload[4]));
    case MsgVariable:
        return QStringLiteral("variable %1 value %2").arg(VariableNumber).arg(quint8(Payload[0]));
    default:
        return QString();
    }
}
