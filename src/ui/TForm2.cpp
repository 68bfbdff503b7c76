#include "TForm2.h"

#include "TSettingsFile.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TForm2::TForm2(TSettings &settings, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_exportFolder(new QLineEdit(settings.ExportFolder, this))
    , m_projectFolder(new QLineEdit(settings.ProjectFolder, this))
    , m_openLastFile(new QCheckBox(QStringLiteral("Open last file in runtime mode"), this))
{
    setWindowTitle(QStringLiteral("Project paremeters"));
    m_exportFolder->setReadOnly(true);
    m_projectFolder->setReadOnly(true);
    m_openLastFile->setChecked(settings.OpenLastFile);
    auto *layout = new QGridLayout(this);
    const auto row = [&](int r, const QString &caption, QLineEdit *field) {
        layout->addWidget(new QLabel(caption, this), r, 0);
        layout->addWidget(field, r, 1);
        auto *browse = new QPushButton(QStringLiteral("..."), this);
        browse->setAutoDefault(false);
        connect(browse, &QPushButton::clicked, this, [this, field] {
            ChooseFolder(field, QFileDialog::getExistingDirectory(this, QString(), field->text()));
        });
        layout->addWidget(browse, r, 2);
    };
    row(0, QStringLiteral("Configuration exports"), m_exportFolder);
    row(1, QStringLiteral("Projects"), m_projectFolder);
    layout->addWidget(m_openLastFile, 2, 0, 1, 3);
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, 3, 2);
    resize(520, 150);
}

void TForm2::ChooseFolder(QLineEdit *field, const QString &chosen)
{
    if (chosen.isEmpty() || !QFileInfo(chosen).isDir())
        return;
    field->setText(chosen);
    if (field == m_exportFolder)
        m_settings.ExportFolder = chosen;
    else
        m_settings.ProjectFolder = chosen;
}

void TForm2::done(int result)
{
    // However the dialog closes, the start-up choice is kept.
    m_settings.OpenLastFile = m_openLastFile->isChecked();
    QDialog::done(result);
}
