#include "TMyForm11.h"

#include "TCodePage.h"
#include "TDataFileManager.h"
#include "TDialogs.h"
#include "TLinkSession.h"
#include "TVQControl.h"
#include "TForm1.h"
#include "TScreenEditor.h"
#include "TPropertyEditor.h"
#include "TRunTimeSwitch.h"
#include "TPicturePaths.h"
#include "TProjectManager.h"
#include "TSearchListWindow.h"
#include "TVisualDefaults.h"

#include <QContextMenuEvent>
#include <QImageReader>
#include <QLabel>
#include <QTimer>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QVBoxLayout>

TScreenArea::TScreenArea(QWidget *parent)
    : QWidget(parent)
{
    setAcceptDrops(true);
}

void TScreenArea::SetPicture(const QPixmap &picture, bool stretch, bool proportional)
{
    m_picture = picture;
    m_stretch = stretch;
    m_proportional = proportional;
    update();
}

void TScreenArea::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (m_picture.isNull())
        return;
    if (!m_stretch) {
        painter.drawPixmap(0, 0, m_picture);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!m_proportional) {
        painter.drawPixmap(rect(), m_picture);
        return;
    }
    const QSize size = m_picture.size().scaled(this->size(), Qt::KeepAspectRatio);
    painter.drawPixmap(QRect(QPoint(0, 0), size), m_picture);
}

void TScreenArea::contextMenuEvent(QContextMenuEvent *event)
{
    emit menuRequested(event->globalPos());
}

