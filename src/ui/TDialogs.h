#pragma once

#include "UserMessages.h"

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

// The boxes and file dialogs of the program, behind one interface so tests can answer them.
class TDialogs : public UserMessages
{
public:
    enum Answer { Yes, No, Cancel };

    // The save question of a modified project (Yes, No or Cancel).
    virtual Answer AskSave() = 0;
    // OK/Cancel question with its title; true for OK.
    virtual bool Confirm(const QString &text, const QString &title) = 0;
    // A question with buttons of its own: the index of the one pressed, -1 when the box was closed.
    virtual int Choose(const QString &text, const QString &title, const QStringList &buttons) = 0;
    // A file to open or to save under; empty when cancelled.
    virtual QString OpenFileName(const QString &folder, const QString &filter) = 0;
    virtual QString SaveFileName(const QString &folder, const QString &filter) = 0;
    // Runs a modal dialog; its result (QDialog::Accepted or Rejected).
    virtual int Exec(QDialog &dialog) = 0;
    // Between the two, messages are gathered and then shown in one box (an open that finds 100
    // missing pictures says so once, not in 100 boxes).
    virtual void BeginGathering() {}
    virtual void EndGathering() {}
    // The program is stopping: a box or dialog still open is closed unanswered, and none opens
    // from now on (questions answer Cancel, No or nothing).
    virtual void Stop() {}
};

// The real boxes and dialogs, parented to a window.
class TQtDialogs : public TDialogs
{
public:
    explicit TQtDialogs(QWidget *parent) : m_parent(parent) {}
    void ShowMessage(const QString &text) override;
    Answer AskSave() override;
    bool Confirm(const QString &text, const QString &title) override;
    int Choose(const QString &text, const QString &title, const QStringList &buttons) override;
    QString OpenFileName(const QString &folder, const QString &filter) override;
    QString SaveFileName(const QString &folder, const QString &filter) override;
    int Exec(QDialog &dialog) override;
    void BeginGathering() override;
    void EndGathering() override;
    void Stop() override;

private:
    QWidget *Over() const;

    bool m_stopped = false;
    int m_gathering = 0;
    QStringList m_gathered;

    QWidget *m_parent = nullptr;
};
