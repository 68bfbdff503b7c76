#include "THistoryWindow.h"

#include "TChannelStates.h"
#include "TCodePage.h"
#include "TDataFileManager.h"
#include "THistoryRecorder.h"
#include "TProjectManager.h"
#include "TProgramLists.h"
#include "TProjectSession.h"
#include "TVQQModuleBase.h"

#include <QComboBox>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace {

constexpr qint64 k_hour = 3600 * 1000;
constexpr int k_shownRows = 5000;
// The time ranges offered, in milliseconds back from now; 0: everything kept; -1: the user's own.
const std::pair<const char *, qint64> k_ranges[] = {
    {"Last hour", k_hour}, {"Last day", 24 * k_hour}, {"Last week", 7 * 24 * k_hour}, {"Everything", 0}, {"Custom", -1}};
const char *const k_kinds[] = {"state", "command", "link", "mode", "memo", "variable", "power", "project"};

} // namespace

THistoryWindow::THistoryWindow(TProjectSession &session, const QString &folder, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_session(session)
    , m_folder(folder)
    , m_follow(new QTimer(this))
{
    setWindowTitle(QStringLiteral("History"));
    m_range = new QComboBox(this);
    for (const auto &[caption, span] : k_ranges)
        m_range->addItem(QString::fromLatin1(caption), span);
    m_range->setCurrentIndex(1);
    const QDateTime now = QDateTime::currentDateTime();
    m_from = new QDateTimeEdit(now.addDays(-1), this);
    m_to = new QDateTimeEdit(now, this);
    for (QDateTimeEdit *edit : {m_from, m_to}) {
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
        edit->setCalendarPopup(true);
        edit->hide();
    }
    m_application = new QComboBox(this);
    m_module = new QComboBox(this);
    m_kind = new QComboBox(this);
    m_kind->addItem(QStringLiteral("All kinds"));
    for (const char *kind : k_kinds)
        m_kind->addItem(QString::fromLatin1(kind));
    m_search = new QLineEdit(this);
    m_search->setPlaceholderText(QStringLiteral("Search"));
    m_search->setClearButtonEnabled(true);
    auto *exportButton = new QPushButton(QStringLiteral("Export CSV…"), this);
    m_table = new QTableWidget(0, 6, this);
    m_table->setHorizontalHeaderLabels({QStringLiteral("Time"), QStringLiteral("Application"), QStringLiteral("Name"),
                                        QStringLiteral("Channel"), QStringLiteral("What"), QStringLiteral("Value")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->setWordWrap(false);
    m_table->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {140, 90, 330, 60, 110};
    for (int c = 0; c < 5; ++c)
        m_table->setColumnWidth(c, widths[c]);

    auto *filters = new QHBoxLayout;
    filters->addWidget(m_range);
    filters->addWidget(m_from);
    filters->addWidget(m_to);
    filters->addWidget(m_application);
    filters->addWidget(m_module);
    filters->addWidget(m_kind);
    filters->addWidget(m_search, 1);
    filters->addWidget(exportButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_table);
    resize(900, 480);

    connect(m_range, &QComboBox::currentIndexChanged, this, [this] {
        const bool custom = m_range->currentData().toLongLong() < 0;
        m_from->setVisible(custom);
        m_to->setVisible(custom);
        Refresh();
    });
    connect(m_from, &QDateTimeEdit::dateTimeChanged, this, &THistoryWindow::Refresh);
    connect(m_to, &QDateTimeEdit::dateTimeChanged, this, &THistoryWindow::Refresh);
    connect(m_application, &QComboBox::currentIndexChanged, this, [this] {
        FillModules();
        Refresh();
    });
    connect(m_module, &QComboBox::currentIndexChanged, this, &THistoryWindow::Refresh);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &THistoryWindow::RowActivated);
    connect(&session, &TProjectSession::projectOpened, this, &THistoryWindow::FillApplications);
    connect(&session, &TProjectSession::applicationAdded, this, &THistoryWindow::FillApplications);
    connect(&session, &TProjectSession::closed, this, &THistoryWindow::FillApplications);
    // The rows name applications: none is kept past its going.
    const auto forget = [this] {
        m_rows.clear();
        m_rowApplications.clear();
        m_table->setRowCount(0);
    };
    connect(&session, &TProjectSession::aboutToClose, this, forget);
    connect(&session, &TProjectSession::applicationRemoved, this, [this, forget] {
        forget();
        // Still listed during the signal: the lists are made again once it has gone.
        QTimer::singleShot(0, this, &THistoryWindow::FillApplications);
    });
    FillApplications();
    connect(m_kind, &QComboBox::currentIndexChanged, this, &THistoryWindow::Refresh);
    connect(m_search, &QLineEdit::textChanged, this, &THistoryWindow::Refresh);
    connect(exportButton, &QPushButton::clicked, this, &THistoryWindow::Export);
    // Follows what is recorded while shown.
    m_follow->setInterval(2000);
    connect(m_follow, &QTimer::timeout, this, [this] {
        // Rows the user is reading or has picked do not move under the pointer: the logbook
        // follows only while it is at its top with nothing selected.
        if (!m_table->selectionModel()->hasSelection() && m_table->verticalScrollBar()->value() == 0)
            Refresh();
    });
}

void THistoryWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Refresh();
    m_follow->start();
}

void THistoryWindow::hideEvent(QHideEvent *event)
{
    m_follow->stop();
    QWidget::hideEvent(event);
}

void THistoryWindow::FillApplications()
{
    const QSignalBlocker blocker(m_application);
    m_application->clear();
    m_application->addItem(QStringLiteral("All applications"));
    for (const auto &application : m_session.Project()->Applications())
        m_application->addItem(TCodePage::ToDisplay(application->DisplayName()), QVariant::fromValue(static_cast<void *>(application.get())));
    FillModules();
}

void THistoryWindow::FillModules()
{
    const QSignalBlocker blocker(m_module);
    m_module->clear();
    m_module->addItem(QStringLiteral("All modules"), -1);
    const void *application = m_application->currentData().value<void *>();
    m_module->setEnabled(application != nullptr);
    if (!application)
        return;
    for (const auto &module : m_session.Lists()->Modules()) {
        if (module->GetApplication() == application)
            m_module->addItem(QStringLiteral("%1 %2").arg(module->GetModuleNumber()).arg(TCodePage::ToDisplay(module->GetDisplayName()).trimmed()),
                              int(module->GetModuleNumber()));
    }
}

void THistoryWindow::Refresh()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 span = m_range->currentData().toLongLong();
    qint64 since = span > 0 ? now - span : 0;
    qint64 until = std::numeric_limits<qint64>::max();
    if (span < 0) {
        since = m_from->dateTime().toMSecsSinceEpoch();
        until = m_to->dateTime().toMSecsSinceEpoch();
    }
    const QString kind = m_kind->currentIndex() > 0 ? m_kind->currentText() : QString();
    const QString search = m_search->text().trimmed();
    const void *only = m_application->currentData().value<void *>();
    const int module = only ? m_module->currentData().toInt() : -1;
    m_rows.clear();
    std::vector<TDataFileManager *> applications;
    for (const auto &application : m_session.Project()->Applications()) {
        if (only && application.get() != only)
            continue;
        THistoryStore store;
        QString error;
        const QString path = THistoryRecorder::DatabasePath(m_folder, InstallationId(*application));
        if (!QFile::exists(path) || !store.Open(path, error, nullptr, true))
            continue;
        // The newest rows only: a month of a busy installation would not fit in a table.
        for (THistoryRow &row : store.Rows(since, until, module, kind, k_shownRows)) {
            if (!search.isEmpty() && !row.Name.contains(search, Qt::CaseInsensitive) && !row.Text.contains(search, Qt::CaseInsensitive) &&
                !row.What.contains(search, Qt::CaseInsensitive))
                continue;
            m_rows.push_back(std::move(row));
            applications.push_back(application.get());
        }
    }
    // Newest first, across the installations; rows of one millisecond in the reverse of their order.
    std::vector<size_t> order(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = order.size() - 1 - i;
    std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) { return m_rows[a].Time > m_rows[b].Time; });
    std::vector<THistoryRow> sorted;
    sorted.reserve(order.size());
    m_rowApplications.clear();
    m_table->setRowCount(int(order.size()));
    for (size_t r = 0; r < order.size(); ++r) {
        const THistoryRow &row = m_rows[order[r]];
        const QString value = row.Text.isEmpty() && row.HasValue ? QString::number(row.Value) : row.Text;
        const QString cells[] = {QDateTime::fromMSecsSinceEpoch(row.Time).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                 TCodePage::ToDisplay(applications[order[r]]->DisplayName()), row.Name.isEmpty() ? row.Kind : row.Name,
                                 row.Channel >= 0 ? QString::number(row.Channel) : QString(),
                                 row.Test ? row.What + QStringLiteral(" (test)") : row.What, value};
        for (int c = 0; c < 6; ++c)
            m_table->setItem(int(r), c, new QTableWidgetItem(cells[c]));
        sorted.push_back(row);
        m_rowApplications.push_back(applications[order[r]]);
    }
    m_rows = std::move(sorted);
    m_table->clearSelection();
}

void THistoryWindow::RowActivated(int index)
{
    if (index < 0 || size_t(index) >= m_rows.size())
        return;
    const THistoryRow &row = m_rows[size_t(index)];
    if (!row.HasValue || row.Test)
        return;
    emit plotRequested(m_rowApplications[size_t(index)], THistorySeriesKey{row.Kind, row.Serial, row.Channel, row.What, row.Name}, row.Time);
}

void THistoryWindow::Export()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export CSV"), QString(), QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    std::vector<THistoryRow> oldestFirst(m_rows.rbegin(), m_rows.rend());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(THistoryStore::Csv(oldestFirst)) < 0)
        setWindowTitle(QStringLiteral("History — the export could not be written"));
}
