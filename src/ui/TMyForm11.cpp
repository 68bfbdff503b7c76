#include "TMyForm11.h"

#include "TDataFileManager.h"
#include "TDialogs.h"
#include "TEditHistory.h"
#include "TLinkBanner.h"
#include "TObscuredWindows.h"
#include "TOutlinedLabel.h"
#include "TVQBaseControl.h"
#include "TVQControl.h"
#include "TEditorActions.h"
#include "TForm1.h"
#include "TScreenEditor.h"
#include "TScreenMenu.h"
#include "TSelection.h"
#include "TPropertyEditor.h"
#include "TRunTimeSwitch.h"
#include "TPicturePaths.h"
#include "TProjectManager.h"
#include "TProjectSession.h"
#include "TSearchListWindow.h"
#include "TVisualDefaults.h"
#include "TWindowBinder.h"
#include "TProgramLists.h"

#include <QContextMenuEvent>
#include <QHideEvent>
#include <QImageReader>
#include <QLabel>
#include <QTimer>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QRubberBand>
#include <QPainter>
#include <QScreen>

#include <map>

#ifdef __GLIBC__
#include <malloc.h>
#endif

TMyForm11::TMyForm11(TForm1 *owner, const TNewVisualScreen &record)
    : QWidget(nullptr, Qt::Window)
    , m_owner(owner)
    , m_record(record)
    , m_area(new TScreenArea(this))
{
    m_selection = new TSelection(m_area, m_owner->History(), [this](const QPoint &at) { return m_owner->Editor()->Grid().Snapped(at); });
    m_area->installEventFilter(this);
    m_linkBanner = new TLinkBanner(m_area);
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The picture fills the window (resizeEvent places it): no layout, whose request posted to
    // every window of a project with many screens Qt 6.4 compares with every other one posted.

    connect(m_area, &TScreenArea::pictureUnreadable, this, [this] {
        if (m_area->PictureFile() != TVisualDefaults::ScreenBackground(m_owner->ProgramFolder()))
            ResetPicture(m_area->PictureFile());
    });
    connect(m_area, &TScreenArea::menuRequested, this, [this](const QPoint &at) {
        PrepareMenu();
        Menu()->popup(at);
    });
    connect(m_area, &TScreenArea::itemDropped, this,
            [this](const ListItemData &item, const QPoint &at) { m_owner->ScreenEditor()->DropItem(this, item, at); });
    ApplyRecord();
}

TMyForm11::~TMyForm11()
{
    // A screen that goes (a project closed) takes its labels' pictures along; those still shown
    // draw theirs again.
    TOutlinedLabel::Forget();
}

QMenu *TMyForm11::Menu() const
{
    // Made when first needed: a project of many screens opens without a menu per screen.
    if (!m_menu)
        m_menu = std::make_unique<TScreenMenu>(const_cast<TMyForm11 *>(this), m_owner, m_selection);
    return m_menu->Menu();
}

QLabel *TMyForm11::LinkBanner() const
{
    return m_linkBanner->Label();
}

QAction *TMyForm11::Action(MenuEntry entry) const
{
    Menu();
    return m_menu->Action(entry);
}