void TScreenArea::dragEnterEvent(QDragEnterEvent *event)
{
    // Only the entries of the search lists are accepted.
    if (qobject_cast<const TListItemMime *>(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TScreenArea::dragMoveEvent(QDragMoveEvent *event)
{
    if (qobject_cast<const TListItemMime *>(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TScreenArea::dropEvent(QDropEvent *event)
{
    const auto *mime = qobject_cast<const TListItemMime *>(event->mimeData());
    if (!mime) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit itemDropped(mime->Item(), event->position().toPoint());
}

TMyForm11::TMyForm11(TForm1 *owner, const TNewVisualScreen &record)
    : QWidget(nullptr, Qt::Window)
    , m_owner(owner)
    , m_record(record)
    , m_area(new TScreenArea(this))
    , m_menu(new QMenu(this))
    , m_banner(new QLabel(m_area))
{
    m_banner->setObjectName(QStringLiteral("LinkBanner"));
    m_banner->setStyleSheet(QStringLiteral("QLabel { background: rgba(150, 20, 20, 225); color: white; font-weight: bold; padding: 5px; }"));
    m_banner->setWordWrap(true);
    m_banner->hide();
    m_refusalTimer = new QTimer(this);
    m_refusalTimer->setSingleShot(true);
    m_refusalTimer->setInterval(3000);
    connect(m_refusalTimer, &QTimer::timeout, this, [this] {
        m_refusal.clear();
        UpdateLinkBanner();
    });
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_area);

    const auto add = [this](const char *text, auto handler) {
        QAction *action = m_menu->addAction(QString::fromLatin1(text));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    add("Settings", [this] { m_owner->ScreenEditor()->EditScreen(this); });
    add("Show screens", [this] { m_owner->ShowScreenList(); });
    m_menu->addSeparator();
    add("Show outputs", [this] { m_owner->ShowSearchList(m_owner->OutputList()); });
    add("Show inputs", [this] { m_owner->ShowSearchList(m_owner->InputList()); });
    add("Show Sensors", [this] { m_owner->ShowSearchList(m_owner->SensorList()); });
    add("Show Memo", [this] { m_owner->ShowSearchList(m_owner->MemoList()); });
    add("Show Variable", [this] { m_owner->ShowSearchList(m_owner->VariableList()); });
    m_menu->addSeparator();
    for (const char *mode : {"Run Time", "Design Time", "Test"})
        add(mode, [] {})->setCheckable(true);
    connect(Action(QStringLiteral("Run Time")), &QAction::triggered, this, [this] { m_owner->RunTime()->CommandRunTime(); });
    connect(Action(QStringLiteral("Design Time")), &QAction::triggered, this, [this] { m_owner->RunTime()->CommandDesignTime(); });
    connect(Action(QStringLiteral("Test")), &QAction::triggered, this, [this] { m_owner->RunTime()->CommandTest(); });
    m_menu->addSeparator();
    add("Create shortcut", [this] { m_owner->ScreenEditor()->CreateShortcut(this); });
    add("Add Axis cam", [this] { m_owner->ScreenEditor()->CreateCamera(this); });
    add("Create Gauge", [this] { m_owner->ScreenEditor()->CreateGauge(this); })->setVisible(false);
    m_menu->addSeparator();
    add("Delete Screen", [this] { m_owner->ScreenEditor()->DeleteScreen(this); });
    add("Close", [this] { close(); });

    connect(m_area, &TScreenArea::menuRequested, this, [this](const QPoint &at) {
        PrepareMenu();
        m_menu->popup(at);
    });
    connect(m_area, &TScreenArea::itemDropped, this,
            [this](const ListItemData &item, const QPoint &at) { m_owner->ScreenEditor()->DropItem(this, item, at); });
    ApplyRecord();
}

TMyForm11::~TMyForm11() = default;

QAction *TMyForm11::Action(const QString &text) const
{
    for (QAction *action : m_menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

void TMyForm11::PrepareMenu()
{
    const RunMode mode = m_owner->RunTime()->Mode();
    const bool locked = mode == RunMode::RunTime || mode == RunMode::Test;
    Action(QStringLiteral("Run Time"))->setChecked(mode == RunMode::RunTime);
    Action(QStringLiteral("Test"))->setChecked(mode == RunMode::Test);
    Action(QStringLiteral("Design Time"))->setChecked(!locked);
    for (const char *entry : {"Settings", "Create shortcut", "Delete Screen", "Show outputs", "Show inputs", "Show Sensors",
                              "Show Variable"})
        Action(QString::fromLatin1(entry))->setEnabled(!locked);
    // A wall panel only runs: no way into design time, test or editing.
    if (m_owner->Kiosk()) {
        for (QAction *action : m_menu->actions()) {
            const QString text = action->text();
            action->setVisible(text == QStringLiteral("Run Time") || text == QStringLiteral("Show screens"));
        }
    }
}

void TMyForm11::ApplyRecord()
{
    move(m_record.Left, m_record.Top);
    // A size no display shows would only cost memory (a stretched picture is scaled to it).
    if (m_record.Width > MaxDisplayWidth || m_record.Height > MaxDisplayHeight)
        m_owner->Dialogs()->ShowMessage(QStringLiteral("The screen \"%1\" is larger than a display can show (%2 x %3): it is shown at most %4 x %5.")
                                            .arg(TPicturePaths::FromRecord(m_record.Name))
                                            .arg(m_record.Width)
                                            .arg(m_record.Height)
                                            .arg(MaxDisplayWidth)
                                            .arg(MaxDisplayHeight));
    resize(std::min<int>(m_record.Width, MaxDisplayWidth), std::min<int>(m_record.Height, MaxDisplayHeight));
    setWindowTitle(TPicturePaths::FromRecord(m_record.Name));

    const QString programFolder = m_owner->ProgramFolder();
    m_owner->Project()->CheckScreenPicture(m_record);
    const QString file = TPicturePaths::Resolve(m_record.Picture, programFolder);
    QImage background = QImageReader(file).read();
    if (background.isNull()) {
        // A file that is there but is no picture this program reads: the default, and a word.
        m_owner->Dialogs()->ShowMessage(QStringLiteral("Picture cannot be read:\n") + file
                                        + QStringLiteral("\n reset to default Image"));
        m_record.Picture = TPicturePaths::ToRecord(TVisualDefaults::ScreenBackground(programFolder));
        background = QImageReader(TVisualDefaults::ScreenBackground(programFolder)).read();
    }
    m_area->SetPicture(QPixmap::fromImage(background), m_record.Stretch != 0, m_record.Proportional != 0);

    Qt::WindowFlags flags = Qt::Window;
    if (m_record.Border == 1)
        flags |= Qt::FramelessWindowHint;
    else if (m_record.Border == 2)
        flags = Qt::Tool;
    if (windowFlags() != flags) {
        const bool visible = isVisible();
        setWindowFlags(flags);
        if (visible)
            show();
    }
    setWindowState(m_record.WindowState == 1 ? Qt::WindowMaximized : Qt::WindowNoState);
}

void TMyForm11::UpdateLinkBanner()
{
    QStringList lines;
    if (m_owner->RunTime()->Mode() == RunMode::RunTime) {
        std::vector<const TDataFileManager *> seen;
        for (const TVQControl *control : m_area->findChildren<TVQControl *>(Qt::FindDirectChildrenOnly)) {
            const TDataFileManager *application = control->BoundApplication();
            if (!application || std::find(seen.begin(), seen.end(), application) != seen.end())
                continue;
            seen.push_back(application);
            const TLinkSession &session = application->Session();
            if (session.Health() != LinkHealth::Lost)
                continue;
            lines.append(QString::fromUtf8("Connection to %1 lost — reconnecting… (since %2)")
                             .arg(TCodePage::ToDisplay(application->DisplayName()), session.LostAt().toString(QStringLiteral("HH:mm:ss"))));
        }
    }
    if (lines.isEmpty()) {
        m_refusal.clear();
        m_banner->hide();
        return;
    }
    if (!m_refusal.isEmpty())
        lines.append(m_refusal);
    m_banner->setText(lines.join(QLatin1Char('\n')));
    PlaceBanner();
    m_banner->show();
    m_banner->raise();
}

void TMyForm11::PlaceBanner()
{
    m_banner->setFixedWidth(m_area->width());
    m_banner->adjustSize();
    m_banner->move(0, 0);
}

void TMyForm11::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_banner->isVisible())
        PlaceBanner();
}

void TMyForm11::ClickRefused(const QString &text)
{
    m_refusal = text;
    m_refusalTimer->start();
    UpdateLinkBanner();
}

bool TMyForm11::ConfirmDelete(const QString &text)
{
    return m_owner->Dialogs()->Confirm(text, QStringLiteral("delete"));
}

bool TMyForm11::EditProperties(TVQControl *control)
{
    return m_owner->Properties()->Edit(control);
}

void TMyForm11::ControlRemoved(TProjectItemBase *item)
{
    m_owner->Project()->RemoveItem(item);
}
