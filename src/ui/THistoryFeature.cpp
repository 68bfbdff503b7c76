#include "THistoryFeature.h"

#include "TCodePage.h"
#include "TDataFileManager.h"
#include "THistoryPlot.h"
#include "THistoryRecorder.h"
#include "THistoryWindow.h"
#include "TModuleTypes.h"
#include "TProjectManager.h"
#include "TProjectSession.h"
#include "TVQBaseControl.h"
#include "TVQJaugeControl.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"
#include "TVQVariableBaseControl.h"

#include <QAction>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QSpinBox>

namespace {

// A window shown, brought up from the task bar if minimized, in front and active.
void BringForward(QWidget *window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

constexpr qint64 k_hour = 3600 * 1000;

// What the control of each family shows, as the history names it.
QStringList MeasuresOf(const QByteArray &control)
{
    if (control == "TVQQTorOutput" || control == "TVQQZulOutput")
        return {QStringLiteral("output")};
    if (control == "TVQQDimOutput")
        return {QStringLiteral("level")};
    if (control == "TVQQTorInput")
        return {QStringLiteral("input")};
    if (control == "TVQQSensorInput")
        return {QStringLiteral("temperature"), QStringLiteral("set point")};
    if (control == "TVQQIn10VInput")
        return {QStringLiteral("0-10 V")};
    return {};
}

} // namespace

QString THistorySettings::IniPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("History.ini"));
}

THistoryRetention THistorySettings::Load(const QString &folder)
{
    const QSettings ini(IniPath(folder), QSettings::IniFormat);
    THistoryRetention retention;
    retention.RawDays = std::max<qint64>(1, ini.value(QStringLiteral("Retention/RawDays"), retention.RawDays).toLongLong());
    retention.HourlyDays = std::max<qint64>(1, ini.value(QStringLiteral("Retention/HourlyDays"), retention.HourlyDays).toLongLong());
    return retention;
}

bool THistorySettings::Save(const QString &folder, const THistoryRetention &retention, QString *error)
{
    QDir().mkpath(folder);
    QSettings ini(IniPath(folder), QSettings::IniFormat);
    ini.setValue(QStringLiteral("Retention/RawDays"), retention.RawDays);
    ini.setValue(QStringLiteral("Retention/HourlyDays"), retention.HourlyDays);
    ini.sync();
    if (ini.status() == QSettings::NoError)
        return true;
    if (error)
        *error = QStringLiteral("The history settings could not be written to %1.").arg(IniPath(folder));
    return false;
}

THistoryFeature::THistoryFeature(TProjectSession &session, const QString &settingsFolder, const QString &historyFolder, QWidget *window,
                                 std::function<void(const QString &)> say)
    : QObject(&session)
    , m_session(session)
    , m_settingsFolder(settingsFolder)
    , m_window(window)
    , m_say(std::move(say))
    , m_historyFolder(historyFolder)
    , m_recorder(new THistoryRecorder(session, historyFolder, m_say, this))
{
    m_recorder->SetRetention(THistorySettings::Load(settingsFolder));
    TVQControl::AddRunTimeMenuEntry(this, [this](TVQControl &control, QMenu &menu) {
        auto [application, keys] = SeriesOf(m_session, control);
        if (!application || keys.empty())
            return;
        QAction *history = menu.addAction(QStringLiteral("History…"));
        history->setObjectName(QStringLiteral("HistoryMenu"));
        connect(history, &QAction::triggered, this, [this, application = application, keys = keys] {
            const qint64 now = QDateTime::currentMSecsSinceEpoch();
            ShowPlot(application, keys, now - 24 * k_hour, now);
        });
    });
}

THistoryFeature::~THistoryFeature() = default;

// The windows are made when first asked for: their widgets and their first queries cost nothing
// until the user opens them. None once the main window is gone.
THistoryWindow *THistoryFeature::Logbook()
{
    if (!m_logbook && m_window) {
        m_logbook = new THistoryWindow(m_session, m_historyFolder, m_window);
        connect(m_logbook, &THistoryWindow::plotRequested, this, [this](TDataFileManager *application, const THistorySeriesKey &key, qint64 time) {
            std::vector<THistorySeriesKey> keys{key};
            if (key.What == QStringLiteral("temperature"))
                keys.push_back({key.Kind, key.Serial, key.Channel, QStringLiteral("set point"), key.Name});
            // The day around the row, or the last day when that would reach past now.
            const qint64 until = std::min(time + 12 * k_hour, QDateTime::currentMSecsSinceEpoch());
            ShowPlot(application, keys, until - 24 * k_hour, until);
        });
    }
    return m_logbook;
}