void TMyForm11::PrepareMenu()
{
    Menu();
    m_menu->Prepare();
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
    if (m_owner->Kiosk() && screen())
        m_area->setFixedSize(size().boundedTo(screen()->size()));
    PlaceArea();
    setWindowTitle(TPicturePaths::FromRecord(m_record.Name));

    m_owner->Session()->Project()->CheckScreenPicture(m_record);
    const QString file = TPicturePaths::Resolve(m_record.Picture, m_owner->ProgramFolder());
    // Only the header is read now; the picture itself when the screen is first painted.
    QImageReader probe(file);
    if (!probe.canRead() || probe.size().isEmpty())
        ResetPicture(file);
    else
        m_area->SetPictureFile(file, m_record.Stretch != 0, m_record.Proportional != 0);

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

void TMyForm11::ResetPicture(const QString &file)
{
    // A file that is there but is no picture this program reads: the default, and a word.
    m_owner->Dialogs()->ShowMessage(QStringLiteral("Picture cannot be read:\n") + file + QStringLiteral("\n reset to default Image"));
    const QString background = TVisualDefaults::ScreenBackground(m_owner->ProgramFolder());
    m_record.Picture = TPicturePaths::ToRecord(background);
    m_area->SetPictureFile(background, m_record.Stretch != 0, m_record.Proportional != 0);
}

void TMyForm11::setVisible(bool visible)
{
    // Controls put off their sizing until their screen shows: sized here, while still hidden, each
    // is resized without the screen working out what it uncovers.
    if (visible && !isVisible()) {
        m_owner->Binder()->MakeControls(*this);
        UpdateLinkBanner();
        for (TVQControl *control : m_area->findChildren<TVQControl *>(Qt::FindDirectChildrenOnly))
            control->EnsureSized();
        TObscuredWindows::Instance().Watch(this);
    }
    QWidget::setVisible(visible);
}

void TMyForm11::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The program's keys (open, save, undo, redo) work in the screens as in the main window, and
    // the selection's keys, shared by every screen, act on the screen they are typed in; a wall
    // panel answers none of them. Given when first shown: a key reaches only a shown window, and
    // a shared action gives up each window it has one by one when the windows go.
    if (!m_keysGiven && !m_owner->Kiosk()) {
        m_keysGiven = true;
        addActions(m_owner->KeyActions());
        addActions(m_owner->Editor()->ScreenKeys());
    }
}

void TMyForm11::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // A hidden screen keeps no decoded background and no window buffer (about 3 MB for
    // 1024 x 768); a minimized one keeps both. The window is made again when shown.
    if (!event->spontaneous()) {
        m_area->ReleasePicture();
        QTimer::singleShot(0, this, [this] {
            if (isVisible())
                return;
            // Its controls are made again from their records when it shows.
            m_owner->Binder()->KeepControls(*this);
            // A close (the close box, "Close") takes the platform window down first and leaves
            // the widget's buffer; a window made anew and destroyed takes the buffer with it.
            if (!testAttribute(Qt::WA_WState_Created))
                create();
            destroy();
            TOutlinedLabel::Forget();
#ifdef __GLIBC__
            // The background and the buffer were large blocks of the heap: given back to the
            // system rather than kept by the allocator for later.
            malloc_trim(0);
#endif
        });
    }
}

void TMyForm11::UpdateLinkBanner()
{
    m_linkBanner->Update(m_owner->RunTime()->Mode() == RunMode::RunTime);
}

void TMyForm11::resizeEvent(QResizeEvent *event)
{
    // Around the picture of a wall panel, the picture's own colour rather than grey bands.
    if (m_owner->Kiosk()) {
        QPalette surround = palette();
        surround.setColor(QPalette::Window, m_area->SurroundColour());
        setPalette(surround);
        setAutoFillBackground(true);
    }
    QWidget::resizeEvent(event);
    PlaceArea();
}

void TMyForm11::PlaceArea()
{
    // A wall panel shows a picture smaller than the display in its middle.
    if (m_owner->Kiosk())
        m_area->move((width() - m_area->width()) / 2, (height() - m_area->height()) / 2);
    else
        m_area->setGeometry(rect());
    m_linkBanner->Place();
}

void TMyForm11::ClickRefused(const QString &text)
{
    m_linkBanner->Refused(text);
}

bool TMyForm11::ConfirmDelete(const QString &text)
{
    return m_owner->Dialogs()->Confirm(text, QStringLiteral("delete"));
}

void TMyForm11::DeleteRequested(TVQControl *control)
{
    if (ConfirmDelete(control->DeleteQuestion()))
        m_owner->History()->Delete({control});
}

void TMyForm11::ControlMoved(TVQControl *, const QPoint &)
{
    m_selection->EndDrag();
}

bool TMyForm11::ControlPressed(TVQControl *control, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ControlModifier) {
        m_selection->Toggle(control);
        return false;
    }
    if (!m_selection->Contains(control))
        m_selection->Select(control);
    m_selection->BeginDrag();
    return true;
}

void TMyForm11::ControlClicked(TVQControl *control)
{
    // A click on one of several selected controls, without a drag, selects it alone.
    m_selection->Select(control);
}

