#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
struct TSettings;

// The settings dialog ("Project paremeters"): the export and project folders, and whether the
// last project opens (and connects) at start-up.
class TForm2 : public QDialog
{
    Q_OBJECT

public:
    TForm2(TSettings &settings, QWidget *parent = nullptr);

    // A chosen folder that exists becomes the setting and is shown.
    void ChooseFolder(QLineEdit *field, const QString &chosen);

protected:
    void done(int result) override;

private:
    TSettings &m_settings;
    QLineEdit *m_exportFolder = nullptr;
    QLineEdit *m_projectFolder = nullptr;
    QCheckBox *m_openLastFile = nullptr;
};
