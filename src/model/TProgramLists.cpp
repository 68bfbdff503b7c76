#include "TProgramLists.h"

#include "SerialPort.h"
#include "TCodePage.h"
#include "TDataFileManager.h"
#include "TModelFactory.h"
#include "TModuleTypes.h"
#include "TVQQMemoBaseItem.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"
#include "UserMessages.h"

TProgramLists::TProgramLists(QObject *parent, const QString &programFolder, UserMessages *messages)
    : QObject(parent)
    , m_programFolder(programFolder)
    , m_messages(messages)
{
}

TProgramLists::~TProgramLists() = default;

void TProgramLists::AddApplication(TDataFileManager &application, SerialPort *link)
{
    ++m_generation;
    // The new objects come after every other in list order: they join the indexes (a key already
    // there keeps its first object) instead of every index being built again for each application.
    const auto join = [this](auto &index, const Key &key, auto *object) {
        if (m_indexed && !index.contains(key))
            index.insert(key, object);
    };
    if (!link) {
        link = new SerialPort(this, m_programFolder, m_messages);
        m_owned.push_back(link);
    }
    m_links.push_back(link);
    application.SetLink(link);
    application.SetProgramLists(this);

    AttachInterface(application, link);

    for (ModuleRecord *record : application.Current().Modules) {
        if (auto module = TModelFactory::CreateModule(&application, record, link)) {
            join(m_moduleIndex, {&application, module->GetModuleNumber()}, module.get());
            m_modules.push_back(std::move(module));
        }
    }
    const std::vector<MemoRecord *> &memos = application.Current().Memos;
    for (size_t i = 0; i < memos.size(); ++i) {
        if (memos[i]->Defined != 1)
            continue;
        if (auto item = TModelFactory::CreateMemoItem(&application, memos[i], link)) {
            item->SetMemoNumber(quint16(i));
            item->SetMemoList(&application.Current().MemoList);
            item->ResolveIo(*this);
            join(m_memoIndex, {&application, item->GetMemoNumber()}, item.get());
            if (m_indexed && item->GetModule())
                m_memosByModule.insert(item->GetModule(), item.get());
            m_memos.push_back(std::move(item));
        }
    }
    const std::vector<VariableRecord *> &variables = application.Current().Variables;
    for (size_t i = 0; i < variables.size(); ++i) {
        if (variables[i]->Defined != 1)
            continue;
        if (auto item = TModelFactory::CreateVariableItem(&application, variables[i], link)) {
            item->SetVariableNumber(quint16(i));
            join(m_variableIndex, {&application, item->GetVariableNumber()}, item.get());
            m_variables.push_back(std::move(item));
        }
    }
}

void TProgramLists::AttachInterface(TDataFileManager &application, SerialPort *link)
{
    quint16 interfaceNumber = 0;
    const quint16 position = application.FindInterfaceModule(interfaceNumber);
    if (position != TDataFileManager::NotFound) {
        link->SetInterface(position, interfaceNumber);
        link->SetLinkKind(application.Settings().LinkKind);
    } else if (m_messages && !application.Current().Modules.empty()) {
        // (With no module at all, its data was not found: the open says so, with what it costs.)
        m_messages->ShowMessage(QStringLiteral("Warning No visual communication module in application:\n")
                                + TCodePage::ToDisplay(TDataFileManager::FileNamePart(application.Settings().SourcePath)));
    }
}

void TProgramLists::FollowUpdate(TDataFileManager &application)
{
    // Each current record is claimed by at most one module object, the first of its number.
    std::vector<ModuleRecord *> unclaimed = application.Current().Modules;
    const auto claim = [&unclaimed](quint16 number, ModuleKind kind) -> ModuleRecord * {
        for (auto it = unclaimed.begin(); it != unclaimed.end(); ++it) {
            if ((*it)->ModuleNumber == number && TModuleTypes::KindOf((*it)->ModuleType) == kind) {
                ModuleRecord *record = *it;
                unclaimed.erase(it);
                return record;
            }
        }
        return nullptr;
    };
    std::erase_if(m_modules, [&](const std::unique_ptr<TVQQModuleBase> &module) {
        if (module->GetApplication() != &application)
            return false;
        ModuleRecord *record = claim(module->GetModuleNumber(), module->Kind());
        if (record)
            module->SetRecord(record);
        return record == nullptr;
    });
    for (ModuleRecord *record : unclaimed) {
        if (auto module = TModelFactory::CreateModule(&application, record, application.Link()))
            m_modules.push_back(std::move(module));
    }
    m_indexed = false;
    ++m_generation;

    for (const ChangeRecord &change : application.Comparison().Changes()) {
        if (change.Kind == ChangeRecord::Kinds::NewMemo) {
            if (auto item = TModelFactory::CreateMemoItem(&application, change.Memo, application.Link())) {
                item->SetMemoNumber(application.MemoIndexOf(change.Memo));
                item->SetMemoList(&application.Current().MemoList);
                m_memos.push_back(std::move(item));
            }
        } else if (change.Kind == ChangeRecord::Kinds::NewVariable) {
            if (auto item = TModelFactory::CreateVariableItem(&application, change.Variable, application.Link())) {
                item->SetVariableNumber(application.VariableIndexOf(change.Variable));
                m_variables.push_back(std::move(item));
            }
        }
    }
    for (const auto &memo : m_memos) {
        if (memo->GetApplication() == &application)
            memo->ResolveIo(*this);
    }
    if (SerialPort *link = application.Link())
        AttachInterface(application, link);
    m_indexed = false;
    ++m_generation;
}

