#include "TDataFileManager.h"

#include "TApplicationFiles.h"
#include "TCodePage.h"
#include "TFieldReader.h"
#include "TFileAccess.h"
#include "TFieldWriter.h"
#include "TLineReader.h"
#include "TLinkSession.h"
#include "TModuleTypes.h"
#include "TProgramLists.h"
#include "TRecordFormat.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"
#include "UserMessages.h"

#include <QFileInfo>

#include <algorithm>
#include <utility>


namespace {

template <typename T>
T *Keep(std::deque<T> &pool, std::vector<T *> &list, const T &record)
{
    pool.push_back(record);
    list.push_back(&pool.back());
    return &pool.back();
}

template <typename T>
T *At(const std::vector<T *> &list, qsizetype position)
{
    return position >= 0 && position < qsizetype(list.size()) ? list[size_t(position)] : nullptr;
}

template <typename T>
quint16 IndexOf(const std::vector<T *> &list, const T *record)
{
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] == record)
            return quint16(i);
    }
    return 0;
}

} // namespace

ModuleRecord *TRecordSet::ModuleByNumber(quint16 number) const
{
    const auto found = std::find_if(Modules.begin(), Modules.end(), [number](const ModuleRecord *r) { return r->ModuleNumber == number; });
    return found != Modules.end() ? *found : nullptr;
}

ModuleRecord *TRecordSet::ModuleBySerial(quint32 serial) const
{
    const auto found = std::find_if(Modules.begin(), Modules.end(), [serial](const ModuleRecord *r) { return r->SerialNumber == serial; });
    return found != Modules.end() ? *found : nullptr;
}

void TRecordSet::Clear()
{
    Modules.clear();
    Ios.clear();
    Memos.clear();
    MemoList.clear();
    Variables.clear();
    Param32s.clear();
}

TDataFileManager::TDataFileManager(QObject *owner, const QByteArray &name, UserMessages *messages)
    : QObject(owner)
    , m_name(name)
    , m_messages(messages)
    , m_session(new TLinkSession(*this))
    , m_assembler([this](QByteArrayView text) { DecodeFrame(text); })
{
}

TDataFileManager::~TDataFileManager() = default;

void TDataFileManager::SetLink(SerialPort *link)
{
    m_link = link;
    m_session->AttachLink(link);
}

ModuleRecord *TDataFileManager::AddModule(const ModuleRecord &record, bool pending)
{
    if (!pending)
        m_indexesValid = false;
    return Keep(m_modulePool, ListsFor(pending).Modules, record);
}

IoRecord *TDataFileManager::AddIo(const IoRecord &record, bool pending)
{
    if (!pending)
        m_indexesValid = false;
    m_poweredValid = false;
    return Keep(m_ioPool, ListsFor(pending).Ios, record);
}

MemoRecord *TDataFileManager::AddMemo(const MemoRecord &record, bool pending)
{
    return Keep(m_memoPool, ListsFor(pending).Memos, record);
}

MemoListRecord *TDataFileManager::AddMemoListEntry(const MemoListRecord &record, bool pending)
{
    return Keep(m_memoListPool, ListsFor(pending).MemoList, record);
}

VariableRecord *TDataFileManager::AddVariable(const VariableRecord &record, bool pending)
{
    return Keep(m_variablePool, ListsFor(pending).Variables, record);
}

Param32Record *TDataFileManager::AddParam32(const Param32Record &record, bool pending)
{
    return Keep(m_param32Pool, ListsFor(pending).Param32s, record);
}

bool TDataFileManager::ExportImport(const QString &path, int mode)
{
    QByteArray key;
    if (!TCodePage::CheckStoredText(path, &key).isEmpty()) {
        if (m_messages)
            m_messages->ShowMessage(QStringLiteral("This file name cannot be kept in a project file:\n") + path);
        return false;
    }
    QByteArray content;
    bool tooLarge = false;
    if (!TFileAccess::Read(path, content, &tooLarge)) {
        if (tooLarge && m_messages)
            m_messages->ShowMessage(TFileAccess::TooLargeMessage(path));
        return false;
    }
    ImportExportContent(content, key, mode);
    return true;
}

void TDataFileManager::ImportExportContent(QByteArrayView content, const QByteArray &path, int mode)
{
    const bool pending = mode != ImportReplace;
    m_pending.Clear();
    if (!pending) {
        m_current.Clear();
        m_indexesValid = false;
        m_poweredValid = false;
        m_name = path;
    }
    TApplicationFiles::ReadExport(*this, content, pending);
}

