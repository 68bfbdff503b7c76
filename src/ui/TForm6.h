#pragma once

#include <QPointer>
#include <QWidget>

class QListWidget;
class QTimer;
class TDataFileManager;
class TForm1;

// The "Connecting" window: connects every application of the project in turn, writing one line
// per step, then asks each connected one for a refresh of its inputs and outputs, and closes.
class TForm6 : public QWidget
{
    Q_OBJECT

public:
    // Where the procedure stands: connecting the applications one by one, then asking each
    // connected one for its inputs and its outputs in turn.
    enum class Steps : quint8 { Start = 0, Connecting = 1, RefreshInputs = 2, RefreshOutputs = 3, Finished = 255 };

    explicit TForm6(TForm1 *owner);

    // Clears the lines, starts from the first application and shows nothing by itself.
    void ResetAndStart();
    // One step of the procedure (an application connected, a refresh sent, or the end).
    void ConnectProcedure();
    // The 100 ms timer's handler.
    void ConnectTimerTimer();

    QStringList Lines() const;
    Steps Step() const { return m_step; }
    QTimer *ConnectTimer() const { return m_timer; }

protected:
    // Centred on the desktop each time it shows.
    void showEvent(QShowEvent *event) override;

private:
    void Connect(TDataFileManager *application);
    // Every control in run time, the window closed.
    void Finish();
    void AddLine(const QString &line);
    QString FileName(const TDataFileManager *application) const;

    TForm1 *m_owner = nullptr;
    QListWidget *m_lines = nullptr;
    QTimer *m_timer = nullptr;
    Steps m_step = Steps::Start;
    quint8 m_next = 0;
    quint8 m_ticks = 0;
    // The application being connected or refreshed; it may be removed while the window runs.
    QPointer<TDataFileManager> m_current;
};
