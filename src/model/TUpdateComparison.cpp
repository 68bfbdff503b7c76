#include "TUpdateComparison.h"

#include "InstallationRecords.h"
#include "TCodePage.h"
#include "TDataFileManager.h"

#include <algorithm>
#include <functional>

namespace {

using Kinds = ChangeRecord::Kinds;

template <typename T>
T *At(const std::vector<T *> &list, size_t position)
{
    return position < list.size() ? list[position] : nullptr;
}

// Memos and variables are compared by position: a defined entry that is gone, no longer defined
// or renamed, and a defined pending entry whose place was empty.
template <typename Record>
void CompareByPosition(const std::vector<Record *> &current, const std::vector<Record *> &pending, Kinds gone,
                       Kinds renamed, Kinds added, const std::function<void(Kinds, Record *)> &add)
{
    for (size_t i = 0; i < current.size(); ++i) {
        Record *c = current[i];
        if (c->Defined != 1)
            continue;
        const Record *p = At(pending, i);
        if (!p || p->Defined != 1)
            add(gone, c);
        else if (p->Name != c->Name)
            add(renamed, c);
    }
    for (size_t i = 0; i < pending.size(); ++i) {
        Record *p = pending[i];
        const Record *c = At(current, i);
        if (p->Defined == 1 && (!c || c->Defined != 1))
            add(added, p);
    }
}

} // namespace

bool TUpdateComparison::Compare(const TRecordSet &current, const TRecordSet &pending)
{
    m_changes.clear();
    const auto addModule = [this](Kinds kind, ModuleRecord *module) { m_changes.push_back({kind, module, nullptr, nullptr}); };

    // Modules pair one to one by serial number: a module found with the same serial and the same
    // number pairs first, so that modules sharing a serial (0 on modules never read) keep theirs.
    std::vector<const ModuleRecord *> partner(current.Modules.size(), nullptr);
    std::vector<bool> taken(pending.Modules.size(), false);
    const auto pair = [&](bool sameNumber) {
        for (size_t c = 0; c < current.Modules.size(); ++c) {
            if (partner[c])
                continue;
            const ModuleRecord *m = current.Modules[c];
            for (size_t p = 0; p < pending.Modules.size(); ++p) {
                const ModuleRecord *q = pending.Modules[p];
                if (!taken[p] && q->SerialNumber == m->SerialNumber && (!sameNumber || q->ModuleNumber == m->ModuleNumber)) {
                    partner[c] = q;
                    taken[p] = true;
                    break;
                }
            }
        }
    };
    pair(true);
    pair(false);
    for (size_t c = 0; c < current.Modules.size(); ++c) {
        ModuleRecord *m = current.Modules[c];
        if (const ModuleRecord *p = partner[c]) {
            if (p->ModuleNumber != m->ModuleNumber)
                addModule(Kinds::ModuleNumberChanged, m);
            if (p->ModuleOptions != m->ModuleOptions)
                addModule(Kinds::ModuleOptionsChanged, m);
        } else if (const ModuleRecord *q = pending.ModuleByNumber(m->ModuleNumber)) {
            addModule(q->ModuleType != m->ModuleType ? Kinds::ModuleAway : Kinds::ReplacedModule, m);
        } else {
            addModule(Kinds::ModuleAway, m);
        }
    }
    for (size_t p = 0; p < pending.Modules.size(); ++p) {
        if (!taken[p])
            addModule(Kinds::NewModule, pending.Modules[p]);
    }
    CompareByPosition<MemoRecord>(current.Memos, pending.Memos, Kinds::MemoNotFound, Kinds::MemoNameChanged,
                                  Kinds::NewMemo, [this](Kinds kind, MemoRecord *memo) {
                                      m_changes.push_back({kind, nullptr, memo, nullptr});
                                  });
    CompareByPosition<VariableRecord>(current.Variables, pending.Variables, Kinds::VariableNotFound,
                                      Kinds::VariableNameChanged, Kinds::NewVariable,
                                      [this](Kinds kind, VariableRecord *variable) {
                                          m_changes.push_back({kind, nullptr, nullptr, variable});
                                      });
    return !m_changes.empty();
}

bool TUpdateComparison::ModuleWasDropped(quint16 moduleNumber) const
{
    for (const ChangeRecord &change : m_changes) {
        if (change.Module && change.Module->ModuleNumber == moduleNumber)
            return change.Kind == Kinds::ModuleAway || change.Kind == Kinds::ModuleNumberChanged;
    }
    return false;
}

bool TUpdateComparison::MemoWasDropped(const MemoRecord *record) const
{
    return std::any_of(m_changes.begin(), m_changes.end(), [record](const ChangeRecord &c) {
        return c.Kind == Kinds::MemoNotFound && c.Memo == record;
    });
}

bool TUpdateComparison::VariableWasDropped(const VariableRecord *record) const
{
    return std::any_of(m_changes.begin(), m_changes.end(), [record](const ChangeRecord &c) {
        return c.Kind == Kinds::VariableNotFound && c.Variable == record;
    });
}

void TUpdateComparison::FormatChangeReport(QStringList &lines) const
{
    lines.clear();
    struct Group
    {
        Kinds kind;
        const char *title;
        int underline;
    };
    static constexpr Group groups[] = {
        {Kinds::ModuleAway, "Module away", 18},        {Kinds::NewModule, "New module", 13},
        {Kinds::ReplacedModule, "Replaced module", 21}, {Kinds::NewMemo, "New Memo", 16},
        {Kinds::MemoNotFound, "Memo Not Found", 21},    {Kinds::NewVariable, "New variable", 21},
        {Kinds::VariableNotFound, "Variable Not Found", 21}, {Kinds::VariableNameChanged, "Modified Variable", 21},
    };
    for (const Group &group : groups) {
        QStringList entries;
        for (const ChangeRecord &change : m_changes) {
            if (change.Kind != group.kind)
                continue;
            if (change.Module)
                entries.append(TCodePage::ToDisplay(change.Module->Name) + QStringLiteral(" [")
                               + QString::number(change.Module->SerialNumber & 0xFFFFFF) + QStringLiteral("]"));
            else if (change.Memo)
                entries.append(TCodePage::ToDisplay(change.Memo->Name));
            else if (change.Variable)
                entries.append(TCodePage::ToDisplay(change.Variable->Name));
        }
        if (entries.isEmpty())
            continue;
        lines.append(QString::fromLatin1(group.title));
        lines.append(QString(group.underline, QLatin1Char('-')));
        lines.append(entries);
        if (group.kind != Kinds::VariableNameChanged)
            lines.append(QString());
    }
    if (lines.isEmpty())
        lines.append(QStringLiteral("No changes detected"));
}