QByteArray TDataFileManager::DataBlock() const
{
    return TApplicationFiles::DataBlock(*this);
}

bool TDataFileManager::WriteDataBlock(const QString &projectPath) const
{
    QString path = projectPath;
    if (!path.endsWith(QStringLiteral(".qvp")))
        path += QStringLiteral(".qvp");
    return TFileAccess::Append(path, DataBlock());
}

void TDataFileManager::ReadDataBlock(const QString &projectPath, const QByteArray &key)
{
    QByteArray content;
    if (TFileAccess::Read(projectPath, content))
        ReadDataBlockFrom(content, key);
}

void TDataFileManager::ReadDataBlockFrom(QByteArrayView content, const QByteArray &key)
{
    TApplicationFiles::ReadDataBlock(*this, content, key);
}

void TDataFileManager::MakeIndexes() const
{
    // The first IO of a (module, channel) pair and the first module of a number win, as a scan
    // would find them. Positions are 16-bit on the wire; a record past 0xFFFE cannot be addressed.
    m_ioIndex.clear();
    const size_t ios = qMin(m_current.Ios.size(), size_t(NotFound));
    m_ioIndex.reserve(qsizetype(ios));
    for (size_t i = 0; i < ios; ++i) {
        const IoRecord *r = m_current.Ios[i];
        const quint32 key = quint32(r->ModuleNumber) << 16 | r->Channel;
        if (!m_ioIndex.contains(key))
            m_ioIndex.insert(key, quint16(i));
    }
    m_moduleIndex.clear();
    m_interfacePosition = NotFound;
    const size_t modules = qMin(m_current.Modules.size(), size_t(NotFound));
    m_moduleIndex.reserve(qsizetype(m_current.Modules.size()));
    for (size_t i = 0; i < m_current.Modules.size(); ++i) {
        ModuleRecord *r = m_current.Modules[i];
        if (!m_moduleIndex.contains(r->ModuleNumber))
            m_moduleIndex.insert(r->ModuleNumber, r);
        // Only a module the wire can address serves as the interface.
        if (i < modules && m_interfacePosition == NotFound && TModuleTypes::IsInterfaceModule(r->ModuleType))
            m_interfacePosition = quint16(i);
    }
    m_indexesValid = true;
}

ModuleRecord *TDataFileManager::FindModuleByNumber(quint16 number) const
{
    if (!m_indexesValid)
        MakeIndexes();
    return m_moduleIndex.value(number, nullptr);
}

quint16 TDataFileManager::FindIoIndex(quint16 moduleNumber, quint16 channel) const
{
    if (!m_indexesValid)
        MakeIndexes();
    return m_ioIndex.value(quint32(moduleNumber) << 16 | channel, NotFound);
}

quint16 TDataFileManager::FindInterfaceModule(quint16 &number) const
{
    if (!m_indexesValid)
        MakeIndexes();
    if (m_interfacePosition != NotFound)
        number = m_current.Modules[m_interfacePosition]->ModuleNumber;
    return m_interfacePosition;
}

quint16 TDataFileManager::MemoIndexOf(const MemoRecord *record) const
{
    return IndexOf(m_current.Memos, record);
}

quint16 TDataFileManager::VariableIndexOf(const VariableRecord *record) const
{
    return IndexOf(m_current.Variables, record);
}

ModuleRecord *TDataFileManager::ModuleAt(qsizetype position) const
{
    return At(m_current.Modules, position);
}

IoRecord *TDataFileManager::IoAt(qsizetype position) const
{
    return At(m_current.Ios, position);
}

MemoRecord *TDataFileManager::MemoAt(qsizetype position) const
{
    return At(m_current.Memos, position);
}

MemoListRecord *TDataFileManager::MemoListAt(qsizetype position) const
{
    return At(m_current.MemoList, position);
}

VariableRecord *TDataFileManager::VariableAt(qsizetype position) const
{
    return At(m_current.Variables, position);
}

Param32Record *TDataFileManager::Param32At(quint8 kind, qsizetype position) const
{
    return kind == 21 ? At(m_current.Param32s, position) : nullptr;
}

