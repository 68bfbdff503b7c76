#include "TShortcutProperties.h"

#include "DialogButtons.h"
#include "DialogFields.h"
#include "TCodePage.h"
#include "TPicturePaths.h"
#include "TVQImageManager.h"
#include "UserMessages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int PreviewSize = 48;
}

TShortcutProperties::TShortcutProperties(const TVisualShortCut &record, const std::vector<std::pair<quint16, QString>> &screens,
                                         const QString &pictureFolder, UserMessages *messages, QWidget *parent)
    : QDialog(parent)
    , EdText(new QLineEdit(TCodePage::ToDisplay(record.Label), this))
    , CbShowLabel(new QCheckBox(QStringLiteral("Display text "), this))
    , CbTransparent(new QCheckBox(QStringLiteral("Transparent"), this))
    , EdLeft(new QLineEdit(QString::number(record.Left), this))
    , EdTop(new QLineEdit(QString::number(record.Top), this))
    , CbTarget(new QComboBox(this))
    , Preview(new QLabel(this))
    , m_messages(messages)
{
    setWindowTitle(QStringLiteral("ShortcutProperties"));
    // Names for finding the fields as a user would fill them.
    EdText->setObjectName(QStringLiteral("EdText"));
    EdText->setMinimumWidth(EdText->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 30);
    CbShowLabel->setObjectName(QStringLiteral("CbShowLabel"));
    CbTransparent->setObjectName(QStringLiteral("CbTransparent"));
    EdLeft->setObjectName(QStringLiteral("EdLeft"));
    EdTop->setObjectName(QStringLiteral("EdTop"));
    CbTarget->setObjectName(QStringLiteral("CbTarget"));
    Preview->setObjectName(QStringLiteral("Preview"));
    CbShowLabel->setChecked(record.ShowLabel != 0);
    CbTransparent->setChecked(record.Transparent != 0);
    CbTarget->addItem(QStringLiteral("(none)"), int(TVisualShortCut::NoTarget));
    for (const auto &[id, name] : screens)
        CbTarget->addItem(name, int(id));
    const int target = CbTarget->findData(int(record.TargetScreenId));
    CbTarget->setCurrentIndex(target >= 0 ? target : 0);
    // Room for the whole 48 x 48 preview, whatever the layout gives the row.
    Preview->setMinimumSize(PreviewSize, PreviewSize);
    Preview->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetPicture(TPicturePaths::FromRecord(record.Picture));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Text"), EdText);
    form->addRow(CbShowLabel);
    form->addRow(CbTransparent);
    form->addRow(QStringLiteral("Left"), EdLeft);
    form->addRow(QStringLiteral("Top"), EdTop);
    form->addRow(QStringLiteral("Shortcut to"), CbTarget);
    auto *change = new QPushButton(QStringLiteral("Change"), this);
    change->setAutoDefault(false);  // Enter confirms the dialog, never opens the chooser
    connect(change, &QPushButton::clicked, this, [this, pictureFolder] {
        const QString chosen = QFileDialog::getOpenFileName(this, QString(), QFileInfo(pictureFolder).isDir() ? pictureFolder : QString(),
                                                            QStringLiteral("Pictures (*.ico *.bmp *.jpg *.jpeg *.png)"));
        if (!chosen.isEmpty())
            SetPicture(chosen);
    });
    auto *picture = new QHBoxLayout;
    picture->addWidget(Preview);
    picture->addWidget(change);
    form->addRow(QStringLiteral("Picture"), picture);
    QHBoxLayout *buttons = OkCancelRow(this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void TShortcutProperties::SetPicture(const QString &path)
{
    Picture = path;
    const QImage &image = TVQImageManager::GetInstance().GetImage(path.isEmpty() ? QStringLiteral("IcoDefaultImage") : path)->Image();
    Preview->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image.scaled(PreviewSize, PreviewSize, Qt::KeepAspectRatio)));
}

bool TShortcutProperties::WriteRecord(TVisualShortCut &record)
{
    const auto fail = [this](const QString &text) {
        if (m_messages)
            m_messages->ShowMessage(text);
        return false;
    };
    int left = 0, top = 0;
    const QString refused = CheckTextsAndPosition({EdText->text(), Picture}, EdLeft->text(), EdTop->text(), left, top);
    if (!refused.isEmpty())
        return fail(refused);
    QByteArray label, picture;
    TCodePage::FromDisplay(EdText->text(), label);
    TCodePage::FromDisplay(Picture, picture);
    record.Label = label;
    record.Picture = picture;
    record.ShowLabel = CbShowLabel->isChecked() ? 1 : 0;
    record.Transparent = CbTransparent->isChecked() ? 1 : 0;
    record.Left = quint16(left);
    record.Top = quint16(top);
    record.TargetScreenId = quint16(CbTarget->currentData().toInt());
    return true;
}
