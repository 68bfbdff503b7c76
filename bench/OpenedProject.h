#pragma once

// The generated projects opened with their windows as the program opens them, and the plain-Qt
// anchor built from the same projects: one widget per control painting its picture and its text.
#include "ProjectGenerator.h"
#include "TemporaryUserFolders.h"
#include "TDialogs.h"
#include "TForm1.h"
#include "TMyForm11.h"
#include "TObscuredWindows.h"
#include "TVisualDefaults.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPaintEvent>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <vector>

// Dialogs that answer nothing: a benchmark never waits for a user.
class NoDialogs : public TDialogs
{
public:
    void ShowMessage(const QString &) override {}
    Answer AskSave() override { return No; }
    bool Confirm(const QString &, const QString &) override { return true; }
    int Choose(const QString &, const QString &, const QStringList &) override { return -1; }
    QString OpenFileName(const QString &, const QString &) override { return {}; }
    QString SaveFileName(const QString &, const QString &) override { return {}; }
    int Exec(QDialog &) override { return 0; }
};

inline const TGeneratedSize *k_sizes[] = {&k_small, &k_medium, &k_large, &k_huge, &k_giant};

// The program folder the generated projects are opened from: a temporary one prepared at first
// use, or the one QUELNOR_BENCH_FOLDER names (made by `bench_open --generate`), whose projects
// are opened as they are, so that a process timed from outside does nothing but open one.
inline QDir Folder()
{
    static const QString given = qEnvironmentVariable("QUELNOR_BENCH_FOLDER");
    if (!given.isEmpty())
        return QDir(given);
    static QTemporaryDir folder;
    static const bool prepared = [] {
        PrepareProgramFolder(folder.path(), QStringLiteral(QUELNOR_PROGRAM_DIR));
        return true;
    }();
    (void)prepared;
    return QDir(folder.path());
}

inline QString ProjectPath(const TGeneratedSize &size)
{
    static std::map<QString, QString> paths;
    const QString name = QString::fromLatin1(size.Name);
    if (!paths.contains(name)) {
        const QString generated = Folder().filePath(QStringLiteral("Data/%1.qvp").arg(name));
        const bool given = qEnvironmentVariableIsSet("QUELNOR_BENCH_FOLDER") && QFileInfo::exists(generated);
        paths[name] = given ? generated : GenerateProject(Folder().path(), size);
    }
    return paths[name];
}

// Counts the first paint of each watched widget.
class PaintWatch : public QObject
{
public:
    void Watch(QWidget *widget)
    {
        widget->installEventFilter(this);
        m_waiting.insert(widget);
    }
    // A window others hide completely paints when it shows again: nothing to wait for.
    bool AllPainted() const
    {
        return std::all_of(m_waiting.begin(), m_waiting.end(), [](QWidget *widget) { return TObscuredWindows::Instance().IsHeld(widget->window()); });
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            m_waiting.erase(static_cast<QWidget *>(object));
        return false;
    }

private:
    std::set<QWidget *> m_waiting;
};

// Sleeps between events rather than spinning: a repaint that waits for a timer costs no
// processor time while it waits, as in the program.
inline void WaitUntilPainted(PaintWatch &watch)
{
    QTimer limit;
    limit.setSingleShot(true);
    limit.start(30000);
    while (!watch.AllPainted() && limit.isActive())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
}

// Opens the project as the program does and waits for the shown screens' first paint.
inline std::unique_ptr<TForm1> OpenWithWindows(const TGeneratedSize &size, NoDialogs &dialogs, bool everyScreen = false)
{
    auto window = std::make_unique<TForm1>(Folder().path(), &dialogs);
    window->OpenProject(ProjectPath(size));
    PaintWatch watch;
    for (TMyForm11 *screen : window->ScreenWindows()) {
        if (everyScreen)
            screen->show();
        if (screen->isVisible())
            watch.Watch(screen->Area());
    }
    WaitUntilPainted(watch);
    return window;
}