THistoryPlot *THistoryFeature::Plot()
{
    if (!m_plot && m_window)
        m_plot = new THistoryPlot(m_session, m_historyFolder, m_window);
    return m_plot;
}

void THistoryFeature::AddTo(QMenu *parameterMenu, QMenu *displayMenu)
{
    QAction *retention = parameterMenu->addAction(QStringLiteral("History…"));
    retention->setObjectName(QStringLiteral("HistorySettings"));
    connect(retention, &QAction::triggered, this, &THistoryFeature::EditRetention);
    QAction *logbook = displayMenu->addAction(QStringLiteral("History"));
    logbook->setObjectName(QStringLiteral("HistoryWindow"));
    connect(logbook, &QAction::triggered, this, [this] {
        THistoryWindow *shown = Logbook();
        if (!shown)
            return;
        BringForward(shown);
    });
}

std::pair<TDataFileManager *, std::vector<THistorySeriesKey>> THistoryFeature::SeriesOf(const TProjectSession &session, const TVQControl &control)
{
    std::vector<THistorySeriesKey> keys;
    if (const auto *output = dynamic_cast<const TVQBaseControl *>(&control)) {
        const TVQQModuleBase *module = output->GetParentModule();
        if (!module)
            return {};
        const ModuleRecord &record = *module->GetRecord();
        const QString serial = QString::fromLatin1(QByteArray::number(record.SerialNumber, 16).rightJustified(8, '0'));
        const QString name = TCodePage::ToDisplay(record.Name).trimmed() + QStringLiteral(" / ") +
                             TCodePage::ToDisplay(module->GetIoName(output->IOIndex())).trimmed();
        for (const QString &what : MeasuresOf(QByteArray(TModuleTypes::Channel(record.ModuleType, output->IOIndex()).Control)))
            keys.push_back({QStringLiteral("state"), serial, output->IOIndex(), what, name});
        return {output->BoundApplication(), keys};
    }
    if (const auto *variable = dynamic_cast<const TVQVariableBaseControl *>(&control)) {
        const TVQQVariableBaseItem *item = variable->GetParentVariable();
        if (!item)
            return {};
        keys.push_back({QStringLiteral("variable"), QString(), item->GetVariableNumber(), QStringLiteral("value"),
                        TCodePage::ToDisplay(item->GetName()).trimmed()});
        return {variable->BoundApplication(), keys};
    }
    if (dynamic_cast<const TVQJaugeControl *>(&control)) {
        // The power total is kept in every installation's history: the first one's is shown.
        const auto &applications = session.Project()->Applications();
        if (applications.empty())
            return {};
        keys.push_back({QStringLiteral("power"), QString(), -1, QStringLiteral("power"), QString()});
        return {applications.front().get(), keys};
    }
    return {};
}

void THistoryFeature::ShowPlot(TDataFileManager *application, std::vector<THistorySeriesKey> keys, qint64 since, qint64 until)
{
    THistoryPlot *plot = Plot();
    if (!plot)
        return;
    // What is being gathered is written first, so that the plot shows it.
    m_recorder->FlushAndWait();
    plot->ShowSeries(application, keys, since, until);
    BringForward(plot);
}

void THistoryFeature::EditRetention()
{
    const THistoryRetention current = THistorySettings::Load(m_settingsFolder);
    QDialog dialog(m_window);
    dialog.setWindowTitle(QStringLiteral("History"));
    auto *raw = new QSpinBox(&dialog);
    raw->setRange(1, 3650);
    raw->setSuffix(QStringLiteral(" days"));
    raw->setValue(int(current.RawDays));
    auto *hourly = new QSpinBox(&dialog);
    hourly->setRange(1, 36500);
    hourly->setSuffix(QStringLiteral(" days"));
    hourly->setValue(int(current.HourlyDays));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto *form = new QFormLayout(&dialog);
    form->addRow(QStringLiteral("Keep every change"), raw);
    form->addRow(QStringLiteral("Keep hourly figures"), hourly);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const THistoryRetention chosen{.RawDays = raw->value(), .HourlyDays = hourly->value()};
    QString error;
    if (!THistorySettings::Save(m_settingsFolder, chosen, &error)) {
        QMessageBox::warning(m_window, QStringLiteral("History"), error);
        return;
    }
    m_recorder->SetRetention(chosen);
}
