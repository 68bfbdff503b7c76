#pragma once

#include "VisualRecords.h"

#include <QDialog>

#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class UserMessages;

// "ShortcutProperties": the text of a shortcut, its picture and the screen it opens.
class TShortcutProperties : public QDialog
{
    Q_OBJECT

public:
    // `screens`: the project's screens, id and name, in project order.
    TShortcutProperties(const TVisualShortCut &record, const std::vector<std::pair<quint16, QString>> &screens,
                        const QString &pictureFolder, UserMessages *messages, QWidget *parent = nullptr);

    // The edited record; false with a message when a field cannot be taken.
    bool WriteRecord(TVisualShortCut &record);
    void SetPicture(const QString &path);

private:
    QLineEdit *EdText = nullptr;
    QCheckBox *CbShowLabel = nullptr;
    QCheckBox *CbTransparent = nullptr;
    QLineEdit *EdLeft = nullptr;
    QLineEdit *EdTop = nullptr;
    QComboBox *CbTarget = nullptr;
    QLabel *Preview = nullptr;
    QString Picture;
    UserMessages *m_messages = nullptr;
};
