#pragma once

#include <QMimeData>
#include <QPointer>

class TDataFileManager;
class TMyForm11;
struct IoRecord;
struct MemoRecord;
struct VariableRecord;

// What an entry of a search list stands for, carried by a drag to the screen it is dropped on.
// The application and the one record that matches the entry's kind are set.
struct ListItemData
{
    enum Kinds : quint8 { KindScreen = 1, KindModuleIo = 2, KindMemo = 5, KindVariable = 6 };

    IoRecord *Io = nullptr;
    QPointer<TDataFileManager> Application;  // may be removed while a drag is on its way
    TMyForm11 *Screen = nullptr;
    MemoRecord *Memo = nullptr;
    VariableRecord *Variable = nullptr;
    quint8 Kind = 0;
    quint16 Index = 0;  // the memo's or variable's number: its place in the application's list
};

// What a search list drags: the entry's data, readable only by the program's own windows.
class TListItemMime : public QMimeData
{
    Q_OBJECT

public:
    static constexpr const char *Format = "application/x-quelnor-list-item";

    explicit TListItemMime(const ListItemData &item) : m_item(item)
    {
        setData(QString::fromLatin1(Format), QByteArray());
    }
    const ListItemData &Item() const { return m_item; }

private:
    ListItemData m_item;
};
