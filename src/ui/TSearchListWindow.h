#pragma once

#include "ListItemData.h"

#include <QPointer>
#include <QWidget>

#include <vector>

class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class TProgramLists;
class TProjectManager;

// The item list of a search window: its entries are drag sources.
class TSearchItemList;

// One of the five search lists of design time: a text search, the application ("File"), a kind
// filter and the list of items that can be dragged onto a screen.
class TSearchListWindow : public QWidget
{
    Q_OBJECT

public:
    enum class Lists { Outputs, Inputs, Sensors, Memos, Variables };

    // The project and lists are read on each refresh; they must outlive the window or be reset
    // with SetSources before they go.
    TSearchListWindow(Lists lists, QWidget *parent = nullptr);
    ~TSearchListWindow() override;

    void SetSources(TProjectManager *project, TProgramLists *lists);
    // Refills the "File" list and the items for the first application.
    void Refresh();
    // Refills the kind filter, all unticked (on each activation of the window).
    void FillKindFilter();
    // Refills the items for the application selected in "File".
    void FillItems();

    QLineEdit *SearchText() const { return m_search; }
    QComboBox *FileList() const { return m_files; }
    QListWidget *KindFilter() const { return m_filter; }
    QListWidget *Items() const;
    // The data of an entry of the item list.
    const ListItemData *ItemData(int row) const;
    // What dragging that entry carries.
    QMimeData *MimeDataFor(int row) const;

    // The entry text of an IO: its name and its module's serial, with the channel number (from 1)
    // on modules whose channels are numbered.
    static QString IoEntryText(const TDataFileManager &application, const IoRecord &io);

protected:
    bool event(QEvent *event) override;

private:
    bool FilterAccepts(quint16 value) const;
    void AddEntry(const QString &text, const ListItemData &data);

    Lists m_lists;
    TProjectManager *m_project = nullptr;
    QPointer<TProgramLists> m_programLists;  // replaced with the project: checked before use
    QLineEdit *m_search = nullptr;
    QComboBox *m_files = nullptr;
    QListWidget *m_filter = nullptr;
    TSearchItemList *m_items = nullptr;
    std::vector<ListItemData> m_data;
};

// The output search list.
class TForm4 : public TSearchListWindow
{
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr) : TSearchListWindow(Lists::Outputs, parent) {}
};

// The input search list.
class TForm15 : public TSearchListWindow
{
    Q_OBJECT
public:
    explicit TForm15(QWidget *parent = nullptr) : TSearchListWindow(Lists::Inputs, parent) {}
};

// The temperature-sensor search list.
class TForm11 : public TSearchListWindow
{
    Q_OBJECT
public:
    explicit TForm11(QWidget *parent = nullptr) : TSearchListWindow(Lists::Sensors, parent) {}
};

// The memo search list.
class TSearchMemoForm : public TSearchListWindow
{
    Q_OBJECT
public:
    explicit TSearchMemoForm(QWidget *parent = nullptr) : TSearchListWindow(Lists::Memos, parent) {}
};

// The variable search list.
class TForm5 : public TSearchListWindow
{
    Q_OBJECT
public:
    explicit TForm5(QWidget *parent = nullptr) : TSearchListWindow(Lists::Variables, parent) {}
};
