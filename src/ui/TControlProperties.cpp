#include "TControlProperties.h"

#include "DialogButtons.h"
#include "DialogFields.h"
#include "TCodePage.h"
#include "TVQBaseControl.h"
#include "TVQImageManager.h"
#include "UserMessages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

TControlProperties::TControlProperties(const Layout &layout, const QString &pictureFolder, UserMessages *messages, QWidget *parent)
    : QDialog(parent)
    , EdLabel(new QLineEdit(this))
    , CbShowLabel(new QCheckBox(QStringLiteral("Display text "), this))
    , CbShowValue(new QCheckBox(QStringLiteral("Display Value"), this))
    , EdLeft(new QLineEdit(this))
    , EdTop(new QLineEdit(this))
    , CbReadOnly(new QCheckBox(QStringLiteral("Read only"), this))
    , CbType(new QComboBox(this))
    , m_pictureFolder(pictureFolder)
    , m_messages(messages)
{
    setWindowTitle(layout.Caption);
    // Names for finding the fields as a user would fill them.
    EdLabel->setObjectName(QStringLiteral("EdLabel"));
    // Wide enough for the labels of a real installation ("Living room temperature").
    EdLabel->setMinimumWidth(EdLabel->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 30);
    CbShowLabel->setObjectName(QStringLiteral("CbShowLabel"));
    CbShowValue->setObjectName(QStringLiteral("CbShowValue"));
    EdLeft->setObjectName(QStringLiteral("EdLeft"));
    EdTop->setObjectName(QStringLiteral("EdTop"));
    CbReadOnly->setObjectName(QStringLiteral("CbReadOnly"));
    CbType->setObjectName(QStringLiteral("CbType"));
    auto *caption = new QGroupBox(QStringLiteral("Text caption"), this);
    auto *captionForm = new QFormLayout(caption);
    captionForm->addRow(CbShowLabel, EdLabel);
    captionForm->addRow(CbShowValue);
    CbShowValue->setVisible(layout.ShowValue);
    captionForm->addRow(QStringLiteral("Left"), EdLeft);
    captionForm->addRow(QStringLiteral("Top"), EdTop);

    auto *image = new QGroupBox(QStringLiteral("Image"), this);
    auto *grid = new QGridLayout(image);
    for (int state = 0; state < 2; ++state) {
        Previews[state] = new QLabel(image);
        Previews[state]->setObjectName(QStringLiteral("Preview%1").arg(state));
        Previews[state]->setMinimumSize(40, 40);
        Previews[state]->setAlignment(Qt::AlignCenter);
        CbTransparent[state] = new QCheckBox(QStringLiteral("Transparent"), image);
        CbTransparent[state]->setObjectName(QStringLiteral("CbTransparent%1").arg(state));
        auto *change = new QPushButton(QStringLiteral("Change"), image);
        change->setAutoDefault(false);  // Enter confirms the dialog, never opens the chooser
        change->setObjectName(QStringLiteral("Change%1").arg(state));
        ChangeButtons[state] = change;
        connect(change, &QPushButton::clicked, this, [this, state] {
            const QString start = QFileInfo(m_pictureFolder).isDir() ? m_pictureFolder : QString();
            const QString chosen = QFileDialog::getOpenFileName(this, QString(), start, QStringLiteral("Pictures (*.ico *.bmp *.jpg *.jpeg *.png)"));
            if (!chosen.isEmpty())
                SetPicture(state, chosen);
        });
        const bool shown = state < layout.States;
        if (layout.States == 2)
            grid->addWidget(new QLabel(state == 0 ? QStringLiteral("ON") : QStringLiteral("OFF"), image), 0, state);
        grid->addWidget(Previews[state], 1, state);
        grid->addWidget(change, 2, state);
        grid->addWidget(CbTransparent[state], 3, state);
        for (QWidget *w : {static_cast<QWidget *>(Previews[state]), static_cast<QWidget *>(change), static_cast<QWidget *>(CbTransparent[state])})
            w->setVisible(shown);
    }
    grid->addWidget(CbReadOnly, 4, 0, 1, 2);
    for (const auto &[text, type] : layout.Types)
        CbType->addItem(text, type);
    if (!layout.Types.empty()) {
        grid->addWidget(new QLabel(QStringLiteral("Type"), image), 5, 0);
        grid->addWidget(CbType, 5, 1);
    } else {
        CbType->hide();
    }
    if (layout.PanelPreview) {
        // The sensor's panel face, small: what "Sensor view" shows instead of the picture.
        QImage panel(64, 32, QImage::Format_ARGB32_Premultiplied);
        panel.fill(QColor(166, 202, 240));
        QPainter painter(&panel);
        painter.setPen(Qt::black);
        painter.drawRect(0, 0, 63, 31);
        painter.setFont(TVQBaseControl::LabelFont(10));
        painter.drawText(panel.rect(), Qt::AlignCenter, QString::fromUtf8("21,5°C"));
        painter.end();
        m_panelPreview = new QLabel(image);
        m_panelPreview->setObjectName(QStringLiteral("PanelPreview"));
        m_panelPreview->setPixmap(QPixmap::fromImage(panel));
        m_panelPreview->setAlignment(Qt::AlignCenter);
        grid->addWidget(m_panelPreview, 1, 1);
        // As soon as the type changes: the icon's picture and its buttons for "Icon view" only.
        const auto follow = [this] {
            const bool icon = CbType->currentData().toInt() == 1;
            Previews[0]->setVisible(icon);
            m_panelPreview->setVisible(!icon);
            ChangeButtons[0]->setEnabled(icon);
            CbTransparent[0]->setEnabled(icon);
        };
        connect(CbType, &QComboBox::currentIndexChanged, this, follow);
        follow();
    }

    auto *info = new QGroupBox(QStringLiteral("Quelnor Infomation"), this);
    auto *infoForm = new QFormLayout(info);
    for (int i = 0; i < 2; ++i)
        infoForm->addRow(layout.InfoCaptions[i], new QLabel(layout.Infos[i], info));

    QHBoxLayout *buttons = OkCancelRow(this);
    auto *main = new QVBoxLayout(this);
    main->addWidget(caption);
    main->addWidget(image);
    main->addWidget(info);
    main->addLayout(buttons);
}

