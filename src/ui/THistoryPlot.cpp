#include "THistoryPlot.h"

#include "TChannelStates.h"
#include "TCodePage.h"
#include "TDataFileManager.h"
#include "THistoryRecorder.h"
#include "THistoryStore.h"
#include "TProjectManager.h"
#include "TProjectSession.h"

#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QValueAxis>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr qint64 k_hour = 3600 * 1000;
constexpr qint64 k_day = 24 * k_hour;
const std::pair<const char *, qint64> k_ranges[] = {
    {"Last hour", k_hour}, {"Last day", k_day}, {"Last week", 7 * k_day}, {"Last month", 30 * k_day}, {"Last year", 365 * k_day}};
const QColor k_colours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28), QColor(0x2c, 0xa0, 0x2c),
                            QColor(0xff, 0x7f, 0x0e), QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b)};

} // namespace

THistoryChartView::THistoryChartView(QWidget *parent)
    : QChartView(parent)
{
    setRubberBand(QChartView::HorizontalRubberBand);
    setFocusPolicy(Qt::StrongFocus);
    setRenderHint(QPainter::Antialiasing, false);
}

void THistoryChartView::Zoom(double factor, double x)
{
    QChart *c = chart();
    const QRectF area = c->plotArea();
    if (area.width() <= 0)
        return;
    // The time under x stays where it is.
    const double at = std::clamp((x - area.left()) / area.width(), 0.0, 1.0);
    const QRectF zoomed(area.left() + area.width() * at * (1 - factor), area.top(), area.width() * factor, area.height());
    c->zoomIn(zoomed);
}

void THistoryChartView::Pan(double shift)
{
    chart()->scroll(chart()->plotArea().width() * shift, 0);
}

void THistoryChartView::wheelEvent(QWheelEvent *event)
{
    if (event->angleDelta().y() == 0)
        return QChartView::wheelEvent(event);
    Zoom(event->angleDelta().y() > 0 ? 0.8 : 1.25, event->position().x());
    event->accept();
}

void THistoryChartView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left: Pan(-0.1); break;
    case Qt::Key_Right: Pan(0.1); break;
    case Qt::Key_Plus:
    case Qt::Key_Equal: Zoom(0.8, chart()->plotArea().center().x()); break;
    case Qt::Key_Minus: Zoom(1.25, chart()->plotArea().center().x()); break;
    case Qt::Key_Home: emit homeRequested(); break;
    default: return QChartView::keyPressEvent(event);
    }
    event->accept();
}

void THistoryChartView::mousePressEvent(QMouseEvent *event)
{
    const bool pan = event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && event->modifiers() & Qt::ShiftModifier);
    if (!pan)
        return QChartView::mousePressEvent(event);
    m_panning = true;
    m_panFrom = event->position();
    event->accept();
}

void THistoryChartView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_panning)
        return QChartView::mouseMoveEvent(event);
    // The time under the pointer follows it.
    chart()->scroll(m_panFrom.x() - event->position().x(), 0);
    m_panFrom = event->position();
    event->accept();
}

void THistoryChartView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_panning)
        return QChartView::mouseReleaseEvent(event);
    m_panning = false;
    event->accept();
}

