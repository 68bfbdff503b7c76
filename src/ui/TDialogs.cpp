#include "TDialogs.h"

#include "TabOrder.h"

#include <QAbstractButton>
#include <QPushButton>

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLayout>
#include <QMessageBox>

#include <utility>

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
    if (m_stopped)
        return;
    if (m_gathering > 0) {
        m_gathered.append(text);
        return;
    }
    // The program's messages say what went wrong or what it had to change: a warning, not news.
    QMessageBox::warning(Over(), QApplication::applicationName(), text);
}

void TQtDialogs::BeginGathering()
{
    ++m_gathering;
}

void TQtDialogs::Stop()
{
    m_stopped = true;
    m_gathered.clear();
    // Each one's own event loop ends once its caller is back in it; a box open before the
    // program's loop started would otherwise keep the program from ending.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<QDialog *>(window); dialog && dialog->isVisible())
            dialog->reject();
    }
}

void TQtDialogs::EndGathering()
{
    if (m_gathering == 0 || --m_gathering > 0 || m_gathered.isEmpty())
        return;
    const QStringList all = std::exchange(m_gathered, {});
    if (all.size() == 1) {
        ShowMessage(all.front());
        return;
    }
    // The first few in the box, every one of them in its details.
    constexpr qsizetype shown = 5;
    QString text = all.mid(0, shown).join(QStringLiteral("\n\n"));
    if (all.size() > shown)
        text += QStringLiteral("\n\n… and %1 more (\"Show Details…\").").arg(all.size() - shown);
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text, QMessageBox::Ok, Over());
    box.setDetailedText(all.join(QStringLiteral("\n\n")));
    box.exec();
}

TDialogs::Answer TQtDialogs::AskSave()
{
    if (m_stopped)
        return Cancel;
    const auto button = QMessageBox::warning(Over(), QStringLiteral("Warning"),
                                             QStringLiteral("Application has been modified\nDo you want to save file"),
                                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return button == QMessageBox::Yes ? Yes : button == QMessageBox::No ? No : Cancel;
}

bool TQtDialogs::Confirm(const QString &text, const QString &title)
{
    if (m_stopped)
        return false;
    return QMessageBox::question(Over(), title, text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

int TQtDialogs::Choose(const QString &text, const QString &title, const QStringList &buttons)
{
    if (m_stopped)
        return -1;
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, Over());
    QList<QAbstractButton *> added;
    for (qsizetype i = 0; i < buttons.size(); ++i)
        added.append(static_cast<QAbstractButton *>(box.addButton(buttons[i], i + 1 == buttons.size() ? QMessageBox::RejectRole : QMessageBox::AcceptRole)));
    box.exec();
    return int(added.indexOf(box.clickedButton()));
}

QString TQtDialogs::OpenFileName(const QString &folder, const QString &filter)
{
    if (m_stopped)
        return {};
    return QFileDialog::getOpenFileName(m_parent, QString(), folder, filter);
}

QString TQtDialogs::SaveFileName(const QString &folder, const QString &filter)
{
    if (m_stopped)
        return {};
    return QFileDialog::getSaveFileName(m_parent, QString(), folder, filter);
}

int TQtDialogs::Exec(QDialog &dialog)
{
    if (m_stopped)
        return QDialog::Rejected;
    // Centred on the window the user works in (a screen), not on the small main window.
    SetReadingTabOrder(&dialog);
    if (QWidget *over = Over(); over && over != dialog.parentWidget() && over->isVisible()) {
        if (QLayout *layout = dialog.layout())
            layout->activate();
        QRect place(QPoint(), dialog.size());
        place.moveCenter(over->frameGeometry().center());
        dialog.move(place.topLeft());
    }
    return dialog.exec();
}
