#include "TSelectCom.h"

#include "SerialPort.h"
#include "TDataFileManager.h"
#include "TLinkSession.h"
#include "UserMessages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

TSelectCom::TSelectCom(TDataFileManager &application, const QString &programFolder, UserMessages *messages,
                       QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
    , m_application(application)
    , m_programFolder(programFolder)
    , m_messages(messages)
    , m_ports(new QComboBox(this))
    , m_device(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Serial Port configuration"));
    m_ports->addItem(QStringLiteral("COM 1"));
    // One line under the list, cut with "…" when long; the whole path in its tooltip.
    m_device->setWordWrap(false);
    m_device->setMinimumWidth(1);
    m_ports->setObjectName(QStringLiteral("Ports"));
    m_device->setObjectName(QStringLiteral("Device"));
    auto *layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Select com number"), this), 0, 0);
    layout->addWidget(m_ports, 0, 1);
    layout->addWidget(m_device, 1, 0, 1, 2);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    ok->setDefault(true);
    cancel->setAutoDefault(false);
    layout->addWidget(ok, 2, 0);
    layout->addWidget(cancel, 2, 1);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (Ok())
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ports, &QComboBox::currentIndexChanged, this, &TSelectCom::ShowDevice);
    ShowDevice();
    // The Part's client area; the line saying which device a COM number opens stays only when the
    // dialog can hold it at that size.
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setVerticalSpacing(4);
    const QSize wanted(227, 78);
    if (layout->minimumSize().height() > wanted.height()) {
        m_device->hide();
        layout->removeWidget(m_device);
    }
    setFixedSize(wanted.expandedTo(layout->minimumSize()));
}

void TSelectCom::Fill(quint8 comPort)
{
    m_ports->clear();
    for (int n = 1; n <= 99; ++n)
        m_ports->addItem(QStringLiteral("COM %1").arg(n));
    m_ports->setCurrentIndex(comPort == 0 ? -1 : comPort - 1);
    ShowDevice();
}

quint8 TSelectCom::ComNumber() const
{
    return quint8(m_ports->currentIndex() + 1);
}

void TSelectCom::ShowDevice()
{
    const int index = m_ports->currentIndex();
    const QString text = index < 0 ? QStringLiteral("No port selected")
                                   : QStringLiteral("COM %1 opens %2").arg(index + 1).arg(SerialPort::SerialDevicePath(m_programFolder, quint8(index + 1)));
    m_device->setToolTip(text);
    m_device->setText(m_device->fontMetrics().elidedText(text, Qt::ElideMiddle, std::max(width() - 20, 120)));
}

bool TSelectCom::Ok()
{
    const int index = m_ports->currentIndex();
    if (index < 0)
        return false;
    if (!m_application.Session().OpenSerialLink(quint8(index + 1), SerialPort::ModuleBaud)) {
        if (m_messages)
            m_messages->ShowMessage(QStringLiteral("Unable to open serial Port "));
        return false;
    }
    return true;
}