THistoryPlot::THistoryPlot(TProjectSession &session, const QString &folder, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_session(session)
    , m_folder(folder)
{
    setWindowTitle(QStringLiteral("History plot"));
    m_application = new QComboBox(this);
    m_range = new QComboBox(this);
    for (const auto &[caption, span] : k_ranges)
        m_range->addItem(QString::fromLatin1(caption), span);
    m_range->setCurrentIndex(1);
    m_available = new QComboBox(this);
    m_available->setMinimumContentsLength(30);
    auto *add = new QPushButton(QStringLiteral("Add"), this);
    auto *clear = new QPushButton(QStringLiteral("Clear"), this);
    auto *exportButton = new QPushButton(QStringLiteral("Export CSV…"), this);
    m_view = new THistoryChartView(this);
    auto *chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    m_time = new QDateTimeAxis;
    m_values = new QValueAxis;
    chart->addAxis(m_time, Qt::AlignBottom);
    chart->addAxis(m_values, Qt::AlignLeft);
    m_view->setChart(chart);

    auto *row = new QHBoxLayout;
    row->addWidget(m_application);
    row->addWidget(m_range);
    row->addWidget(m_available, 1);
    row->addWidget(add);
    row->addWidget(clear);
    row->addWidget(exportButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_view, 1);
    resize(900, 520);

    connect(m_application, &QComboBox::activated, this, &THistoryPlot::SetApplication);
    connect(m_range, &QComboBox::activated, this, &THistoryPlot::RangeChosen);
    connect(m_view, &THistoryChartView::homeRequested, this, &THistoryPlot::RangeChosen);
    connect(add, &QPushButton::clicked, this, [this] {
        const int index = m_available->currentIndex();
        if (index >= 0 && size_t(index) < m_availableKeys.size())
            AddSeries(m_availableKeys[size_t(index)]);
    });
    connect(clear, &QPushButton::clicked, this, [this] {
        m_keys.clear();
        Reload();
    });
    connect(exportButton, &QPushButton::clicked, this, &THistoryPlot::Export);
    connect(m_time, &QDateTimeAxis::rangeChanged, this, &THistoryPlot::AxisMoved);
    // A plot that ends now follows what is recorded while it is shown.
    auto *follow = new QTimer(this);
    follow->setInterval(5000);
    connect(follow, &QTimer::timeout, this, [this] {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        if (!isVisible())
            return;
        FillAvailable();
        if (m_until < now - 60 * 1000 || m_until > now)
            return;
        m_since += now - m_until;
        m_until = now;
        Reload();
    });
    follow->start();

    const auto fill = [this] {
        m_application->clear();
        for (const auto &application : m_session.Project()->Applications())
            m_application->addItem(TCodePage::ToDisplay(application->DisplayName()));
        SetApplication(m_application->currentIndex());
    };
    connect(&session, &TProjectSession::projectOpened, this, fill);
    connect(&session, &TProjectSession::applicationAdded, this, fill);
    connect(&session, &TProjectSession::applicationRemoved, this, [this, fill] {
        m_current = nullptr;
        m_store.reset();
        m_keys.clear();
        Reload();
        // Still listed during the signal: the list is made again once it has gone.
        QTimer::singleShot(0, this, fill);
    });
    connect(&session, &TProjectSession::aboutToClose, this, [this] {
        m_current = nullptr;
        m_store.reset();
        m_keys.clear();
        m_application->clear();
        Reload();
    });
    fill();
    RangeChosen();
}

THistoryPlot::~THistoryPlot() = default;

QString THistoryPlot::DatabaseOf(TDataFileManager *application) const
{
    return THistoryRecorder::DatabasePath(m_folder, InstallationId(*application));
}

void THistoryPlot::ShowSeries(TDataFileManager *application, const std::vector<THistorySeriesKey> &keys, qint64 since, qint64 until)
{
    const auto &applications = m_session.Project()->Applications();
    for (size_t i = 0; i < applications.size(); ++i) {
        if (applications[i].get() == application) {
            m_application->setCurrentIndex(int(i));
            SetApplication(int(i));
        }
    }
    FillAvailable();
    m_keys = keys;
    m_since = since;
    m_until = until;
    Reload();
}

void THistoryPlot::AddSeries(const THistorySeriesKey &key)
{
    if (std::none_of(m_keys.begin(), m_keys.end(), [&key](const THistorySeriesKey &k) { return k.SameSeries(key); }))
        m_keys.push_back(key);
    Reload();
}

void THistoryPlot::SetApplication(int index)
{
    const auto &applications = m_session.Project()->Applications();
    TDataFileManager *application = index >= 0 && size_t(index) < applications.size() ? applications[size_t(index)].get() : nullptr;
    if (application == m_current && m_store)
        return;
    m_current = application;
    m_store.reset();
    m_keys.clear();
    if (application && QFile::exists(DatabaseOf(application))) {
        auto store = std::make_unique<THistoryStore>();
        QString error;
        if (store->Open(DatabaseOf(application), error, nullptr, true))
            m_store = std::move(store);
    }
    FillAvailable();
    Reload();
}

void THistoryPlot::FillAvailable()
{
    // The list grows as series are first recorded; the one picked stays picked.
    const QString picked = m_available->currentText();
    m_availableKeys = m_store ? m_store->SeriesKeys() : std::vector<THistorySeriesKey>();
    const QSignalBlocker blocker(m_available);
    m_available->clear();
    for (const THistorySeriesKey &key : m_availableKeys)
        m_available->addItem(key.Label());
    m_available->setCurrentIndex(std::max(0, m_available->findText(picked)));
}

void THistoryPlot::RangeChosen()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    m_until = now;
    m_since = now - m_range->currentData().toLongLong();
    Reload();
}