void TMyForm11::ControlDragged(TVQControl *control, const QPoint &delta)
{
    m_selection->Follow(control, delta);
}

void TMyForm11::DeleteSelection()
{
    const std::vector<TVQControl *> selected = m_selection->Selected();
    if (selected.empty())
        return;
    const QString question = selected.size() == 1 ? selected.front()->DeleteQuestion()
                                                  : QStringLiteral("Do you want to remove these %1 Objects ?").arg(selected.size());
    if (ConfirmDelete(question))
        m_selection->DeleteSelected();
}

void TMyForm11::Copy()
{
    const std::vector<TVQControl *> selected = m_selection->Selected();
    if (selected.empty())
        return;
    std::vector<TVisualRecord> &clipboard = m_owner->Editor()->Clipboard();
    clipboard.clear();
    for (TVQControl *control : selected)
        clipboard.push_back(TProjectManager::RecordOf(*control));
}

void TMyForm11::Paste(std::vector<TVisualRecord> &records)
{
    // The copies land on this screen, offset from the originals (again at each paste, so that
    // repeated pastes fan out), bound to the same items, and become the selection.
    constexpr int offset = 16;
    std::vector<TProjectItemBase *> made;
    m_selection->Clear();
    for (TVisualRecord &record : records) {
        std::visit(
            [this](auto &r) {
                r.ScreenId = m_record.ScreenId;
                r.Left = quint16(std::min(int(r.Left) + offset, MaxCoordinate));
                r.Top = quint16(std::min(int(r.Top) + offset, MaxCoordinate));
            },
            record);
        TProjectManager *project = m_owner->Session()->Project();
        TProjectItemBase *item = project->MakeItem(*m_owner->Binder(), *m_owner->Session()->Lists(), record);
        if (!item)
            continue;
        project->InsertItem(item, record, size_t(-1));
        made.push_back(item);
        if (auto *control = dynamic_cast<TVQControl *>(item))
            m_selection->Select(control, true);
    }
    if (!made.empty())
        m_owner->History()->Placed(made, QStringLiteral("Paste"));
}

void TMyForm11::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_owner->Editor()->SetCurrentScreen(this);
}

void TMyForm11::ModeChanged()
{
    const RunMode mode = m_owner->RunTime()->Mode();
    if (mode == RunMode::RunTime || mode == RunMode::Test)
        m_selection->Clear();
}

bool TMyForm11::eventFilter(QObject *object, QEvent *event)
{
    // A press on the screen's picture in design time starts a rubber band: the controls it
    // touches are selected (added to the selection with Ctrl); a click alone clears it.
    const RunMode mode = m_owner->RunTime()->Mode();
    if (object != m_area || mode == RunMode::RunTime || mode == RunMode::Test || m_owner->Kiosk())
        return QWidget::eventFilter(object, event);
    if (event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        m_bandOrigin = mouse->position().toPoint();
        if (!m_band)
            m_band = new QRubberBand(QRubberBand::Rectangle, m_area);
        m_band->setGeometry(QRect(m_bandOrigin, QSize()));
        m_band->show();
        return true;
    }
    if (event->type() == QEvent::MouseMove && m_band && m_band->isVisible()) {
        m_band->setGeometry(QRect(m_bandOrigin, static_cast<QMouseEvent *>(event)->position().toPoint()).normalized());
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && m_band && m_band->isVisible()) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const QRect band = QRect(m_bandOrigin, mouse->position().toPoint()).normalized();
        m_band->hide();
        const bool add = mouse->modifiers() & Qt::ControlModifier;
        if (band.width() < 3 && band.height() < 3) {
            if (!add)
                m_selection->Clear();
        } else {
            m_selection->SelectTouching(band, add);
        }
        return true;
    }
    return QWidget::eventFilter(object, event);
}

bool TMyForm11::EditProperties(TVQControl *control)
{
    const TVisualRecord before = TProjectManager::RecordOf(*control);
    if (!m_owner->Properties()->Edit(control))
        return false;
    m_owner->History()->Edited(control, before);
    return true;
}

void TMyForm11::ControlRemoved(TProjectItemBase *item)
{
    m_owner->Session()->Project()->RemoveItem(item);
}
