#pragma once

#include "InstallationRecords.h"
#include "TFrameAssembler.h"
#include "TFrameDecoder.h"
#include "TUpdateComparison.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>

#include <cstddef>
#include <deque>
#include <span>
#include <unordered_map>
#include <vector>

class SerialPort;
class TLinkSession;
class TProgramLists;
class TVQQModuleBase;
class UserMessages;

// One set of the six record lists of an application, each in the order of the file it came from.
// The lists point into the application's record pools.
struct TRecordSet
{
    std::vector<ModuleRecord *> Modules;
    std::vector<IoRecord *> Ios;
    std::vector<MemoRecord *> Memos;
    std::vector<MemoListRecord *> MemoList;
    std::vector<VariableRecord *> Variables;
    std::vector<Param32Record *> Param32s;

    void Clear();
    // First match in list order, or none.
    ModuleRecord *ModuleByNumber(quint16 number) const;
    ModuleRecord *ModuleBySerial(quint32 serial) const;
};

// One application (installation) of the project: its records, current and pending, its
// connection settings, its link, its link session and its frame assembler.
class TDataFileManager : public QObject
{
    Q_OBJECT

public:
    enum ImportMode { ImportReplace = 1, ImportPending = 2 };
    static constexpr quint16 NotFound = 0xFFFF;

    // `messages` shows what the readers report; it must outlive the application.
    TDataFileManager(QObject *owner, const QByteArray &name, UserMessages *messages);
    ~TDataFileManager() override;

    // The application's key in the project's list; equal to SourcePath after every import.
    const QByteArray &Name() const { return m_name; }
    void SetName(const QByteArray &name) { m_name = name; }

    // The name the user knows the application by: the file name of its export.
    QByteArray DisplayName() const { return FileNamePart(m_settings.SourcePath); }

    // The App Data fields: link kind, COM port, id, password flag, UDP port, host, password, path.
    TVISUALQvpInfo &Settings() { return m_settings; }
    const TVISUALQvpInfo &Settings() const { return m_settings; }

    // Records. Every record loaded stays in the application's pools until the application goes,
    // even after an update takes it out of the lists: older model objects keep pointing at it.
    const TRecordSet &Current() const { return m_current; }
    const TRecordSet &Pending() const { return m_pending; }
    ModuleRecord *AddModule(const ModuleRecord &record, bool pending = false);
    IoRecord *AddIo(const IoRecord &record, bool pending = false);
    MemoRecord *AddMemo(const MemoRecord &record, bool pending = false);
    MemoListRecord *AddMemoListEntry(const MemoListRecord &record, bool pending = false);
    VariableRecord *AddVariable(const VariableRecord &record, bool pending = false);
    Param32Record *AddParam32(const Param32Record &record, bool pending = false);

    // Reads a configuration export into the current lists (ImportReplace, Name becomes the path)
    // or the pending lists (ImportPending). False when the file cannot be opened.
    bool ExportImport(const QString &path, int mode);
    // The same from the export's content; `path` only becomes the Name in replace mode.
    void ImportExportContent(QByteArrayView content, const QByteArray &path, int mode);

    // The application's data block, CR LF line ends, from App Data to "EOF DataFile".
    QByteArray DataBlock() const;
    // Appends the data block to the project file (".qvp" added when the path lacks it).
    bool WriteDataBlock(const QString &projectPath) const;
    // Finds the block whose App Data path equals `key` and appends its records to the current
    // lists. Nothing happens when the file cannot be opened.
    void ReadDataBlock(const QString &projectPath, const QByteArray &key);
    void ReadDataBlockFrom(QByteArrayView content, const QByteArray &key);

    // The update from a new export read into the pending lists: the comparison with the current
    // lists (true when there is a difference), then the pending lists made current.
    bool CompareWithPending() { return m_comparison.Compare(m_current, m_pending); }
    const TUpdateComparison &Comparison() const { return m_comparison; }
    void ApplyPending();

    // Look-ups in list order, first match wins. By number and the interface module answer from
    // an index made when first asked for after the current lists changed (every state change
    // that is recorded or bridged asks for them).
    ModuleRecord *FindModuleByNumber(quint16 number) const;
    ModuleRecord *FindModuleBySerial(quint32 serial) const { return m_current.ModuleBySerial(serial); }
    // Position of the IO (module, channel) in the current IO list, or NotFound.
    quint16 FindIoIndex(quint16 moduleNumber, quint16 channel) const;
    // Position of the first module of type 26 or 45 and its number through `number`; NotFound
    // when there is none.
    quint16 FindInterfaceModule(quint16 &number) const;
    // Where the record stands in the current memo or variable list; 0 for a record not listed.
    quint16 MemoIndexOf(const MemoRecord *record) const;
    quint16 VariableIndexOf(const VariableRecord *record) const;

    // Positional getters; none past the end.
    ModuleRecord *ModuleAt(qsizetype position) const;
    IoRecord *IoAt(qsizetype position) const;
    MemoRecord *MemoAt(qsizetype position) const;
    MemoListRecord *MemoListAt(qsizetype position) const;
    VariableRecord *VariableAt(qsizetype position) const;
    // The entry at `position` when `kind` is 21 (the IO's parameter kind), else none.
    Param32Record *Param32At(quint8 kind, qsizetype position) const;