QByteArray TDataFileManager::FileNamePart(const QByteArray &path)
{
    const qsizetype cut = qMax(path.lastIndexOf('\\'), path.lastIndexOf('/'));
    return path.mid(cut + 1);
}

void TDataFileManager::AssembleBytes(QByteArrayView bytes)
{
    m_assembler.AssembleBytes(bytes);
}

void TDataFileManager::DecodeFrame(QByteArrayView text)
{
    const TDecodedFrame frame = TFrameDecoder::Decode(text);
    emit frameDecoded(frame);
    if (!frame.IsAccepted()) {
        ++m_droppedFrames;
        if (frame.Outcome == TDecodedFrame::Result::BadChecksum || frame.Outcome == TDecodedFrame::Result::TooShort)
            ++m_damagedFrames;
        return;
    }
    if (!m_lists)
        return;
    // Values no module sends (a level above 100 %, a tenth digit above 9, a variable above its
    // maximum) are dropped as bad frames rather than shown.
    const auto outOfRange = [this] {
        ++m_droppedFrames;
    };
    if (frame.Type == MsgDimLevels && std::any_of(frame.Payload.begin(), frame.Payload.end(), [](char level) { return quint8(level) > 100; }))
        return outOfRange();
    if (frame.Type == MsgTemperature && frame.Payload.size() >= 4 && (quint8(frame.Payload[1]) > 9 || quint8(frame.Payload[3]) > 9))
        return outOfRange();
    switch (frame.Type) {
    case MsgInputStatus:
    case MsgInputStatus2:
        if (TVQQModuleBase *module = m_lists->FindModule(this, frame.ModuleNumber)) {
            module->MarkReported(PartInputs);
            module->SetInputStatus(frame.Payload);
            module->KeepReported(PartInputs);
        }
        break;
    case MsgOutputStatus:
        if (TVQQModuleBase *module = m_lists->FindModule(this, frame.ModuleNumber)) {
            module->MarkReported(PartOutputs);
            module->SetOutputStatus(frame.Payload);
            module->KeepReported(PartOutputs);
        }
        PowerChanged(m_lists->FindModule(this, frame.ModuleNumber));
        break;
    case MsgDimLevels:
        if (TVQQModuleBase *module = m_lists->FindModule(this, frame.ModuleNumber)) {
            module->MarkReported(PartLevels);
            module->SetLevels(frame.Payload);
            module->KeepReported(PartLevels);
        }
        PowerChanged(m_lists->FindModule(this, frame.ModuleNumber));
        break;
    case MsgTemperature:
        if (TVQQModuleBase *module = m_lists->FindModule(this, frame.ModuleNumber)) {
            module->MarkReported(PartTemperature);
            module->SetTemperature(frame.Payload);
            module->KeepReported(PartTemperature);
        }
        break;
    case MsgVariable:
        if (TVQQVariableBaseItem *item = m_lists->FindVariable(this, frame.VariableNumber)) {
            const quint8 value = frame.Payload.isEmpty() ? 0 : quint8(frame.Payload[0]);
            const quint8 maximum = item->GetVariableKind() == 0 ? 1 : item->GetMaxValue();
            if (value > maximum && (item->GetVariableKind() == 0 || maximum != 0))
                return outOfRange();
            item->MarkReported();
            item->SetValue(frame.Payload);
        }
        break;
    default:
        break;
    }
}

void TDataFileManager::PowerChanged(const TVQQModuleBase *module)
{
    // An output message recomputes the power even for a module the project does not have. In a
    // batch, the modules it changed are counted again at its end; all IOs when it changed many.
    if (m_batch > 0) {
        if (!module || m_powerModules.size() >= k_batchPowerModules)
            m_powerAll = true;
        else
            m_powerModules.push_back(module);
    } else if (module) {
        ModulePowerChanged(*module);
    } else {
        RecomputePower(false);
    }
}

void TDataFileManager::EndBatch()
{
    if (m_batch > 0)
        --m_batch;
    if (m_batch > 0 || (!m_powerAll && m_powerModules.empty()))
        return;
    if (std::exchange(m_powerAll, false))
        RecomputePower(false);
    else
        ModulesPowerChanged(m_powerModules);
    m_powerModules.clear();
}

void TDataFileManager::ApplyPending()
{
    // Records that leave the current lists stay in the pools: older model objects point at them.
    m_current = m_pending;
    m_indexesValid = false;
    m_poweredValid = false;
    m_pending.Clear();
}
