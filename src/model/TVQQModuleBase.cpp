#include "TVQQModuleBase.h"

#include "SerialPort.h"
#include "TDataFileManager.h"
#include "TFrameBuilder.h"
#include "TLinkSession.h"
#include "TProgramLists.h"


TVQQModuleBase::TVQQModuleBase(TDataFileManager *application, ModuleRecord *record, SerialPort *link)
    : m_application(application)
    , m_record(record)
    , m_link(link)
{
}

TVQQModuleBase::~TVQQModuleBase() = default;

bool TVQQModuleBase::IsLongPressIO(quint16) const { return false; }
void TVQQModuleBase::ToggleTestState(quint16) {}
void TVQQModuleBase::SetOutputStatus(QByteArrayView) {}
void TVQQModuleBase::GetInputStatus(quint8 &) const {}
void TVQQModuleBase::GetOutputStatus(quint8 &) const {}
void TVQQModuleBase::SetInputStatus(QByteArrayView) {}
void TVQQModuleBase::GetTemperature(std::array<quint8, 5> &) const {}
void TVQQModuleBase::SetTemperature(QByteArrayView) {}
void TVQQModuleBase::SendToggle(quint16) {}
void TVQQModuleBase::SendTemperatureCommand(quint16, quint8, quint8) {}
void TVQQModuleBase::SendPushEvent(quint8, quint16) {}
void TVQQModuleBase::SendDimLevel(quint16, quint8) {}
void TVQQModuleBase::SetLevels(QByteArrayView) {}
void TVQQModuleBase::GetLevels(std::array<quint8, 8> &) const {}
void TVQQModuleBase::GetChannelState(quint8 &state, quint16) const { state = 0; }
void TVQQModuleBase::SetLevelTest(quint8, quint16) {}

void TVQQModuleBase::RefreshControls()
{
    m_controls.Refresh();
    m_memoControls.Refresh();
    AnnounceChanges();
}

void TVQQModuleBase::AnnounceChanges()
{
    // A part counts as changed when its value differs from what was last announced, or when it
    // was reported for the first time since the link last opened.
    const TModuleState &now = m_state;
    const TModuleState &was = m_announced;
    quint8 parts = 0;
    if (now.InputBits != was.InputBits || now.Reported[0] != was.Reported[0])
        parts |= PartInputs;
    if (now.OutputBits != was.OutputBits || now.Reported[1] != was.Reported[1])
        parts |= PartOutputs;
    if (now.Levels != was.Levels || now.Reported[2] != was.Reported[2])
        parts |= PartLevels;
    if (now.Temperature != was.Temperature || now.Reported[3] != was.Reported[3])
        parts |= PartTemperature;
    if (parts == 0)
        return;
    m_announced = m_state;
    if (TProgramLists *lists = m_application ? m_application->ProgramLists() : nullptr)
        lists->ModuleStateChanged(*this, parts);
}

void TVQQModuleBase::RefreshTrust()
{
    m_controls.RefreshTrust();
    m_memoControls.RefreshTrust();
}

void TVQQModuleBase::MarkReported(quint8 parts)
{
    const quint32 epoch = m_application->Session().Epoch();
    for (size_t part = 0; part < m_state.Reported.size(); ++part) {
        if (parts & (1u << part))
            m_state.Reported[part] = epoch;
    }
}

void TVQQModuleBase::KeepReported(quint8 parts)
{
    if (!m_testing)
        return;
    if (parts & PartInputs)
        m_snapshot.InputBits = m_state.InputBits;
    if (parts & PartOutputs)
        m_snapshot.OutputBits = m_state.OutputBits;
    if (parts & PartLevels)
        m_snapshot.Levels = m_state.Levels;
    if (parts & PartTemperature)
        m_snapshot.Temperature = m_state.Temperature;
    for (size_t part = 0; part < m_state.Reported.size(); ++part) {
        if (parts & (1u << part))
            m_snapshot.Reported[part] = m_state.Reported[part];
    }
}

StateTrust TVQQModuleBase::Trust(quint8 parts) const
{
    // The least trusted of the parts asked for.
    StateTrust trust = StateTrust::Fresh;
    for (size_t part = 0; part < m_state.Reported.size(); ++part) {
        if (!(parts & (1u << part)))
            continue;
        const StateTrust partTrust = m_application->Session().TrustOf(m_state.Reported[part]);
        if (partTrust == StateTrust::Unknown)
            return partTrust;
        if (partTrust == StateTrust::Stale)
            trust = partTrust;
    }
    return trust;
}

quint8 TVQQModuleBase::ChannelPart(quint16) const
{
    return PartOutputs;
}

quint16 TVQQModuleBase::GetModuleNumber() const
{
    return m_record->ModuleNumber;
}

quint16 TVQQModuleBase::GetModuleType() const
{
    return m_record->ModuleType;
}

QByteArray TVQQModuleBase::GetDisplayName() const
{
    return m_record->Name + " [" + QByteArray::number(m_record->SerialNumber & 0xFFFFFF) + "]";
}

QByteArray TVQQModuleBase::GetIoName(quint16 channel) const
{
    const IoRecord *io = IoOf(channel);
    return io ? io->Name : QByteArray();
}

IoRecord *TVQQModuleBase::IoOf(quint16 channel) const
{
    const quint16 index = m_application->FindIoIndex(m_record->ModuleNumber, channel);
    return index == TDataFileManager::NotFound ? nullptr : m_application->IoAt(index);
}

bool TVQQModuleBase::IoLongPress(quint16 channel) const
{
    const IoRecord *io = IoOf(channel);
    return io && io->LongPress != 0;
}

void TVQQModuleBase::SendIoCommand(quint16 channel) const
{
    const quint16 index = m_application->FindIoIndex(m_record->ModuleNumber, channel);
    if (m_link && index != TDataFileManager::NotFound)
        TFrameBuilder::BuildIoCommand(*m_link, index);
}

void TVQQModuleBase::SendValueEvent(quint8 event, quint16 channel) const
{
    const IoRecord *io = IoOf(channel);
    if (m_link && io)
        TFrameBuilder::BuildValueCommand(*m_link, io->CommandNumber, event);
}

void TVQQModuleBase::SendTemperature(quint8 command, quint8 value) const
{
    if (m_link)
        TFrameBuilder::BuildTemperatureCommand(*m_link, m_record->ModuleNumber, command, value);
}

void TVQQModuleBase::FlipBit(quint8 &bits, quint16 n)
{
    if (n < 8)
        bits ^= quint8(1u << n);
}

void TVQQModuleBase::SetBit(quint8 &bits, quint16 n, bool on)
{
    if (n >= 8)
        return;
    if (on)
        bits |= quint8(1u << n);
    else
        bits &= quint8(~(1u << n));
}

void TVQQModuleBase::CopyPayload(QByteArrayView payload, quint8 *to, qsizetype count)
{
    // A short payload only fills what it carries.
    for (qsizetype i = 0; i < count && i < payload.size(); ++i)
        to[i] = quint8(payload[i]);
}

QString TVQQModuleBase::Hex(quint8 byte)
{
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0'));
}
