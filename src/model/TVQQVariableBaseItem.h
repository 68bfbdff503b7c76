#pragma once

#include "TBoundControl.h"
#include "TBoundControlList.h"
#include "SerialPort.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QPointer>

#include <vector>

class TBoundControl;
class TDataFileManager;
struct VariableRecord;

// The live model of one defined variable of the installation's master: the last value received
// and the commands that change it. Holds its application, record and link without owning them.
class TVQQVariableBaseItem
{
public:
    TVQQVariableBaseItem(TDataFileManager *application, VariableRecord *record, SerialPort *link);
    virtual ~TVQQVariableBaseItem();

    // Steps a value variable; nothing for the others.
    virtual void SendStep();
    virtual QByteArray GetValueText() const;

    // Boolean click: the toggle command. Without a link: "No Serial Port Defined".
    void SendToggleVariable();
    // Sets a value variable back to its start.
    void SendWrap();
    // Value click: a step while the value is below the maximum, else the wrap.
    void SendValueClick();

    // The installation's answer: the first payload byte; then the bound controls re-read.
    void SetValue(QByteArrayView payload);
    // A status frame is about to report the value; how far the value can be trusted.
    void MarkReported();
    StateTrust Trust() const;
    void RefreshTrust() { m_controls.RefreshTrust(); }
    void AddControl(TBoundControl *control) { m_controls.Add(control); }
    void RemoveControl(TBoundControl *control) { m_controls.Remove(control); }
    std::vector<TBoundControl *> Controls() const { return m_controls.Controls(); }

    QByteArray GetStateText() const;
    QByteArray GetKindText() const;
    quint8 GetValue() const { return m_value; }
    quint8 GetMaxValue() const;
    quint8 GetVariableKind() const;
    QByteArray GetName() const;
    VariableRecord *GetRecord() const { return m_record; }
    TDataFileManager *GetApplication() const { return m_application; }
    quint16 GetVariableNumber() const { return m_variableNumber; }
    void SetVariableNumber(quint16 number) { m_variableNumber = number; }

protected:
    // False, after the message, when there is no link.
    bool HasLink() const;
    SerialPort *Link() const { return m_link; }

private:
    TDataFileManager *m_application = nullptr;
    VariableRecord *m_record = nullptr;
    QPointer<SerialPort> m_link;  // the application's link, which may go first
    quint16 m_variableNumber = 0;
    quint8 m_value = 0;
    quint32 m_reported = 0;  // the link epoch of the last report; 0 for never
    quint8 m_announcedValue = 0;
    quint32 m_announcedReport = 0;
    TBoundControlList m_controls;
};

// A boolean variable (kind 0): "true" or "false".
class TVQQVariableBooleen : public TVQQVariableBaseItem
{
public:
    using TVQQVariableBaseItem::TVQQVariableBaseItem;
    QByteArray GetValueText() const override;
};

// A value variable (kind 1): a small counter from 0 to its maximum.
class TVQQVariableValeur : public TVQQVariableBaseItem
{
public:
    using TVQQVariableBaseItem::TVQQVariableBaseItem;
    void SendStep() override;
    QByteArray GetValueText() const override;
};