void TControlProperties::SetValues(QPoint position, const TControlSettings &settings)
{
    EdLeft->setText(QString::number(position.x()));
    EdTop->setText(QString::number(position.y()));
    EdLabel->setText(settings.Label);
    for (int state = 0; state < 2; ++state) {
        SetPicture(state, settings.Pictures[state]);
        CbTransparent[state]->setChecked(settings.Transparent[state]);
    }
    CbReadOnly->setChecked(settings.ReadOnly);
    CbShowLabel->setChecked(settings.ShowLabel);
    CbShowValue->setChecked(settings.ShowValue);
    m_displayType = settings.DisplayType;
    SelectDisplayType(settings.DisplayType);
}

TControlSettings TControlProperties::Values() const
{
    TControlSettings settings;
    settings.Label = EdLabel->text();
    for (int state = 0; state < 2; ++state) {
        settings.Pictures[state] = Pictures[state];
        settings.Transparent[state] = CbTransparent[state]->isChecked();
    }
    settings.ReadOnly = CbReadOnly->isChecked();
    settings.ShowLabel = CbShowLabel->isChecked();
    settings.ShowValue = CbShowValue->isChecked();
    settings.DisplayType = quint8(DisplayType(m_displayType));
    return settings;
}

int TControlProperties::DisplayType(int fallback) const
{
    return CbType->count() > 0 && CbType->currentIndex() >= 0 ? CbType->currentData().toInt() : fallback;
}

void TControlProperties::SelectDisplayType(int displayType)
{
    const int index = CbType->findData(displayType);
    CbType->setCurrentIndex(index >= 0 ? index : 0);
}

void TControlProperties::SetPicture(int state, const QString &path)
{
    if (state < 0 || state > 1)
        return;
    Pictures[state] = path;
    // Through the picture cache: paths of another computer's folders are found here too.
    const QImage &image = TVQImageManager::GetInstance().GetImage(path)->Image();
    Previews[state]->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image.scaled(48, 48, Qt::KeepAspectRatio)));
}

bool TControlProperties::Check(int &left, int &top)
{
    const auto fail = [this](const QString &text) {
        if (m_messages)
            m_messages->ShowMessage(text);
        return false;
    };
    const QString refused = CheckTextsAndPosition({EdLabel->text(), Pictures[0], Pictures[1]}, EdLeft->text(),
                                                  EdTop->text(), left, top);
    if (!refused.isEmpty())
        return fail(refused);
    return true;
}
