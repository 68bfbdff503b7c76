#include "TVQQMemoBaseItem.h"

#include "InstallationRecords.h"
#include "TDataFileManager.h"
#include "TFrameBuilder.h"
#include "TProgramLists.h"
#include "TVQQModuleBase.h"
#include "UserMessages.h"

TVQQMemoBaseItem::TVQQMemoBaseItem(TDataFileManager *application, MemoRecord *record, SerialPort *link)
    : m_application(application)
    , m_record(record)
    , m_link(link)
{
}

TVQQMemoBaseItem::~TVQQMemoBaseItem() = default;

QByteArray TVQQMemoBaseItem::GetStateText() const
{
    return "Off";
}

void TVQQMemoBaseItem::SendRecall()
{
}

bool TVQQMemoBaseItem::ResolveIo(const TProgramLists &lists)
{
    // Resolved again after an update: the module object found before may be gone.
    m_module = nullptr;
    m_channel = 0;
    if (!m_memoList || m_memoList->empty())
        return false;
    if (m_record->FirstEntryIndex >= m_memoList->size())
        return false;
    const MemoListRecord *entry = (*m_memoList)[m_record->FirstEntryIndex];
    if (m_record->Defined == 0) {
        m_module = nullptr;
        m_channel = 0;
        return false;
    }
    m_entryKind = entry->EntryKind;
    if (m_entryKind != 2)
        return true;  // nothing to follow
    if (const IoRecord *io = m_application->IoAt(entry->IoIndex)) {
        m_module = lists.FindModule(m_application, io->ModuleNumber);
        m_channel = io->Channel;
    } else {
        m_module = nullptr;
    }
    return true;
}

bool TVQQMemoBaseItem::FollowedState(quint8 &state) const
{
    if (m_entryKind != 2 || !m_module)
        return false;
    m_module->GetChannelState(state, m_channel);
    return true;
}

void TVQQMemoBaseItem::Recall()
{
    if (!m_link) {
        if (UserMessages *messages = m_application->Messages())
            messages->ShowMessage(QStringLiteral("No Serial Port Defined"));
        return;
    }
    TFrameBuilder::BuildMemoCommand(*m_link, m_memoNumber);
}

QByteArray TVQQMemoBaseItem::GetKindText() const
{
    switch (m_record->MemoKind) {
    case 1: return "ZUL memo";
    case 2: return "Dimmer memo";
    default: return "Memo";
    }
}

QByteArray TVQQMemoBaseItem::GetName() const
{
    return m_record->Name;
}

quint8 TVQQMemoBaseItem::GetMemoKind() const
{
    return m_record->MemoKind;
}

QByteArray TVQQMemoMixte::GetStateText() const
{
    quint8 state = 0;
    return FollowedState(state) && state == 1 ? "On" : "Off";
}

QByteArray TVQQMemoZul::GetStateText() const
{
    quint8 state = 0;
    if (!FollowedState(state))
        return "Off";
    switch (state) {
    case 1: return "On";
    case 2: return "None";
    default: return "Off";
    }
}

QByteArray TVQQMemoDim::GetStateText() const
{
    quint8 state = 0;
    if (!FollowedState(state))
        return "Off";
    // A dimmer channel reports its level: any level above 0 is on.
    if (GetModule()->Kind() == ModuleKind::Dim)
        return state != 0 ? "On" : "Off";
    return state == 1 ? "On" : "Off";
}
