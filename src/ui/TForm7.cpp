#include "TForm7.h"

#include "DialogFields.h"

#include "TCodePage.h"
#include "TPicturePaths.h"
#include "UserMessages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

void SelectValue(QComboBox *combo, int value)
{
    combo->setCurrentIndex(combo->findData(value));
}

} // namespace

TForm7::TForm7(const TNewVisualScreen &record, const QString &programFolder, UserMessages *messages, QWidget *parent)
    : QDialog(parent)
    , EdName(new QLineEdit(TCodePage::ToDisplay(record.Name), this))
    , CbType(new QComboBox(this))
    , EdWidth(new QLineEdit(QString::number(record.Width), this))
    , EdHeight(new QLineEdit(QString::number(record.Height), this))
    , EdLeft(new QLineEdit(QString::number(record.Left), this))
    , EdTop(new QLineEdit(QString::number(record.Top), this))
    , CbBorderStyle(new QComboBox(this))
    , CbOpenStartup(new QCheckBox(QStringLiteral("Open on startup"), this))
    , EdImagePath(new QLineEdit(TPicturePaths::FromRecord(record.Picture), this))
    , cbStretch(new QCheckBox(QStringLiteral("stretch"), this))
    , CbProportional(new QCheckBox(QStringLiteral("proportional"), this))
    , m_programFolder(programFolder)
    , m_messages(messages)
{
    setWindowTitle(TCodePage::ToDisplay(record.Name));
    // Names for finding the fields as a user would fill them.
    EdName->setObjectName(QStringLiteral("EdName"));
    CbType->setObjectName(QStringLiteral("CbType"));
    EdWidth->setObjectName(QStringLiteral("EdWidth"));
    EdHeight->setObjectName(QStringLiteral("EdHeight"));
    EdLeft->setObjectName(QStringLiteral("EdLeft"));
    EdTop->setObjectName(QStringLiteral("EdTop"));
    CbBorderStyle->setObjectName(QStringLiteral("CbBorderStyle"));
    CbOpenStartup->setObjectName(QStringLiteral("CbOpenStartup"));
    EdImagePath->setObjectName(QStringLiteral("EdImagePath"));
    cbStretch->setObjectName(QStringLiteral("cbStretch"));
    CbProportional->setObjectName(QStringLiteral("CbProportional"));
    CbType->addItem(QStringLiteral("Normal"), 0);
    CbType->addItem(QStringLiteral("Maximized"), 1);
    SelectValue(CbType, record.WindowState);
    CbBorderStyle->addItem(QStringLiteral("Normal border"), 0);
    CbBorderStyle->addItem(QStringLiteral("Tiny border"), 2);
    CbBorderStyle->addItem(QStringLiteral("No border"), 1);
    SelectValue(CbBorderStyle, record.Border);
    CbOpenStartup->setChecked(record.OpenAtStartup != 0);
    cbStretch->setChecked(record.Stretch != 0);
    CbProportional->setChecked(record.Proportional != 0);

    auto *screen = new QGroupBox(QStringLiteral("Screen settings"), this);
    auto *screenForm = new QFormLayout(screen);
    screenForm->addRow(QStringLiteral("Name"), EdName);
    screenForm->addRow(QString(), CbType);
    screenForm->addRow(QString(), CbBorderStyle);
    screenForm->addRow(QString(), CbOpenStartup);
    auto *size = new QGroupBox(QStringLiteral("size and position"), this);
    auto *sizeForm = new QFormLayout(size);
    sizeForm->addRow(QStringLiteral("Width"), EdWidth);
    sizeForm->addRow(QStringLiteral("Height"), EdHeight);
    sizeForm->addRow(QStringLiteral("Left"), EdLeft);
    sizeForm->addRow(QStringLiteral("Top"), EdTop);
    auto *image = new QGroupBox(QStringLiteral("Image filename"), this);
    auto *imageLayout = new QVBoxLayout(image);
    auto *pathRow = new QHBoxLayout;
    auto *browse = new QPushButton(QStringLiteral("..."), this);
    browse->setAutoDefault(false);  // Enter confirms the dialog, never opens the chooser
    pathRow->addWidget(EdImagePath);
    pathRow->addWidget(browse);
    imageLayout->addLayout(pathRow);
    imageLayout->addWidget(cbStretch);
    imageLayout->addWidget(CbProportional);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BtOk"));
    ok->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(screen);
    layout->addWidget(size);
    layout->addWidget(image);
    layout->addWidget(ok, 0, Qt::AlignRight);
    EdImagePath->setMinimumWidth(320);
    connect(browse, &QPushButton::clicked, this, &TForm7::BrowsePicture);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void TForm7::BrowsePicture()
{
    const QString current = EdImagePath->text();
    const QString start = QFileInfo(current).isFile() ? current : QDir(m_programFolder).filePath(QStringLiteral("Imported Pictures/Screen"));
    const QString chosen = QFileDialog::getOpenFileName(this, QString(), start, QStringLiteral("Pictures (*.bmp *.jpg *.jpeg *.ico *.png)"));
    if (!chosen.isEmpty())
        EdImagePath->setText(chosen);
}

bool TForm7::WriteRecord(TNewVisualScreen &record)
{
    const auto fail = [this](const QString &text) {
        if (m_messages)
            m_messages->ShowMessage(text);
        return false;
    };
    // Texts that would shift the record's fields, positions past 16 bits and a window too small
    // to be found again are refused.
    QString refused = CheckStoredTexts({EdName->text(), EdImagePath->text()});
    int numbers[4] = {};
    const struct { const char *caption; QLineEdit *field; int minimum; int maximum; } fields[4] = {
        {"Height", EdHeight, MinimumSize, MaxDisplayHeight}, {"Width", EdWidth, MinimumSize, MaxDisplayWidth},
        {"Left", EdLeft, 0, MaxCoordinate}, {"Top", EdTop, 0, MaxCoordinate}};
    for (int i = 0; i < 4 && refused.isEmpty(); ++i)
        refused = ReadNumberField(QString::fromLatin1(fields[i].caption), fields[i].field->text(), fields[i].minimum,
                                  fields[i].maximum, numbers[i]);
    if (!refused.isEmpty())
        return fail(refused);
    QByteArray name, picture;
    TCodePage::FromDisplay(EdName->text(), name);
    TCodePage::FromDisplay(EdImagePath->text(), picture);
    record.Name = name;
    record.Height = quint16(numbers[0]);
    record.Width = quint16(numbers[1]);
    record.Left = quint16(numbers[2]);
    record.Top = quint16(numbers[3]);
    record.Picture = picture;
    record.WindowState = quint8(qMax(0, CbType->currentData().toInt()));
    record.Border = quint8(qMax(0, CbBorderStyle->currentData().toInt()));
    record.Stretch = cbStretch->isChecked() ? 1 : 0;
    record.Proportional = CbProportional->isChecked() ? 1 : 0;
    record.OpenAtStartup = CbOpenStartup->isChecked() ? 1 : 0;
    return true;
}
