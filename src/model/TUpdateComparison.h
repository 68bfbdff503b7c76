#pragma once

#include <QStringList>

#include <vector>

struct MemoRecord;
struct ModuleRecord;
struct TRecordSet;
struct VariableRecord;

// One difference between an application and a new export of it.
struct ChangeRecord
{
    enum class Kinds : quint8 {
        ModuleAway = 1, ModuleNumberChanged = 2, ModuleOptionsChanged = 3, NewModule = 4, ReplacedModule = 5,
        MemoNotFound = 6, NewMemo = 7, MemoNameChanged = 8, VariableNotFound = 9, NewVariable = 10,
        VariableNameChanged = 11,
    };
    Kinds Kind = Kinds::ModuleAway;
    ModuleRecord *Module = nullptr;
    MemoRecord *Memo = nullptr;
    VariableRecord *Variable = nullptr;
};

// The comparison of an application's current lists with a new export read into its pending
// lists: the change list, what went, and the report of the update viewer. The changes point
// into the application's record pools.
class TUpdateComparison
{
public:
    // True when there is a difference.
    bool Compare(const TRecordSet &current, const TRecordSet &pending);
    const std::vector<ChangeRecord> &Changes() const { return m_changes; }
    bool ModuleWasDropped(quint16 moduleNumber) const;
    bool MemoWasDropped(const MemoRecord *record) const;
    bool VariableWasDropped(const VariableRecord *record) const;
    void FormatChangeReport(QStringList &lines) const;

private:
    std::vector<ChangeRecord> m_changes;
};