    // The file name part of a stored path ("\\" or "/" separated).
    static QByteArray FileNamePart(const QByteArray &path);

    // Received link bytes: frames collected between STX and ETX are decoded and dispatched.
    void AssembleBytes(QByteArrayView bytes);
    // Checks one collected frame text and hands it to the module object or variable item of this
    // application that it addresses. Frames that fail a check are dropped and counted.
    void DecodeFrame(QByteArrayView text);
    quint64 DroppedFrames() const { return m_droppedFrames; }
    // The dropped frames that were damaged on the way (a wrong checksum, cut short), not merely
    // of a kind this program does not follow.
    quint64 DamagedFrames() const { return m_damagedFrames; }
    quint64 DroppedBytes() const { return m_assembler.DroppedBytes(); }
    // The assembler holds the start of a frame whose end has not come.
    bool FrameOpen() const { return m_assembler.InFrame(); }
    void DropOpenFrame() { m_assembler.DropOpenFrame(); }

    // Frames assembled between the two are dispatched at once, and the power total, which a
    // status frame changes, is recomputed once at the end instead of after every frame.
    void BeginBatch() { ++m_batch; }
    void EndBatch();

    // The switched power now on: every IO with a power whose channel is on, counted whole or by
    // its level as its module type says. With `resetMaximum` the gauges' scale becomes the sum of all
    // powers plus 100.
    void RecomputePower(bool resetMaximum);
    // One module's channels changed: only its IOs are counted again, so a status frame costs the
    // same however large the installation.
    void ModulePowerChanged(const TVQQModuleBase &module);

    // The link's session: polling, log-in, keep-alive and log-out.
    TLinkSession &Session() const { return *m_session; }

    // Where this application's model objects are found; set by the lists that build them.
    TProgramLists *ProgramLists() const { return m_lists; }
    void SetProgramLists(TProgramLists *lists) { m_lists = lists; }

    // The link of this application; set by its owner, not owned here.
    SerialPort *Link() const { return m_link; }
    void SetLink(SerialPort *link);

    UserMessages *Messages() const { return m_messages; }

    // The switched power now on, in watts.
    quint16 PowerTotal() const { return m_powerTotal; }

signals:
    // Every frame the assembler collected, after the checks (dropped ones included).
    void frameDecoded(const TDecodedFrame &frame);

private:
    // A status frame changed what `module` (none: a module the project does not have) switches on.
    void PowerChanged(const TVQQModuleBase *module);
    // The IOs that draw power, with their modules, made again when the IOs or the modules changed.
    void MakePoweredIos();
    // Only these modules' IOs counted again (a module may come more than once).
    void ModulesPowerChanged(std::span<const TVQQModuleBase *const> modules);
    void PublishPower(quint32 total, bool resetMaximum, quint32 maximum);
    static constexpr std::size_t k_batchPowerModules = 32;
    struct PoweredIo
    {
        const TVQQModuleBase *Module = nullptr;
        quint16 Channel = 0;
        quint16 Power = 0;
        quint32 Adds = 0;  // what it adds to the total now
    };
    TRecordSet &ListsFor(bool pending) { return pending ? m_pending : m_current; }

    QByteArray m_name;
    TVISUALQvpInfo m_settings;
    UserMessages *m_messages = nullptr;
    SerialPort *m_link = nullptr;
    TLinkSession *m_session = nullptr;
    quint16 m_powerTotal = 0;
    int m_batch = 0;
    std::vector<const TVQQModuleBase *> m_powerModules;  // changed in the batch under way
    bool m_powerAll = false;                              // or count every IO again at its end
    TProgramLists *m_lists = nullptr;
    std::vector<PoweredIo> m_powered;
    std::unordered_map<const TVQQModuleBase *, std::vector<std::size_t>> m_poweredByModule;
    quint64 m_poweredGeneration = 0;  // the lists' generation the powered IOs were made for
    bool m_poweredValid = false;
    quint32 m_powerSum = 0;
    TFrameAssembler m_assembler;
    quint64 m_droppedFrames = 0;
    quint64 m_damagedFrames = 0;

    TRecordSet m_current;
    // Indexes of the current lists, made again when first asked for after they changed.
    void MakeIndexes() const;
    mutable QHash<quint32, quint16> m_ioIndex;  // (module << 16 | channel) to the first IO's position
    mutable QHash<quint16, ModuleRecord *> m_moduleIndex;  // number to the first module
    mutable quint16 m_interfacePosition = NotFound;
    mutable bool m_indexesValid = false;
    TRecordSet m_pending;
    TUpdateComparison m_comparison;

    // Record pools: a deque keeps every record at its address while it grows.
    std::deque<ModuleRecord> m_modulePool;
    std::deque<IoRecord> m_ioPool;
    std::deque<MemoRecord> m_memoPool;
    std::deque<MemoListRecord> m_memoListPool;
    std::deque<VariableRecord> m_variablePool;
    std::deque<Param32Record> m_param32Pool;
};
