#pragma once

#include "VisualRecords.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class TCameraPreview;
class UserMessages;

// "Axis Cam Properties": a camera view's name, position, size, address and account, with a
// preview that plays the stream on "Test".
class TAxisCamProperties : public QDialog
{
    Q_OBJECT

public:
    TAxisCamProperties(const TVisualAxisCamData &record, UserMessages *messages, QWidget *parent = nullptr);

    // The eight view sizes of the size list, in its order.
    static QSize SizeOfEntry(int entry);
    // The size entry a record's width selects.
    static int EntryForWidth(int width);

    // An address, and with "Use Login" a login and a password: the stream can be tried.
    bool TestAllowed() const;
    // The edited record; false with a message when a field cannot be taken (nothing written then).
    bool WriteRecord(TVisualAxisCamData &record);
    TCameraPreview *Preview() const { return m_preview; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void UpdateTest();
    void Test();
    void Confirm();

    QLineEdit *EdName = nullptr;
    QLineEdit *EdLeft = nullptr;
    QLineEdit *EdTop = nullptr;
    QComboBox *CbSize = nullptr;
    bool m_sizePicked = false;  // the user chose a size entry
    QLineEdit *EdIp = nullptr;
    QCheckBox *CbUseLogin = nullptr;
    QLineEdit *EdLogin = nullptr;
    QLineEdit *EdPassword = nullptr;
    QPushButton *BtTest = nullptr;
    TCameraPreview *m_preview = nullptr;
    UserMessages *m_messages = nullptr;
    TVisualAxisCamData m_record;
};
