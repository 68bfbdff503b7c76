#include "TSearchListWindow.h"

#include "TWindowPlaces.h"

#include "TCodePage.h"
#include "TDataFileManager.h"
#include "TModuleTypes.h"
#include "TProgramLists.h"
#include "TProjectManager.h"
#include "TVQQModuleBase.h"

#include <QComboBox>
#include <QDrag>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

// The item list: a drag carries the entry's ListItemData.
class TSearchItemList : public QListWidget
{
public:
    explicit TSearchItemList(TSearchListWindow *window) : QListWidget(window), m_window(window)
    {
        setDragEnabled(true);
        setDragDropMode(QAbstractItemView::DragOnly);
        setSelectionMode(QAbstractItemView::SingleSelection);
    }

protected:
    void startDrag(Qt::DropActions) override
    {
        QMimeData *mime = m_window->MimeDataFor(currentRow());
        if (!mime)
            return;
        auto *drag = new QDrag(this);
        drag->setMimeData(mime);
        drag->exec(Qt::CopyAction);
    }

private:
    TSearchListWindow *m_window;
};

namespace {

struct ListDescription
{
    const char *caption;
    bool stayOnTop;
    quint8 ioKind;                    // for the IO lists
    std::vector<quint16> filter;      // module types, or memo / variable kinds
};

const ListDescription &Describe(TSearchListWindow::Lists lists)
{
    static const ListDescription outputs{"Outputs", true, 2, TModuleTypes::FilterTypes(&TFilterPlaces::Outputs)};
    static const ListDescription inputs{"Inputs", true, 1, TModuleTypes::FilterTypes(&TFilterPlaces::Inputs)};
    static const ListDescription sensors{"Sensors", false, 6, TModuleTypes::FilterTypes(&TFilterPlaces::Sensors)};
    static const ListDescription memos{"Memos", true, 0, {0, 1, 2}};
    static const ListDescription variables{"Variables", false, 0, {0, 1}};
    switch (lists) {
    case TSearchListWindow::Lists::Outputs: return outputs;
    case TSearchListWindow::Lists::Inputs: return inputs;
    case TSearchListWindow::Lists::Sensors: return sensors;
    case TSearchListWindow::Lists::Memos: return memos;
    case TSearchListWindow::Lists::Variables: return variables;
    }
    return outputs;
}

} // namespace

TSearchListWindow::TSearchListWindow(Lists lists, QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_lists(lists)
    , m_search(new QLineEdit(this))
    , m_files(new QComboBox(this))
    , m_filter(new QListWidget(this))
    , m_items(new TSearchItemList(this))
{
    const ListDescription &list = Describe(lists);
    setWindowTitle(QString::fromLatin1(list.caption));
    if (list.stayOnTop)
        setWindowFlag(Qt::WindowStaysOnTopHint);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("String search"), m_search);
    form->addRow(QStringLiteral("File"), m_files);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    m_filter->setMaximumHeight(110);
    layout->addWidget(m_filter);
    layout->addWidget(m_items, 1);
    resize(260, 460);
    TWindowPlaces::Follow(this, QStringLiteral("list%1").arg(int(lists)));

    connect(m_search, &QLineEdit::textChanged, this, &TSearchListWindow::FillItems);
    connect(m_files, &QComboBox::currentIndexChanged, this, &TSearchListWindow::FillItems);
    if (lists != Lists::Sensors)
        connect(m_filter, &QListWidget::itemChanged, this, &TSearchListWindow::FillItems);
}

TSearchListWindow::~TSearchListWindow() = default;

void TSearchListWindow::SetSources(TProjectManager *project, TProgramLists *lists)
{
    m_project = project;
    m_programLists = lists;
    m_items->clear();
    m_data.clear();
    m_files->blockSignals(true);
    m_files->clear();
    m_files->blockSignals(false);
}

bool TSearchListWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate) {
        // The filter comes back unticked: the list follows it, or it would stay narrowed by ticks
        // no longer shown.
        bool anyTicked = false;
        for (int i = 0; i < m_filter->count(); ++i)
            anyTicked |= m_filter->item(i)->checkState() == Qt::Checked;
        FillKindFilter();
        if (anyTicked)
            FillItems();
    }
    return QWidget::event(event);
}

void TSearchListWindow::FillKindFilter()
{
    m_filter->blockSignals(true);
    m_filter->clear();
    const ListDescription &list = Describe(m_lists);
    for (quint16 value : list.filter) {
        QString text;
        if (m_lists == Lists::Memos)
            text = value == 0 ? QStringLiteral("Memo") : value == 1 ? QStringLiteral("Memo ZUL") : QStringLiteral("Memo DIMMER");
        else if (m_lists == Lists::Variables)
            text = value == 0 ? QStringLiteral("Boolean") : QStringLiteral("Value");
        else
            text = QString::fromLatin1(TModuleTypes::ModelCode(value));
        auto *entry = new QListWidgetItem(text, m_filter);
        entry->setData(Qt::UserRole, value);
        entry->setFlags(entry->flags() | Qt::ItemIsUserCheckable);
        entry->setCheckState(Qt::Unchecked);
    }
    m_filter->blockSignals(false);
}