void THistoryPlot::AxisMoved()
{
    if (m_reloading)
        return;
    // A zoom or pan: read again at the new scale once the chart has settled.
    m_since = m_time->min().toMSecsSinceEpoch();
    m_until = m_time->max().toMSecsSinceEpoch();
    QTimer::singleShot(0, this, [this] {
        if (m_time->min().toMSecsSinceEpoch() == m_since && m_time->max().toMSecsSinceEpoch() == m_until)
            Reload();
    });
}

void THistoryPlot::Reload()
{
    m_reloading = true;
    QChart *chart = m_view->chart();
    chart->removeAllSeries();
    m_lines.clear();
    if (!m_store && m_current && QFile::exists(DatabaseOf(m_current))) {
        // Recording began after the window was opened.
        m_current = nullptr;
        const std::vector<THistorySeriesKey> keys = m_keys;
        SetApplication(m_application->currentIndex());
        m_keys = keys;
        m_reloading = true;
    }
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const int pixels = std::max(100, int(chart->plotArea().width()));

    double low = std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::lowest();
    for (size_t k = 0; k < m_keys.size(); ++k) {
        const THistorySeriesKey &key = m_keys[k];
        const auto lines = m_store ? m_store->Plot(key, m_since, m_until, now, pixels) : std::vector<std::vector<QPointF>>();
        m_lines.push_back(int(lines.size()));
        const QPen pen(k_colours[k % std::size(k_colours)], 2);
        for (size_t l = 0; l < std::max<size_t>(lines.size(), 1); ++l) {
            auto *series = new QLineSeries;
            series->setPen(pen);
            series->setName(lines.empty() ? key.Label() + QStringLiteral(" (nothing recorded)") : key.Label());
            if (!lines.empty()) {
                series->replace(QList<QPointF>(lines[l].begin(), lines[l].end()));
                for (const QPointF &p : lines[l]) {
                    low = std::min(low, p.y());
                    high = std::max(high, p.y());
                }
            }
            chart->addSeries(series);
            series->attachAxis(m_time);
            series->attachAxis(m_values);
            // One entry in the legend for each series, not for each piece of it.
            if (l > 0) {
                for (QLegendMarker *marker : chart->legend()->markers(series))
                    marker->setVisible(false);
            }
        }
    }
    if (low > high) {
        low = 0;
        high = 1;
    }
    // Round steps of 1, 2 or 5 times a power of ten, five or six of them.
    const double margin = std::max((high - low) * 0.05, 0.1);
    const double extent = high - low + 2 * margin;
    double step = std::pow(10.0, std::floor(std::log10(extent / 5)));
    for (const double times : {1.0, 2.0, 5.0, 10.0}) {
        if (extent / (step * times) <= 6) {
            step *= times;
            break;
        }
    }
    const double bottom = std::floor((low - margin) / step) * step;
    m_values->setRange(bottom, std::ceil((high + margin) / step) * step);
    m_values->setTickType(QValueAxis::TicksDynamic);
    m_values->setTickAnchor(bottom);
    m_values->setTickInterval(step);
    m_values->setLabelFormat(QStringLiteral("%.4g"));
    const qint64 span = m_until - m_since;
    const char *format = span <= 10 * 60 * 1000 ? "HH:mm:ss" : span <= 2 * k_day ? "HH:mm" : span <= 60 * k_day ? "dd.MM HH:mm" : "dd.MM.yyyy";
    m_time->setFormat(QString::fromLatin1(format));
    m_time->setRange(QDateTime::fromMSecsSinceEpoch(m_since), QDateTime::fromMSecsSinceEpoch(m_until));
    m_reloading = false;
}

int THistoryPlot::PointsDrawn() const
{
    int points = 0;
    for (QAbstractSeries *series : m_view->chart()->series())
        points += int(static_cast<QLineSeries *>(series)->count());
    return points;
}

int THistoryPlot::LinesOf(int index) const
{
    return index >= 0 && size_t(index) < m_lines.size() ? m_lines[size_t(index)] : 0;
}

void THistoryPlot::Export()
{
    if (!m_store || m_keys.empty())
        return;
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export CSV"), QString(), QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    std::vector<std::vector<THistoryPoint>> points;
    for (const THistorySeriesKey &key : m_keys) {
        // The hourly figures where the rows are gone, then every row; not the value carried in
        // from before the range.
        std::vector<THistoryPoint> series = m_store->SeriesPoints(key, m_since, m_until, false);
        std::erase_if(series, [this](const THistoryPoint &p) { return p.Time < m_since; });
        points.push_back(std::move(series));
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(THistoryStore::SeriesCsv(m_keys, points)) < 0)
        setWindowTitle(QStringLiteral("History plot — the export could not be written"));
}
