#include "TJaugeProperties.h"

#include "DialogButtons.h"
#include "DialogFields.h"
#include "UserMessages.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

TJaugeProperties::TJaugeProperties(const TVisualJaugeData &record, quint16 power, quint16 maximum, UserMessages *messages,
                                   QWidget *parent)
    : QDialog(parent)
    , EdLeft(new QLineEdit(QString::number(record.Left), this))
    , EdTop(new QLineEdit(QString::number(record.Top), this))
    , EdAngle(new QLineEdit(QString::number(record.Extra3), this))
    , EdPower(new QLineEdit(QStringLiteral("%1 W of %2 W").arg(power).arg(maximum), this))
    , m_messages(messages)
    , m_record(record)
{
    setWindowTitle(QStringLiteral("JaugeProperties"));
    EdLeft->setObjectName(QStringLiteral("EdLeft"));
    EdTop->setObjectName(QStringLiteral("EdTop"));
    EdAngle->setObjectName(QStringLiteral("EdAngle"));
    EdPower->setObjectName(QStringLiteral("EdPower"));
    EdPower->setReadOnly(true);
    // The project file has no field for the angle: shown, never offered as an edit that is lost.
    EdAngle->setReadOnly(true);
    EdAngle->setToolTip(QStringLiteral("The needle's angle while the installation has no power maximum (not kept in the project file)"));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Left"), EdLeft);
    form->addRow(QStringLiteral("Top"), EdTop);
    form->addRow(QStringLiteral("Angle without maximum"), EdAngle);
    form->addRow(QStringLiteral("Power"), EdPower);
    QHBoxLayout *buttons = OkCancelRow(this, [this] { Confirm(); });
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void TJaugeProperties::Confirm()
{
    TVisualJaugeData checked = m_record;
    if (WriteRecord(checked))
        accept();
}

bool TJaugeProperties::WriteRecord(TVisualJaugeData &record)
{
    int left = 0, top = 0;
    const QString refused = CheckTextsAndPosition({}, EdLeft->text(), EdTop->text(), left, top);
    if (!refused.isEmpty()) {
        if (m_messages)
            m_messages->ShowMessage(refused);
        return false;
    }
    record.Left = quint16(left);
    record.Top = quint16(top);
    return true;
}
