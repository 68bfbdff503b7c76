#include "THistoryWindow.h"

#include "TChannelStates.h"
#include "TCodePage.h"
#include "TDataFileManager.h"
#include "THistoryRecorder.h"
#include "TProjectManager.h"
#include "TProjectSession.h"

#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace {

constexpr qint64 k_hour = 3600 * 1000;
constexpr int k_shownRows = 5000;
// The time ranges offered, in milliseconds back from now; 0: everything kept.
const std::pair<const char *, qint64> k_ranges[] = {{"Last hour", k_hour}, {"Last day", 24 * k_hour}, {"Last week", 7 * 24 * k_hour}, {"Everything", 0}};
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
    filters->addWidget(m_kind);
    filters->addWidget(m_search, 1);
    filters->addWidget(exportButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_table);
    resize(900, 480);

    connect(m_range, &QComboBox::currentIndexChanged, this, &THistoryWindow::Refresh);
    connect(m_kind, &QComboBox::currentIndexChanged, this, &THistoryWindow::Refresh);
    connect(m_search, &QLineEdit::textChanged, this, &THistoryWindow::Refresh);
    connect(exportButton, &QPushButton::clicked, this, &THistoryWindow::Export);
    // Follows what is recorded while shown.
    m_follow->setInterval(2000);
    connect(m_follow, &QTimer::timeout, this, &THistoryWindow::Refresh);
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

void THistoryWindow::Refresh()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 span = m_range->currentData().toLongLong();
    const qint64 since = span > 0 ? now - span : 0;
    const QString kind = m_kind->currentIndex() > 0 ? m_kind->currentText() : QString();
    const QString search = m_search->text().trimmed();
    m_rows.clear();
    std::vector<QString> applications;
    for (const auto &application : m_session.Project()->Applications()) {
        THistoryStore store;
        QString error;
        const QString path = THistoryRecorder::DatabasePath(m_folder, InstallationId(*application));
        if (!QFile::exists(path) || !store.Open(path, error, nullptr, true))
            continue;
        const QString name = TCodePage::ToDisplay(application->DisplayName());
        // The newest rows only: a month of a busy installation would not fit in a table.
        for (THistoryRow &row : store.Rows(since, std::numeric_limits<qint64>::max(), -1, kind, k_shownRows)) {
            if (!search.isEmpty() && !row.Name.contains(search, Qt::CaseInsensitive) && !row.Text.contains(search, Qt::CaseInsensitive) &&
                !row.What.contains(search, Qt::CaseInsensitive))
                continue;
            m_rows.push_back(std::move(row));
            applications.push_back(name);
        }
    }
    // Newest first, across the installations; rows of one millisecond in the reverse of their order.
    std::vector<size_t> order(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = order.size() - 1 - i;
    std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) { return m_rows[a].Time > m_rows[b].Time; });
    std::vector<THistoryRow> sorted;
    sorted.reserve(order.size());
    m_table->setRowCount(int(order.size()));
    for (size_t r = 0; r < order.size(); ++r) {
        const THistoryRow &row = m_rows[order[r]];
        const QString value = row.Text.isEmpty() && row.HasValue ? QString::number(row.Value) : row.Text;
        const QString cells[] = {QDateTime::fromMSecsSinceEpoch(row.Time).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                 applications[order[r]], row.Name.isEmpty() ? row.Kind : row.Name,
                                 row.Channel >= 0 ? QString::number(row.Channel) : QString(),
                                 row.Test ? row.What + QStringLiteral(" (test)") : row.What, value};
        for (int c = 0; c < 6; ++c)
            m_table->setItem(int(r), c, new QTableWidgetItem(cells[c]));
        sorted.push_back(row);
    }
    m_rows = std::move(sorted);
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
