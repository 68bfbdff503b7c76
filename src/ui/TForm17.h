#pragma once

#include <QDialog>

class QIcon;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;
class TDataFileManager;
class TForm1;

// "Update Viewer": the report of an application's update.
class TUpdateView : public QDialog
{
    Q_OBJECT

public:
    explicit TUpdateView(const QStringList &lines, QWidget *parent = nullptr);
    QPlainTextEdit *Text() const { return m_text; }

private:
    QPlainTextEdit *m_text = nullptr;
};

// "Project Properties": each application with its interface module and the state of its link,
// and the commands to update an application from a new export, remove it, or connect it.
class TForm17 : public QDialog
{
    Q_OBJECT

public:
    enum NodeKind { NodeApplication = 1, NodeInterface = 2, NodeLinkState = 3, NodeNoInterface = 4 };

    explicit TForm17(TForm1 *owner);

    // Clears the tree and fills it with the project's applications.
    void Fill();
    // The tree's node pictures by index: 0 application, 1 no or unknown interface module,
    // 2 Ethernet interface, 3 serial interface, 4 link connected, 5 not connected.
    static const QIcon &NodePicture(int index);
    QTreeWidget *Tree() const { return m_tree; }
    // The commands of the tree's menus, for the node at `item`.
    void UpdateFile(QTreeWidgetItem *item);
    void DeleteFile(QTreeWidgetItem *item);
    void Connect(QTreeWidgetItem *item);

private:
    // The application an entry of the tree stands for; none for a stale entry.
    TDataFileManager *ApplicationOf(QTreeWidgetItem *item) const;

    TForm1 *m_owner = nullptr;
    QTreeWidget *m_tree = nullptr;
};
