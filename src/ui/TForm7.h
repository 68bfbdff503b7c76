#pragma once

#include "VisualRecords.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class UserMessages;

// "Screen Param": edits one screen's record (name, window type, size and position, border,
// start-up visibility, background picture and how it is stretched).
class TForm7 : public QDialog
{
    Q_OBJECT

public:
    // The smallest width and height a screen may have: a smaller window could not be found again.
    static constexpr int MinimumSize = 100;

    TForm7(const TNewVisualScreen &record, const QString &programFolder, UserMessages *messages, QWidget *parent = nullptr);

    // Checks every field, then writes them into `record`; false (with a message, the record
    // untouched) when a number or the name cannot be taken.
    bool WriteRecord(TNewVisualScreen &record);
    void BrowsePicture();

private:
    QLineEdit *EdName = nullptr;
    QComboBox *CbType = nullptr;
    QLineEdit *EdWidth = nullptr;
    QLineEdit *EdHeight = nullptr;
    QLineEdit *EdLeft = nullptr;
    QLineEdit *EdTop = nullptr;
    QComboBox *CbBorderStyle = nullptr;
    QCheckBox *CbOpenStartup = nullptr;
    QLineEdit *EdImagePath = nullptr;
    QCheckBox *cbStretch = nullptr;
    QCheckBox *CbProportional = nullptr;
    QString m_programFolder;
    UserMessages *m_messages = nullptr;
};
