#pragma once

#include "SerialPort.h"

#include <QByteArray>
#include <QPointer>

#include <vector>

class TDataFileManager;
class TProgramLists;
class TVQQModuleBase;
struct MemoListRecord;
struct MemoRecord;

// The live model of one defined memo: its number (what the recall carries), its kind and the one
// IO whose state stands for the memo on screen. Holds its application, record, link and module
// without owning them.
class TVQQMemoBaseItem
{
public:
    TVQQMemoBaseItem(TDataFileManager *application, MemoRecord *record, SerialPort *link);
    virtual ~TVQQMemoBaseItem();

    // "On", "Off" (and "None" for shutter memos) from the followed IO.
    virtual QByteArray GetStateText() const;
    // Sends the recall command; without a link the kinds show "No Serial Port Defined".
    virtual void SendRecall();

    // Follows the memo's first memo-list entry to its IO and that IO's module object in `lists`.
    // False when the memo's state cannot be followed.
    bool ResolveIo(const TProgramLists &lists);

    QByteArray GetKindText() const;
    QByteArray GetName() const;
    TDataFileManager *GetApplication() const { return m_application; }
    MemoRecord *GetRecord() const { return m_record; }
    quint8 GetMemoKind() const;
    TVQQModuleBase *GetModule() const { return m_module; }
    quint16 GetChannel() const { return m_channel; }
    quint8 GetEntryKind() const { return m_entryKind; }
    quint16 GetMemoNumber() const { return m_memoNumber; }
    void SetMemoNumber(quint16 number) { m_memoNumber = number; }
    void SetMemoList(const std::vector<MemoListRecord *> *list) { m_memoList = list; }

protected:
    // The followed IO's channel state, or none when there is no IO to follow.
    bool FollowedState(quint8 &state) const;
    void Recall();

private:
    TDataFileManager *m_application = nullptr;
    MemoRecord *m_record = nullptr;
    QPointer<SerialPort> m_link;  // the application's link, which may go first
    quint16 m_memoNumber = 0;
    const std::vector<MemoListRecord *> *m_memoList = nullptr;
    quint8 m_entryKind = 0;
    TVQQModuleBase *m_module = nullptr;
    quint16 m_channel = 0;
};

// A mixed memo (kind 0).
class TVQQMemoMixte : public TVQQMemoBaseItem
{
public:
    using TVQQMemoBaseItem::TVQQMemoBaseItem;
    QByteArray GetStateText() const override;
    void SendRecall() override { Recall(); }
};

// A shutter memo (kind 1): "None" while its shutter is in neither position.
class TVQQMemoZul : public TVQQMemoBaseItem
{
public:
    using TVQQMemoBaseItem::TVQQMemoBaseItem;
    QByteArray GetStateText() const override;
    void SendRecall() override { Recall(); }
};

// A dimmer memo (kind 2).
class TVQQMemoDim : public TVQQMemoBaseItem
{
public:
    using TVQQMemoBaseItem::TVQQMemoBaseItem;
    QByteArray GetStateText() const override;
    void SendRecall() override { Recall(); }
};
