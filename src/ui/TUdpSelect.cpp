#include "TUdpSelect.h"

#include "DialogFields.h"
#include "UserMessages.h"

#include "TDataFileManager.h"
#include "TLinkSession.h"

#include <QFormLayout>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

TUdpSelect::TUdpSelect(TDataFileManager &application, QWidget *parent)
    : QDialog(parent)
    , m_application(application)
    , m_port(new QLineEdit(QStringLiteral("17481"), this))
    , m_host(new QLineEdit(QStringLiteral("192.168.1.20"), this))
    , m_password(new QLineEdit(this))
    , m_panel(new QFrame(this))
    , m_panelText(new QLabel(m_panel))
    , m_timer(new QTimer(this))
{
    setWindowTitle(QStringLiteral("Open Udp connection"));
    m_password->setEchoMode(QLineEdit::Password);
    // Names for finding the fields as a user would fill them.
    m_port->setObjectName(QStringLiteral("Port"));
    m_host->setObjectName(QStringLiteral("Host"));
    m_password->setObjectName(QStringLiteral("Password"));
    m_panel->setObjectName(QStringLiteral("Panel"));
    m_panelText->setObjectName(QStringLiteral("PanelText"));
    m_timer->setObjectName(QStringLiteral("PanelTimer"));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Host Port"), m_port);
    form->addRow(QStringLiteral("Host IP"), m_host);
    form->addRow(QStringLiteral("Password"), m_password);
    auto *buttons = new QHBoxLayout;
    auto *connectButton = new QPushButton(QStringLiteral("Connect"), this);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    // Narrow enough for the three to share the dialog's width.
    for (QPushButton *button : {connectButton, ok, cancel}) {
        button->setMinimumWidth(56);
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        buttons->addWidget(button);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    // The Part's client area, grown only where this platform's widgets need more.
    layout->setContentsMargins(6, 6, 6, 6);
    setFixedSize(QSize(201, 157).expandedTo(layout->minimumSize()));

    // The message panel covers the edits while it shows.
    m_panel->setFrameShape(QFrame::StyledPanel);
    m_panel->setAutoFillBackground(true);
    m_panel->setGeometry(8, 8, width() - 16, height() - 16);  // 185 x 141 at the Part's size
    m_panelText->setAlignment(Qt::AlignCenter);
    m_panelText->setWordWrap(true);
    auto *panelLayout = new QVBoxLayout(m_panel);
    panelLayout->addWidget(m_panelText, 1);
    auto *panelOk = new QPushButton(QStringLiteral("Ok"), m_panel);
    panelLayout->addWidget(panelOk, 0, Qt::AlignHCenter);
    m_panel->hide();

    m_timer->setInterval(5000);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_timer->stop();
        m_panel->hide();
    });
    connect(panelOk, &QPushButton::clicked, m_panel, &QWidget::hide);
    connect(connectButton, &QPushButton::clicked, this, &TUdpSelect::Connect);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_application.Session().SetSessionDialog(this);
}

TUdpSelect::~TUdpSelect()
{
    m_application.Session().SetSessionDialog(nullptr);
}

void TUdpSelect::Prefill()
{
    const TVISUALQvpInfo &settings = m_application.Settings();
    if (settings.UdpPort != 0)
        m_port->setText(QString::number(settings.UdpPort));
    if (!settings.Host.isEmpty() && settings.Host != "(null)")
        m_host->setText(QString::fromLatin1(settings.Host));
    // Stored as Windows-1252, as every text of the project (a "€" is the byte 0x80).
    m_password->setText(settings.Password == "(null)" ? QString() : TCodePage::ToDisplay(settings.Password));
}

void TUdpSelect::Connect()
{
    // The host and the password are kept in the project file once the session opens.
    int port = 0;
    QString refused = ReadNumberField(QStringLiteral("Port"), m_port->text(), 0, 65535, port);
    if (refused.isEmpty())
        refused = CheckStoredTexts({m_host->text()});
    if (refused.isEmpty())
        refused = CheckStoredSecret(m_password->text());
    if (!refused.isEmpty()) {
        if (UserMessages *messages = m_application.Messages())
            messages->ShowMessage(refused);
        return;
    }
    QByteArray host, password;
    TCodePage::FromDisplay(m_host->text(), host);
    TCodePage::FromDisplay(m_password->text(), password);
    m_application.Session().OpenUdpLink(quint16(port), host, password);
}

void TUdpSelect::ShowPanelText(const QString &text)
{
    m_panelText->setText(text);
    m_timer->start();
    m_panel->show();
    m_panel->raise();
}