// The floor a careful Qt programmer would reach with plain widgets: a window per screen that
// paints its background (read when first painted), and for each control one widget that paints its
// picture and, under it, its text.
class AnchorControl : public QWidget
{
public:
    // `frame`: the size of a face without a picture (a camera's).
    AnchorControl(QWidget *parent, const QPixmap &picture, const QString &label, QSize frame)
        : QWidget(parent), m_picture(picture), m_label(label), m_text(label + QStringLiteral(" Off"))
    {
        const QFontMetrics metrics(font());
        const QSize face = picture.isNull() ? frame : picture.deviceIndependentSize().toSize();
        resize(std::max(face.width(), metrics.horizontalAdvance(m_text) + 2), face.height() + metrics.height() + 2);
        m_faceHeight = face.height();
    }
    void SetValue(const QString &value)
    {
        m_text = m_label + QLatin1Char(' ') + value;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        if (m_picture.isNull())
            painter.drawRect(0, 0, width() - 1, m_faceHeight - 1);
        else
            painter.drawPixmap((width() - m_picture.width()) / 2, 0, m_picture);
        painter.drawText(QRect(0, m_faceHeight + 1, width(), height() - m_faceHeight - 1), Qt::AlignHCenter | Qt::AlignTop, m_text);
    }

private:
    QPixmap m_picture;
    QString m_label;
    QString m_text;
    int m_faceHeight = 0;
};

class AnchorScreen : public QWidget
{
public:
    explicit AnchorScreen(const QString &background) : m_file(background) {}
    // A closed screen gives back its window buffer, as the program's screens do.
    void Release()
    {
        if (!testAttribute(Qt::WA_WState_Created))
            create();
        destroy();
    }

protected:
    void hideEvent(QHideEvent *) override { m_background = QPixmap(); }
    void paintEvent(QPaintEvent *event) override
    {
        if (m_background.isNull())
            m_background = QPixmap::fromImage(QImage(m_file));  // not kept in Qt's pixmap cache once closed
        QPainter(this).drawPixmap(event->rect(), m_background, event->rect());
    }

private:
    QString m_file;
    QPixmap m_background;
};

// The generated project's screens and controls as the anchor's widgets; the first three screens
// shown, or every one, until each has painted.
inline std::vector<std::unique_ptr<QWidget>> OpenAnchor(const TGeneratedSize &size, bool everyScreen = false)
{
    std::vector<std::unique_ptr<QWidget>> windows;
    std::map<QString, QPixmap> icons;
    const QString folder = Folder().path();
    const QDir pictures(QDir(folder).filePath(QStringLiteral("Imported Pictures/Screen")));
    const QDir images(QDir(folder).filePath(QStringLiteral("Default Images")));
    for (int s = 0; s < size.Screens; ++s) {
        auto window = std::make_unique<AnchorScreen>(pictures.filePath(QStringLiteral("background %1.jpg").arg(s + 1)));
        window->setGeometry(20 + 10 * (s % 10), 20 + 10 * (s % 10), 1024, 768);
        windows.push_back(std::move(window));
    }
    for (int c = 0; c < size.Controls; ++c) {
        const TGeneratedControl g = GeneratedControl(size, c);
        QString file;
        switch (g.Family) {
        case TControlFamily::Output:
            file = images.filePath(QString::fromLatin1(TModuleTypes::Channel(g.Type, g.Channel).OffPicture));
            break;
        case TControlFamily::Memo:
            file = TVisualDefaults::MemoPicture(folder, false, 0);
            break;
        case TControlFamily::Variable:
            file = TVisualDefaults::VariablePicture(folder, false, quint8(g.Number % 2));
            break;
        case TControlFamily::Shortcut:
        case TControlFamily::Gauge:
            file = TVisualDefaults::ProgramIcon(folder);
            break;
        case TControlFamily::Camera:
            break;
        }
        if (!file.isEmpty() && !icons.contains(file))
            icons[file] = QPixmap(file);
        auto *control = new AnchorControl(windows[size_t(g.Screen)].get(), file.isEmpty() ? QPixmap() : icons[file],
                                          QStringLiteral("Control %1").arg(c + 1), QSize(180, 120));
        control->move(g.Left, g.Top);
    }
    PaintWatch watch;
    for (int s = 0; s < (everyScreen ? size.Screens : std::min(3, size.Screens)); ++s) {
        windows[size_t(s)]->show();
        watch.Watch(windows[size_t(s)].get());
    }
    WaitUntilPainted(watch);
    return windows;
}
