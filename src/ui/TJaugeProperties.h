#pragma once

#include "VisualRecords.h"

#include <QDialog>

class QLineEdit;
class UserMessages;

// "JaugeProperties": the gauge's left, top and the needle's angle when there is no maximum,
// with the power it shows now beside them (read only).
class TJaugeProperties : public QDialog
{
    Q_OBJECT

public:
    TJaugeProperties(const TVisualJaugeData &record, quint16 power, quint16 maximum, UserMessages *messages,
                     QWidget *parent = nullptr);

    // The three settings into the record; false with a message, and nothing written, when one
    // cannot be taken.
    bool WriteRecord(TVisualJaugeData &record);

private:
    void Confirm();

    QLineEdit *EdLeft = nullptr;
    QLineEdit *EdTop = nullptr;
    QLineEdit *EdAngle = nullptr;
    QLineEdit *EdPower = nullptr;
    UserMessages *m_messages = nullptr;
    TVisualJaugeData m_record;
};
