#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class TDataFileManager;
class UserMessages;

// "Serial Port configuration": the COM port of an application's serial link. "OK" opens it; a
// port that cannot be opened leaves the dialog open with a message. The dialog tells which
// device of this computer each COM number opens.
class TSelectCom : public QDialog
{
    Q_OBJECT

public:
    TSelectCom(TDataFileManager &application, const QString &programFolder, UserMessages *messages,
               QWidget *parent = nullptr);

    // "COM 1" to "COM 99", with `comPort` - 1 selected (none for 0).
    void Fill(quint8 comPort);
    // The selected COM number; 0 for none.
    quint8 ComNumber() const;
    // Opens the selected port; false (and the dialog stays) when nothing is selected or the port
    // does not open.
    bool Ok();

private:
    void ShowDevice();

    TDataFileManager &m_application;
    QString m_programFolder;
    UserMessages *m_messages = nullptr;
    QComboBox *m_ports = nullptr;
    QLabel *m_device = nullptr;
};
