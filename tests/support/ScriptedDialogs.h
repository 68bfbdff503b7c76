#pragma once

#include "TDialogs.h"

#include <QDialog>
#include <QStringList>

#include <functional>

#include <deque>

// Answers the program's boxes and file dialogs from queues filled by a test, and records every
// message and question. An empty queue answers Cancel, OK and "no file".
class ScriptedDialogs : public TDialogs
{
public:
    void ShowMessage(const QString &text) override { Messages.append(text); }
    Answer AskSave() override
    {
        Asked.append(QStringLiteral("save?"));
        return Take(SaveAnswers, Cancel);
    }
    bool Confirm(const QString &text, const QString &) override
    {
        Asked.append(text);
        return Take(ConfirmAnswers, true);
    }
    int Choose(const QString &text, const QString &, const QStringList &) override
    {
        Asked.append(text);
        return Take(ChoiceAnswers, -1);
    }
    QString OpenFileName(const QString &, const QString &filter) override
    {
        Asked.append(QStringLiteral("open ") + filter);
        return Take(OpenNames, QString());
    }
    QString SaveFileName(const QString &, const QString &filter) override
    {
        Asked.append(QStringLiteral("save as ") + filter);
        return Take(SaveNames, QString());
    }

    // A dialog the program runs: the test's handler drives it (shown, not modal); without one it
    // is cancelled at once.
    int Exec(QDialog &dialog) override
    {
        Asked.append(QStringLiteral("dialog ") + dialog.windowTitle());
        return DialogHandler ? DialogHandler(dialog) : 0;
    }

    std::function<int(QDialog &)> DialogHandler;
    QStringList Messages;
    QStringList Asked;
    std::deque<Answer> SaveAnswers;
    std::deque<bool> ConfirmAnswers;
    std::deque<int> ChoiceAnswers;
    std::deque<QString> OpenNames;
    std::deque<QString> SaveNames;

private:
    template <typename T>
    static T Take(std::deque<T> &queue, T fallback)
    {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};
