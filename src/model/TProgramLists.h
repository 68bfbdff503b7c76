#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class SerialPort;
class TDataFileManager;
class TVQQMemoBaseItem;
class TVQQModuleBase;
class TVQQVariableBaseItem;
class UserMessages;

// The program-wide lists of the live model: every application's link, module objects, memo
// items and variable items, and the power shown by the gauges. Owned by the main window (or a
// tool), it owns the links and model objects; the applications must outlive what it built for
// them or be removed first.
class TProgramLists : public QObject
{
    Q_OBJECT

public:
    // Counts every change of the model objects (applications added, updated or removed): what
    // was resolved against an earlier generation is resolved again.
    quint64 Generation() const { return m_generation; }
    TProgramLists(QObject *parent, const QString &programFolder, UserMessages *messages);
    ~TProgramLists() override;

    // Creates the application's link, hands it to the application and builds its model
    // objects: the interface module found (or the warning shown), one module object per module
    // with a kind, one memo item per defined memo, one variable item per defined variable.
    // `link`, when given, is used instead of a new one and stays owned by the caller.
    void AddApplication(TDataFileManager &application, SerialPort *link = nullptr);
    // After an update the model objects follow the new lists: a module object whose number is
    // still there with a module of its kind takes the new record (its controls stay), the others
    // go, a module without an object gets one; new memos and variables of the change list get
    // their items; every memo finds its IO again and the interface module is looked up again.
    void FollowUpdate(TDataFileManager &application);
    // Destroys the model objects and the link built for this application.
    void RemoveApplication(TDataFileManager &application);

    // First match in list order, or none. An index beside the lists answers in constant time;
    // it is rebuilt after the lists change.
    TVQQModuleBase *FindModule(const TDataFileManager *application, quint16 moduleNumber) const;
    TVQQMemoBaseItem *FindMemo(const TDataFileManager *application, quint16 memoNumber) const;
    TVQQVariableBaseItem *FindVariable(const TDataFileManager *application, quint16 variableNumber) const;

    const std::vector<std::unique_ptr<TVQQModuleBase>> &Modules() const { return m_modules; }
    const std::vector<std::unique_ptr<TVQQMemoBaseItem>> &Memos() const { return m_memos; }
    const std::vector<std::unique_ptr<TVQQVariableBaseItem>> &Variables() const { return m_variables; }
    const std::vector<SerialPort *> &Links() const { return m_links; }

    // The power total last computed and the gauges' scale maximum, in watts.
    quint32 CurrentPower() const { return m_currentPower; }
    quint32 PowerScaleMaximum() const { return m_powerScaleMaximum; }
    void SetPower(quint32 current, bool setMaximum, quint32 maximum);

    const QString &ProgramFolder() const { return m_programFolder; }

    // Called by the model objects when their state changed (a report, a test-mode click, test
    // mode left): the change is announced, with the memos whose state follows it.
    void ModuleStateChanged(TVQQModuleBase &module, quint8 parts);
    void VariableValueChanged(TVQQVariableBaseItem &variable);

signals:
    // The power total was computed again (changed or not).
    void powerChanged();
    // A module's state changed in these parts (StatePart bits); the module is valid during the
    // call. Once per real change: a repeated report of the same state says nothing.
    void moduleChanged(TVQQModuleBase *module, quint8 parts);
    // A memo's shown state (from the IO it follows) or a variable's value changed; valid during
    // the call.
    void memoChanged(TVQQMemoBaseItem *memo);
    void variableChanged(TVQQVariableBaseItem *variable);

private:
    // The interface module's position and number given to the application's link, or the
    // warning when there is none.
    void AttachInterface(TDataFileManager &application, SerialPort *link);

    QString m_programFolder;
    UserMessages *m_messages = nullptr;
    std::vector<SerialPort *> m_links;
    std::vector<SerialPort *> m_owned;  // links this object created (children of it)
    std::vector<std::unique_ptr<TVQQModuleBase>> m_modules;
    std::vector<std::unique_ptr<TVQQMemoBaseItem>> m_memos;
    std::vector<std::unique_ptr<TVQQVariableBaseItem>> m_variables;
    using Key = QPair<const TDataFileManager *, quint16>;
    void BuildIndexes() const;
    mutable bool m_indexed = false;
    quint64 m_generation = 0;
    mutable QHash<Key, TVQQModuleBase *> m_moduleIndex;
    mutable QHash<Key, TVQQMemoBaseItem *> m_memoIndex;
    mutable QHash<Key, TVQQVariableBaseItem *> m_variableIndex;
    mutable QMultiHash<const TVQQModuleBase *, TVQQMemoBaseItem *> m_memosByModule;
    QHash<const TVQQMemoBaseItem *, QByteArray> m_memoStates;  // as last announced
    quint32 m_currentPower = 0;
    quint32 m_powerScaleMaximum = 0;
};
