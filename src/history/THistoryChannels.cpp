#include "THistoryRecorder.h"

#include "TChannelStates.h"
#include "TCodePage.h"
#include "TDataFileManager.h"
#include "TModuleTypes.h"
#include "TProgramLists.h"
#include "TProjectSession.h"
#include "TVQQModuleBase.h"

#include <array>
#include <cmath>

// The module channels' states, recorded as their modules report them.

namespace {

// "45 %": a level's text; those of the whole levels 0 to 255 are made once and shared.
QString PercentText(double value)
{
    static const auto made = [] {
        std::array<QString, 256> texts;
        for (int level = 0; level < 256; ++level)
            texts[size_t(level)] = QStringLiteral("%1 %").arg(level);
        return texts;
    }();
    if (!(value >= 0 && value <= 255) || value != std::floor(value))  // NaN included
        return QStringLiteral("%1 %").arg(value);
    return made[size_t(value)];
}

} // namespace

void THistoryRecorder::Index()
{
    // The channels each module shows, from its IO records, with what a control of it shows.
    // The IO records are grouped by module number once per application, not scanned per module.
    m_channels.clear();
    m_indexed = true;
    QHash<const TDataFileManager *, QMultiHash<quint16, const IoRecord *>> iosOf;
    for (const auto &module : m_session.Lists()->Modules()) {
        const TDataFileManager *application = module->GetApplication();
        auto grouped = iosOf.find(application);
        if (grouped == iosOf.end()) {
            grouped = iosOf.insert(application, {});
            const std::vector<IoRecord *> &ios = application->Current().Ios;
            for (auto io = ios.rbegin(); io != ios.rend(); ++io)
                grouped->insert((*io)->ModuleNumber, *io);  // backwards: values come out in list order
        }
        const ModuleRecord &record = *module->GetRecord();
        std::vector<Channel> channels;
        for (auto it = grouped->constFind(record.ModuleNumber); it != grouped->constEnd() && it.key() == record.ModuleNumber; ++it) {
            const IoRecord *io = it.value();
            const TChannelInfo info = TModuleTypes::Channel(record.ModuleType, io->Channel);
            if (!info.Control)
                continue;
            const QByteArray control(info.Control);
            Channel channel;
            channel.Number = io->Channel;
            channel.Io = io;
            if (control == "TVQQTorOutput")
                channel.Kind = Channel::Output;
            else if (control == "TVQQZulOutput")
                channel.Kind = Channel::Cover;
            else if (control == "TVQQDimOutput")
                channel.Kind = Channel::Dimmer;
            else if (control == "TVQQTorInput")
                channel.Kind = Channel::Input;
            else if (control == "TVQQSensorInput")
                channel.Kind = Channel::Sensor;
            else if (control == "TVQQIn10VInput")
                channel.Kind = Channel::Analogue;
            else
                continue;
            channels.push_back(channel);
        }
        m_channels.insert(module.get(), std::move(channels));
    }
}

void THistoryRecorder::StateChanged(TDataFileManager *application, TVQQModuleBase *module, quint8 parts)
{
    if (!m_indexed)
        Index();
    const auto found = m_channels.find(module);
    if (found == m_channels.end())
        return;
    const ModuleRecord &record = *module->GetRecord();
    for (Channel &channel : *found) {
        THistoryRow row;
        row.Kind = QStringLiteral("state");
        row.Module = record.ModuleNumber;
        row.Channel = channel.Number;
        row.HasValue = true;
        // The channel's measures by serial number, channel and measure (its index among the
        // measures, shifted past the test bit).
        const quint64 key = (quint64(record.SerialNumber) << 32) | (quint64(channel.Number) << 8);
        const auto measure = [&key](quint64 index) { return key | (index << 1); };
        const auto onOff = [&row](bool on) {
            row.Value = on ? 1 : 0;
            row.Text = on ? QStringLiteral("ON") : QStringLiteral("OFF");
        };
        switch (channel.Kind) {
        case Channel::Output:
        case Channel::Cover:
            if (!(parts & PartOutputs))
                continue;
            row.What = QStringLiteral("output");
            if (channel.Kind == Channel::Cover) {
                row.Text = QString::fromLatin1(CoverState(*module, channel.Number));
                row.Value = row.Text == QStringLiteral("opening") ? 1 : row.Text == QStringLiteral("closing") ? -1 : 0;
            } else {
                onOff(OutputOn(*module, channel.Number));
            }
            StateValue(application, measure(0), row, record, channel);
            break;
        case Channel::Dimmer:
            if (!(parts & PartLevels))
                continue;
            row.What = QStringLiteral("level");
            row.Value = DimLevel(*module, channel.Number);
            row.Text = PercentText(row.Value);
            StateValue(application, measure(1), row, record, channel);
            break;
        case Channel::Input:
            if (!(parts & PartInputs))
                continue;
            row.What = QStringLiteral("input");
            onOff(InputOn(*module, channel.Number));
            StateValue(application, measure(2), row, record, channel);
            break;
        case Channel::Analogue:
            if (!(parts & PartInputs) || AnalogueValue(*module) > 100)
                continue;
            row.What = QStringLiteral("0-10 V");
            row.Value = AnalogueValue(*module);
            row.Text = PercentText(row.Value);
            StateValue(application, measure(3), row, record, channel);
            break;
        case Channel::Sensor: {
            if (!(parts & PartTemperature))
                continue;
            std::array<quint8, 5> bytes{};
            module->GetTemperature(bytes);
            const std::pair<QString, double> measures[] = {{QStringLiteral("temperature"), bytes[0] + bytes[1] % 10 / 10.0},
                                                           {QStringLiteral("set point"), bytes[2] + bytes[3] % 10 / 10.0},
                                                           {QStringLiteral("mode"), double(bytes[4])}};
            quint64 index = 4;
            for (const auto &[what, value] : measures) {
                row.What = what;
                row.Value = value;
                row.Text = QString::number(value, 'f', what == QStringLiteral("mode") ? 0 : 1);
                StateValue(application, measure(index++), row, record, channel);
            }
            break;
        }
        }
    }
}

void THistoryRecorder::StateValue(TDataFileManager *application, quint64 key, THistoryRow row, const ModuleRecord &module,
                                  Channel &channel)
{
    row.Test = m_session.Mode() == RunMode::Test;
    if (Repeats(m_lastStates, row.Test ? key | k_testKey : key, row.Value))
        return;
    if (channel.Io && channel.Name.isEmpty())
        channel.Name = TCodePage::ToDisplay(module.Name).trimmed() + QStringLiteral(" / ") + TCodePage::ToDisplay(channel.Io->Name).trimmed();
    if (channel.Serial.isEmpty())
        channel.Serial = QString::fromLatin1(QByteArray::number(module.SerialNumber, 16).rightJustified(8, '0'));
    row.Name = channel.Name;
    row.Serial = channel.Serial;
    Add(application, std::move(row));
}
