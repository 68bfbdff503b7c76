#include "TDialogs.h"

#include <QAbstractButton>
#include <QPushButton>

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

QWidget *TQtDialogs::Over() const
{
    // Above the window the user works in: a dialog that is open (one that stays on top would
    // otherwise hide the box), else the active window, else the main window.
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    return m_parent;
}

void TQtDialogs::ShowMessage(const QString &text)
{
    QMessageBox::information(Over(), QApplication::applicationName(), text);
}

TDialogs::Answer TQtDialogs::AskSave()
{
    const auto button = QMessageBox::warning(Over(), QStringLiteral("Warning"),
                                             QStringLiteral("Application has been modified\nDo you want to save file"),
                                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return button == QMessageBox::Yes ? Yes : button == QMessageBox::No ? No : Cancel;
}

bool TQtDialogs::Confirm(const QString &text, const QString &title)
{
    return QMessageBox::question(Over(), title, text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

int TQtDialogs::Choose(const QString &text, const QString &title, const QStringList &buttons)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, Over());
    QList<QAbstractButton *> added;
    for (qsizetype i = 0; i < buttons.size(); ++i)
        added.append(static_cast<QAbstractButton *>(box.addButton(buttons[i], i + 1 == buttons.size() ? QMessageBox::RejectRole : QMessageBox::AcceptRole)));
    box.exec();
    return int(added.indexOf(box.clickedButton()));
}

QString TQtDialogs::OpenFileName(const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileName(m_parent, QString(), folder, filter);
}

QString TQtDialogs::SaveFileName(const QString &folder, const QString &filter)
{
    return QFileDialog::getSaveFileName(m_parent, QString(), folder, filter);
}

int TQtDialogs::Exec(QDialog &dialog)
{
    return dialog.exec();
}
