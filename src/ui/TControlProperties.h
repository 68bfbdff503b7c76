#pragma once

#include "TVQControl.h"

#include <QDialog>

#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class UserMessages;

// The property dialog of a control: its text and what it shows, its position, its pictures with
// their transparency, read only, its display type where it has variants, and what it stands for
// in the installation. The dialog edits copies; the caller applies them on "OK".
class TControlProperties : public QDialog
{
    Q_OBJECT

public:
    struct Layout
    {
        QString Caption;
        int States = 2;                                  // pictures: ON and OFF, or one
        std::vector<std::pair<QString, int>> Types;      // "Type" entries and their display types
        bool ShowValue = true;                           // has "Display Value"
        bool PanelPreview = false;                       // "Type" swaps the picture for a panel's preview
        QString InfoCaptions[2];
        QString Infos[2];
    };

    TControlProperties(const Layout &layout, const QString &pictureFolder, UserMessages *messages, QWidget *parent = nullptr);

    // The control's position and settings shown for editing.
    void SetValues(QPoint position, const TControlSettings &settings);
    // The settings as edited; the display type stays as it was when the dialog has no "Type".
    TControlSettings Values() const;
    void SetPicture(int state, const QString &path);
    // Left and top as numbers, the text free of "|" and line breaks; false with a message.
    bool Check(int &left, int &top);

private:
    // The display type of the selected "Type" entry; `fallback` when the dialog has none.
    int DisplayType(int fallback) const;
    void SelectDisplayType(int displayType);

    QLineEdit *EdLabel = nullptr;
    QCheckBox *CbShowLabel = nullptr;
    QCheckBox *CbShowValue = nullptr;
    QLineEdit *EdLeft = nullptr;
    QLineEdit *EdTop = nullptr;
    QString Pictures[2];
    QLabel *Previews[2] = {};
    QPushButton *ChangeButtons[2] = {};
    QLabel *m_panelPreview = nullptr;
    QCheckBox *CbTransparent[2] = {};
    QCheckBox *CbReadOnly = nullptr;
    QComboBox *CbType = nullptr;
    quint8 m_displayType = 0;
    QString m_pictureFolder;
    UserMessages *m_messages = nullptr;
};
