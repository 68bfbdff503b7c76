#pragma once

#include "THistoryStore.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QTableWidget;
class QTimer;
class TProjectSession;

// "History": the logbook of the open project's installations, newest first (the newest 5,000
// rows of each), following what is recorded while it is shown; filtered by time range, kind and
// a text, and the rows shown exported to CSV.
class THistoryWindow : public QWidget
{
    Q_OBJECT

public:
    THistoryWindow(TProjectSession &session, const QString &folder, QWidget *parent = nullptr);

    // Reads the rows again with the filters (the window does it every two seconds while shown).
    void Refresh();
    const std::vector<THistoryRow> &Shown() const { return m_rows; }

    QComboBox *m_range = nullptr;
    QComboBox *m_kind = nullptr;
    QLineEdit *m_search = nullptr;
    QTableWidget *m_table = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void Export();

    TProjectSession &m_session;
    QString m_folder;
    QTimer *m_follow = nullptr;
    std::vector<THistoryRow> m_rows;
};
