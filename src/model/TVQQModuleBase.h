#pragma once

#include "TBoundControl.h"
#include "TBoundControlList.h"
#include "SerialPort.h"
#include "TModuleTypes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QPointer>
#include <QString>

#include <array>
#include <vector>

class TBoundControl;
class TDataFileManager;
struct IoRecord;
struct ModuleRecord;

// The two default pictures of a module's controls, as file names in "Default Images".
struct TDefaultValue
{
    QString On = QStringLiteral("KOB ON.ico");
    QString Off = QStringLiteral("KOB OFF.ico");
};

// What a module last reported, or what test mode made of it.
struct TModuleState
{
    quint8 InputBits = 0;
    quint8 OutputBits = 0;
    std::array<quint8, 8> Levels{};
    std::array<quint8, 5> Temperature{};
    // For each part (inputs, outputs, levels, temperature), the link epoch of its last report;
    // 0 when it was never reported.
    std::array<quint32, 4> Reported{};
};

// The live model of one bus module: its last known state, the controls that show it, and the
// commands a click sends. The kinds override what their modules do; the base does nothing.
// Holds its application, record and link without owning them; they outlive it.
class TVQQModuleBase
{
public:
    TVQQModuleBase(TDataFileManager *application, ModuleRecord *record, SerialPort *link);
    virtual ~TVQQModuleBase();

    virtual const TDefaultValue &GetDefaultValue() const { return m_defaults; }
    virtual bool IsLongPressIO(quint16 channel) const;
    virtual void ToggleTestState(quint16 channel);
    virtual void SetOutputStatus(QByteArrayView payload);
    virtual void GetInputStatus(quint8 &bits) const;
    virtual void GetOutputStatus(quint8 &bits) const;
    virtual void SetInputStatus(QByteArrayView payload);
    virtual void GetTemperature(std::array<quint8, 5> &bytes) const;
    virtual void SetTemperature(QByteArrayView payload);
    virtual void SendToggle(quint16 channel);
    virtual void SendTemperatureCommand(quint16 channel, quint8 command, quint8 value);
    virtual void SendPushEvent(quint8 event, quint16 channel);
    virtual void SendDimLevel(quint16 channel, quint8 level);
    virtual void SetLevels(QByteArrayView payload);
    virtual void GetLevels(std::array<quint8, 8> &levels) const;
    virtual void GetChannelState(quint8 &state, quint16 channel) const;
    virtual void SetLevelTest(quint8 level, quint16 channel);

    // The state bytes as text, for the installer's console.
    virtual QString DescribeState() const = 0;
    virtual ModuleKind Kind() const = 0;

    // Every bound control not in design time re-reads its state, then every memo control; the
    // parts that changed since last time are announced to the program lists.
    void RefreshControls();
    // Every bound control and memo control repaints if the trust of its state changed.
    void RefreshTrust();

    // A status frame is about to report these parts of the state.
    void MarkReported(quint8 parts);
    // How far the state of these parts can be trusted: unknown when one was never reported, stale
    // when reported before the link last opened or while the link is lost.
    StateTrust Trust(quint8 parts) const;
    // The part a channel's state comes from (what a memo following the channel reads).
    virtual quint8 ChannelPart(quint16 channel) const;
    // Test mode changes the state; leaving it puts back what the module reported, before the
    // test or during it (KeepReported).
    void SaveTestSnapshot()
    {
        m_snapshot = m_state;
        m_testing = true;
    }
    void RestoreTestSnapshot()
    {
        m_state = m_snapshot;
        m_testing = false;
    }
    // A status frame set these parts: in test mode they are what to put back afterwards too.
    void KeepReported(quint8 parts);
    void AddControl(TBoundControl *control) { m_controls.Add(control); }
    void RemoveControl(TBoundControl *control) { m_controls.Remove(control); }
    void AddMemoControl(TBoundControl *control) { m_memoControls.Add(control); }
    void RemoveMemoControl(TBoundControl *control) { m_memoControls.Remove(control); }
    std::vector<TBoundControl *> Controls() const { return m_controls.Controls(); }

    quint16 GetModuleNumber() const;
    quint16 GetModuleType() const;
    TDataFileManager *GetApplication() const { return m_application; }
    ModuleRecord *GetRecord() const { return m_record; }
    // After an update: the module's record in the new lists (same number, same kind).
    void SetRecord(ModuleRecord *record) { m_record = record; }
    SerialPort *GetLink() const { return m_link; }
    // The module's name and the decimal low 24 bits of its serial number: "Relays [1193985]".
    QByteArray GetDisplayName() const;
    // The name of the module's IO on this channel; empty when there is none.
    QByteArray GetIoName(quint16 channel) const;

protected:
    // The IO record of (module number, channel), or none.
    IoRecord *IoOf(quint16 channel) const;
    bool IoLongPress(quint16 channel) const;
    void SendIoCommand(quint16 channel) const;
    void SendValueEvent(quint8 event, quint16 channel) const;
    void SendTemperature(quint8 command, quint8 value) const;

    static bool Bit(quint8 bits, quint16 n) { return n < 8 && (bits >> n) & 1; }
    static void FlipBit(quint8 &bits, quint16 n);
    static void SetBit(quint8 &bits, quint16 n, bool on);
    static void CopyPayload(QByteArrayView payload, quint8 *to, qsizetype count);
    static QString Hex(quint8 byte);

    TModuleState m_state;

private:
    void AnnounceChanges();

    TDataFileManager *m_application = nullptr;
    ModuleRecord *m_record = nullptr;
    QPointer<SerialPort> m_link;  // the application's link, which may go first
    TDefaultValue m_defaults;
    TBoundControlList m_controls;
    TBoundControlList m_memoControls;
    TModuleState m_snapshot;
    bool m_testing = false;
    TModuleState m_announced;  // the state as last announced
};
