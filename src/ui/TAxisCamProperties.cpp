#include "TAxisCamProperties.h"

#include "DialogFields.h"
#include "TCameraPreview.h"
#include "TCameraStream.h"
#include "TCameraView.h"
#include "TCodePage.h"
#include "UserMessages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace {

constexpr std::array<QSize, 8> k_sizes = {QSize(40, 30),   QSize(80, 60),   QSize(160, 120), QSize(176, 144),
                                          QSize(240, 180), QSize(320, 240), QSize(480, 360), QSize(640, 480)};

} // namespace

QSize TAxisCamProperties::SizeOfEntry(int entry)
{
    return k_sizes[std::clamp(entry, 0, int(k_sizes.size()) - 1)];
}

int TAxisCamProperties::EntryForWidth(int width)
{
    // Up to 40 selects the first entry, up to 80 the second ... above 480 the last.
    for (int entry = 0; entry < int(k_sizes.size()) - 1; ++entry) {
        if (width <= k_sizes[entry].width())
            return entry;
    }
    return int(k_sizes.size()) - 1;
}

TAxisCamProperties::TAxisCamProperties(const TVisualAxisCamData &record, UserMessages *messages, QWidget *parent)
    : QDialog(parent)
    , EdName(new QLineEdit(TCodePage::ToDisplay(record.CameraName), this))
    , EdLeft(new QLineEdit(QString::number(record.Left), this))
    , EdTop(new QLineEdit(QString::number(record.Top), this))
    , CbSize(new QComboBox(this))
    , EdIp(new QLineEdit(this))
    , CbUseLogin(new QCheckBox(QStringLiteral("Use Login"), this))
    , EdLogin(new QLineEdit(this))
    , EdPassword(new QLineEdit(this))
    , BtTest(new QPushButton(QStringLiteral("Test"), this))
    , m_preview(new TCameraPreview(this))
    , m_messages(messages)
    , m_record(record)
{
    setWindowTitle(QStringLiteral("Axis Cam Properties"));
    // Names for finding the fields as a user would fill them.
    EdName->setObjectName(QStringLiteral("EdName"));
    EdLeft->setObjectName(QStringLiteral("EdLeft"));
    EdTop->setObjectName(QStringLiteral("EdTop"));
    CbSize->setObjectName(QStringLiteral("CbSize"));
    EdIp->setObjectName(QStringLiteral("EdIp"));
    CbUseLogin->setObjectName(QStringLiteral("CbUseLogin"));
    EdLogin->setObjectName(QStringLiteral("EdLogin"));
    EdPassword->setObjectName(QStringLiteral("EdPassword"));
    BtTest->setObjectName(QStringLiteral("BtTest"));
    m_preview->setObjectName(QStringLiteral("Preview"));
    EdPassword->setEchoMode(QLineEdit::Password);

    for (const QSize &size : k_sizes)
        CbSize->addItem(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()));
    CbSize->setCurrentIndex(EntryForWidth(record.Width));
    connect(CbSize, &QComboBox::activated, this, [this] { m_sizePicked = true; });
    if (TCameraStream::IsValidAddress(record.Address))
        EdIp->setText(QString::fromLatin1(record.Address));
    CbUseLogin->setChecked(record.UseLogin != 0);
    if (record.UseLogin != 0) {
        EdLogin->setText(TCodePage::ToDisplay(record.Login));
        EdPassword->setText(TCodePage::ToDisplay(record.Password));
    }

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Cam name"), EdName);
    form->addRow(QStringLiteral("Left"), EdLeft);
    form->addRow(QStringLiteral("Top"), EdTop);
    form->addRow(QStringLiteral("Size"), CbSize);
    form->addRow(QStringLiteral("IP address"), EdIp);
    form->addRow(CbUseLogin);
    form->addRow(QStringLiteral("Login"), EdLogin);
    form->addRow(QStringLiteral("Password"), EdPassword);

    m_preview->setFixedSize(240, 180);
    auto *testColumn = new QVBoxLayout;
    testColumn->addWidget(BtTest, 0, Qt::AlignLeft);
    testColumn->addWidget(m_preview);
    testColumn->addStretch();

    auto *fields = new QHBoxLayout;
    fields->addLayout(form);
    fields->addLayout(testColumn);

    auto *ok = new QPushButton(QStringLiteral("Ok"), this);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    ok->setObjectName(QStringLiteral("BtOk"));
    ok->setDefault(true);
    cancel->setAutoDefault(false);
    BtTest->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &TAxisCamProperties::Confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtTest, &QPushButton::clicked, this, &TAxisCamProperties::Test);
    for (QLineEdit *edit : {EdIp, EdLogin, EdPassword}) {
        connect(edit, &QLineEdit::textChanged, this, &TAxisCamProperties::UpdateTest);
        connect(edit, &QLineEdit::editingFinished, this, &TAxisCamProperties::UpdateTest);
    }
    connect(CbUseLogin, &QCheckBox::toggled, this, &TAxisCamProperties::UpdateTest);
    UpdateTest();
}

