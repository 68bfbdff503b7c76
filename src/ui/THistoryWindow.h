#pragma once

#include "THistoryStore.h"

#include <QDateTime>

#include <QWidget>

class QComboBox;
class QDateTimeEdit;
class TDataFileManager;
class QLineEdit;
class QTableWidget;
class QTimer;
class TProjectSession;

// "History": the logbook of the open project's installations, newest first (the newest 5,000
// rows of each), following what is recorded while it is shown; filtered by time range (or one of
// the user's), application, module, kind and a text, and the rows shown exported to CSV. A
// double-click on a row with a value asks for the plot of its series.
class THistoryWindow : public QWidget
{
    Q_OBJECT

public:
    THistoryWindow(TProjectSession &session, const QString &folder, QWidget *parent = nullptr);

    // Reads the rows again with the filters (the window does it every two seconds while shown).
    void Refresh();
    const std::vector<THistoryRow> &Shown() const { return m_rows; }

    QComboBox *m_range = nullptr;
    QDateTimeEdit *m_from = nullptr;
    QDateTimeEdit *m_to = nullptr;
    QComboBox *m_application = nullptr;
    QComboBox *m_module = nullptr;
    QComboBox *m_kind = nullptr;
    QLineEdit *m_search = nullptr;
    QTableWidget *m_table = nullptr;

signals:
    // The series of a row, around the row's time.
    void plotRequested(TDataFileManager *application, const THistorySeriesKey &key, qint64 time);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void Export();
    void FillApplications();
    void FillModules();
    void RowActivated(int row);

    TProjectSession &m_session;
    QString m_folder;
    QTimer *m_follow = nullptr;
    std::vector<THistoryRow> m_rows;
    std::vector<TDataFileManager *> m_rowApplications;
};
