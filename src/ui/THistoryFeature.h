#pragma once

#include "THistorySeries.h"
#include "THistoryStore.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

class QMenu;
class QWidget;
class TDataFileManager;
class THistoryPlot;
class THistoryRecorder;
class THistoryWindow;
class TProjectSession;
class TVQControl;

// How long the history keeps its rows: "History.ini" in the program's settings folder, apart
// from projects and from the settings file of the old format.
struct THistorySettings
{
    static THistoryRetention Load(const QString &folder);
    // False with `error` when the file could not be written.
    static bool Save(const QString &folder, const THistoryRetention &retention, QString *error);
    static QString IniPath(const QString &folder);
};

// The history in the program: the recorder that follows the session, the logbook ("Display >
// History"), the plot window, the retention ("Parameter > History…") and "History…" in a
// control's menu in run time, which plots the control's channel over the last 24 hours.
class THistoryFeature : public QObject
{
    Q_OBJECT

public:
    THistoryFeature(TProjectSession &session, const QString &settingsFolder, const QString &historyFolder, QWidget *window,
                    std::function<void(const QString &)> say);
    ~THistoryFeature() override;

    void AddTo(QMenu *parameterMenu, QMenu *displayMenu);
    // The series a control shows and the installation they belong to (none for a memo, a
    // shortcut or a camera).
    static std::pair<TDataFileManager *, std::vector<THistorySeriesKey>> SeriesOf(const TProjectSession &session, const TVQControl &control);
    void ShowPlot(TDataFileManager *application, std::vector<THistorySeriesKey> keys, qint64 since, qint64 until);

    THistoryRecorder *Recorder() const { return m_recorder; }
    THistoryWindow *Logbook();
    THistoryPlot *Plot();

private:
    void EditRetention();

    TProjectSession &m_session;
    QString m_settingsFolder;
    QPointer<QWidget> m_window;
    std::function<void(const QString &)> m_say;
    QString m_historyFolder;
    THistoryRecorder *m_recorder = nullptr;
    // Windows of the main window: gone with it.
    QPointer<THistoryWindow> m_logbook;
    QPointer<THistoryPlot> m_plot;
};