void TAxisCamProperties::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    UpdateTest();
}

bool TAxisCamProperties::TestAllowed() const
{
    if (!TCameraStream::IsValidAddress(EdIp->text().toLatin1()))
        return false;
    return !CbUseLogin->isChecked() || (!EdLogin->text().isEmpty() && !EdPassword->text().isEmpty());
}

void TAxisCamProperties::UpdateTest()
{
    BtTest->setEnabled(TestAllowed());
}

void TAxisCamProperties::Test()
{
    if (!TestAllowed()) {
        if (m_messages)
            m_messages->ShowMessage(QStringLiteral("Bad parameters for Ip Cam"));
        return;
    }
    TCameraView *view = m_preview->View();
    view->SetPlaying(false);
    if (CbUseLogin->isChecked())
        view->SetCamera(EdIp->text().toLatin1(), EdLogin->text(), EdPassword->text());
    else
        view->SetCamera(EdIp->text().toLatin1(), QString::fromLatin1(TCameraStream::FactoryUser),
                        QString::fromLatin1(TCameraStream::FactoryPassword));
    view->SetPlaying(true);
}

void TAxisCamProperties::Confirm()
{
    TVisualAxisCamData checked = m_record;
    if (WriteRecord(checked))
        accept();
}

bool TAxisCamProperties::WriteRecord(TVisualAxisCamData &record)
{
    const auto fail = [this](const QString &text) {
        if (m_messages)
            m_messages->ShowMessage(text);
        return false;
    };
    const QString address = EdIp->text();
    if (!TCameraStream::IsValidAddress(address.toLatin1()) || address.toLatin1() != address.toUtf8())
        return fail(QStringLiteral("Bad Ip Address"));
    const bool useLogin = CbUseLogin->isChecked();
    if (useLogin && (EdLogin->text().isEmpty() || EdPassword->text().isEmpty()))
        return fail(QStringLiteral("Please enter Login and password"));
    const QString login = useLogin ? EdLogin->text() : QString();
    const QString password = useLogin ? EdPassword->text() : QString();
    int left = 0, top = 0;
    QString refused = CheckStoredSecret(password);
    if (refused.isEmpty())
        refused = CheckTextsAndPosition({EdName->text(), login}, EdLeft->text(), EdTop->text(), left, top);
    if (!refused.isEmpty())
        return fail(refused);
    QByteArray name, loginBytes, passwordBytes;
    TCodePage::FromDisplay(EdName->text(), name);
    TCodePage::FromDisplay(login, loginBytes);
    TCodePage::FromDisplay(password, passwordBytes);
    record.CameraName = name;
    record.Left = quint16(left);
    record.Top = quint16(top);
    // The record's own size stays unless another entry was picked.
    if (m_sizePicked) {
        const QSize size = SizeOfEntry(CbSize->currentIndex());
        record.Width = quint16(size.width());
        record.Height = quint16(size.height());
    }
    record.Address = address.toLatin1();
    record.UseLogin = useLogin ? 1 : 0;
    record.Login = loginBytes;
    record.Password = passwordBytes;
    return true;
}