void TProgramLists::RemoveApplication(TDataFileManager &application)
{
    m_indexed = false;
    ++m_generation;
    for (const auto &memo : m_memos) {
        if (memo->GetApplication() == &application)
            m_memoStates.remove(memo.get());
    }
    std::erase_if(m_memos, [&](const auto &item) { return item->GetApplication() == &application; });
    std::erase_if(m_variables, [&](const auto &item) { return item->GetApplication() == &application; });
    std::erase_if(m_modules, [&](const auto &module) { return module->GetApplication() == &application; });
    if (SerialPort *link = application.Link()) {
        std::erase(m_links, link);
        if (std::erase(m_owned, link))
            link->deleteLater();
    }
    application.SetLink(nullptr);
    application.SetProgramLists(nullptr);
}

void TProgramLists::BuildIndexes() const
{
    // Walked backwards, so the first object of each key in list order is the one kept.
    m_moduleIndex.clear();
    m_memoIndex.clear();
    m_variableIndex.clear();
    m_memosByModule.clear();
    for (const auto &memo : m_memos) {
        if (memo->GetModule())
            m_memosByModule.insert(memo->GetModule(), memo.get());
    }
    for (auto it = m_modules.rbegin(); it != m_modules.rend(); ++it)
        m_moduleIndex.insert({(*it)->GetApplication(), (*it)->GetModuleNumber()}, it->get());
    for (auto it = m_memos.rbegin(); it != m_memos.rend(); ++it)
        m_memoIndex.insert({(*it)->GetApplication(), (*it)->GetMemoNumber()}, it->get());
    for (auto it = m_variables.rbegin(); it != m_variables.rend(); ++it)
        m_variableIndex.insert({(*it)->GetApplication(), (*it)->GetVariableNumber()}, it->get());
    m_indexed = true;
}

TVQQModuleBase *TProgramLists::FindModule(const TDataFileManager *application, quint16 moduleNumber) const
{
    if (!m_indexed)
        BuildIndexes();
    return m_moduleIndex.value({application, moduleNumber}, nullptr);
}

TVQQMemoBaseItem *TProgramLists::FindMemo(const TDataFileManager *application, quint16 memoNumber) const
{
    if (!m_indexed)
        BuildIndexes();
    return m_memoIndex.value({application, memoNumber}, nullptr);
}

TVQQVariableBaseItem *TProgramLists::FindVariable(const TDataFileManager *application, quint16 variableNumber) const
{
    if (!m_indexed)
        BuildIndexes();
    return m_variableIndex.value({application, variableNumber}, nullptr);
}

void TProgramLists::SetPower(quint32 current, bool setMaximum, quint32 maximum)
{
    m_currentPower = current;
    if (setMaximum)
        m_powerScaleMaximum = maximum;
    emit powerChanged();
}

void TProgramLists::ModuleStateChanged(TVQQModuleBase &module, quint8 parts)
{
    emit moduleChanged(&module, parts);
    if (!m_indexed)
        BuildIndexes();
    for (auto it = m_memosByModule.constFind(&module); it != m_memosByModule.constEnd() && it.key() == &module; ++it) {
        TVQQMemoBaseItem *memo = it.value();
        const QByteArray state = memo->GetStateText();
        auto last = m_memoStates.find(memo);
        if (last != m_memoStates.end() && *last == state)
            continue;
        m_memoStates.insert(memo, state);
        emit memoChanged(memo);
    }
}

void TProgramLists::VariableValueChanged(TVQQVariableBaseItem &variable)
{
    emit variableChanged(&variable);
}