void TSearchListWindow::Refresh()
{
    m_files->blockSignals(true);
    m_files->clear();
    if (m_project) {
        const auto &applications = m_project->Applications();
        for (size_t i = 0; i < applications.size(); ++i)
            m_files->addItem(TCodePage::ToDisplay(TDataFileManager::FileNamePart(applications[i]->Settings().SourcePath)), int(i));
        m_files->setEnabled(applications.size() >= 2);
    }
    m_files->setCurrentIndex(m_files->count() > 0 ? 0 : -1);
    m_files->blockSignals(false);
    if (m_filter->count() == 0)
        FillKindFilter();
    FillItems();
}

bool TSearchListWindow::FilterAccepts(quint16 value) const
{
    bool anyTicked = false;
    for (int i = 0; i < m_filter->count(); ++i)
        anyTicked |= m_filter->item(i)->checkState() == Qt::Checked;
    if (!anyTicked)
        return true;
    for (int i = 0; i < m_filter->count(); ++i) {
        if (m_filter->item(i)->data(Qt::UserRole).toInt() == value)
            return m_filter->item(i)->checkState() == Qt::Checked;
    }
    // A kind the filter has no entry for follows the first entry's tick.
    return m_filter->count() > 0 && m_filter->item(0)->checkState() == Qt::Checked;
}

QString TSearchListWindow::IoEntryText(const TDataFileManager &application, const IoRecord &io)
{
    QString text = TCodePage::ToDisplay(io.Name);
    const ModuleRecord *module = application.FindModuleByNumber(io.ModuleNumber);
    if (!module)
        return text;
    text += QStringLiteral(" [") + QString::number(module->SerialNumber & 0xFFFFFF);
    if (TModuleTypes::Row(module->ModuleType).NumberedChannels)
        text += QStringLiteral("-") + QString::number(io.Channel + 1);
    return text + QStringLiteral("]");
}

void TSearchListWindow::AddEntry(const QString &text, const ListItemData &data)
{
    m_data.push_back(data);
    m_items->addItem(text);
}

void TSearchListWindow::FillItems()
{
    m_items->clear();
    m_data.clear();
    if (!m_project || !m_programLists)
        return;
    const int position = m_files->currentData().toInt();
    const auto &applications = m_project->Applications();
    if (m_files->currentIndex() < 0 || position < 0 || size_t(position) >= applications.size())
        return;
    TDataFileManager *app = applications[size_t(position)].get();
    const QString search = m_search->text();
    const auto matches = [&search](const QByteArray &name) {
        return search.isEmpty() || TCodePage::ToDisplay(name).contains(search, Qt::CaseInsensitive);
    };

    // Memos and variables: the defined ones of a kind the lists show, numbered by their place.
    const auto addNamed = [&](const auto &records, quint8 kinds, auto kindOf, ListItemData::Kinds entryKind, auto member) {
        for (size_t p = 0; p < records.size(); ++p) {
            const auto *r = records[p];
            if (r->Defined == 1 && kindOf(*r) < kinds && FilterAccepts(kindOf(*r)) && matches(r->Name)) {
                ListItemData data;
                data.*member = records[p];
                data.Application = app;
                data.Kind = entryKind;
                data.Index = quint16(p);
                AddEntry(TCodePage::ToDisplay(r->Name), data);
            }
        }
    };
    if (m_lists == Lists::Memos) {
        addNamed(app->Current().Memos, 3, [](const MemoRecord &m) { return m.MemoKind; }, ListItemData::KindMemo,
                 &ListItemData::Memo);
        return;
    }
    if (m_lists == Lists::Variables) {
        addNamed(app->Current().Variables, 2, [](const VariableRecord &v) { return v.VariableKind; },
                 ListItemData::KindVariable, &ListItemData::Variable);
        return;
    }

    const quint8 ioKind = Describe(m_lists).ioKind;
    for (const auto &module : m_programLists->Modules()) {
        if (module->GetApplication() != app)
            continue;
        const ModuleRecord *record = module->GetRecord();
        for (qsizetype i = record->FirstIoIndex; IoRecord *io = app->IoAt(i); ++i) {
            if (io->ModuleNumber != record->ModuleNumber)
                break;
            if (TModuleTypes::IsHiddenChannel(record->ModuleType, io->Channel, record->ModuleOptions) || io->IoKind != ioKind
                || !FilterAccepts(record->ModuleType) || !matches(io->Name))
                continue;
            ListItemData data;
            data.Io = io;
            data.Application = app;
            data.Kind = ListItemData::KindModuleIo;
            AddEntry(IoEntryText(*app, *io), data);
        }
    }
}

QListWidget *TSearchListWindow::Items() const
{
    return m_items;
}

const ListItemData *TSearchListWindow::ItemData(int row) const
{
    return row >= 0 && size_t(row) < m_data.size() ? &m_data[size_t(row)] : nullptr;
}

QMimeData *TSearchListWindow::MimeDataFor(int row) const
{
    const ListItemData *data = ItemData(row);
    return data ? new TListItemMime(*data) : nullptr;
}
