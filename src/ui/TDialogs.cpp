#include "TDialogs.h"

#include <QAbstractButton>
#include <QPushButton>

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

void TQtDialogs::ShowMessage(const QString &text)
{
    QMessageBox::information(m_parent, QApplication::applicationName(), text);
}

TDialogs::Answer TQtDialogs::AskSave()
{
    const auto button = QMessageBox::warning(m_parent, QStringLiteral("Warning"),
                                             QStringLiteral("Application has been modified\nDo you want to save file"),
                                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return button == QMessageBox::Yes ? Yes : button == QMessageBox::No ? No : Cancel;
}

bool TQtDialogs::Confirm(const QString &text, const QString &title)
{
    return QMessageBox::question(m_parent, title, text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

int TQtDialogs::Choose(const QString &text, const QString &title, const QStringList &buttons)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, m_parent);
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
