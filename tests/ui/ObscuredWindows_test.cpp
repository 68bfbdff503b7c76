#include "TObscuredWindows.h"

#include "EventLoop.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

namespace {

// A window filled with one colour, with a child that paints with it; counts the window's paints
// and gathers what they covered.
class ColourWindow : public QWidget
{
public:
    explicit ColourWindow(QColor colour) : m_colour(colour)
    {
        m_child = new QWidget(this);
        m_child->setGeometry(10, 10, 40, 20);
    }
    void SetColour(QColor colour)
    {
        m_colour = colour;
        m_child->update();  // as a control changing its state
        update();
    }
    QWidget *Child() const { return m_child; }
    int Paints = 0;
    QRegion Painted;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        ++Paints;
        Painted += event->region();
        QPainter(this).fillRect(rect(), m_colour);
    }

private:
    QColor m_colour;
    QWidget *m_child;
};

// What the X server sends: a visibility notice for one window.
bool Notify(quintptr window, uint8_t state, bool sent = false)
{
    xcb_visibility_notify_event_t event{};
    event.response_type = XCB_VISIBILITY_NOTIFY | (sent ? 0x80 : 0);
    event.window = xcb_window_t(window);
    event.state = state;
    return TObscuredWindows::Instance().nativeEventFilter("xcb_generic_event_t", &event, nullptr);
}

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace

// A window the server calls fully hidden paints nothing while hidden; partly or wholly visible
// again, it paints the whole of itself once. Notices for other windows, or of another kind, change
// nothing, and a window shown anew is never held from an earlier notice.
TEST(ObscuredWindows, HoldsAHiddenWindowAndPaintsItWholeWhenItShows)
{
    ColourWindow window(Qt::red);
    window.resize(120, 80);
    TObscuredWindows::Instance().Watch(&window);
    window.show();
    ASSERT_TRUE(RunUntil([&] { return window.Paints > 0; }));
    const quintptr id = window.winId();

    EXPECT_FALSE(Notify(id, XCB_VISIBILITY_FULLY_OBSCURED));  // Qt still sees every event
    EXPECT_TRUE(TObscuredWindows::Instance().IsHeld(&window));
    EXPECT_FALSE(window.updatesEnabled());
    EXPECT_FALSE(window.Child()->updatesEnabled());
    window.Paints = 0;
    window.SetColour(Qt::green);
    Settle();
    EXPECT_EQ(window.Paints, 0);

    Notify(id + 1, XCB_VISIBILITY_UNOBSCURED);  // another window
    xcb_expose_event_t expose{};
    expose.response_type = XCB_EXPOSE;
    expose.window = xcb_window_t(id);
    TObscuredWindows::Instance().nativeEventFilter("xcb_generic_event_t", &expose, nullptr);
    TObscuredWindows::Instance().nativeEventFilter("windows_generic_MSG", &expose, nullptr);
    Settle();
    EXPECT_TRUE(TObscuredWindows::Instance().IsHeld(&window));
    EXPECT_EQ(window.Paints, 0);

    Notify(id, XCB_VISIBILITY_PARTIALLY_OBSCURED, true);
    EXPECT_FALSE(TObscuredWindows::Instance().IsHeld(&window));
    EXPECT_TRUE(window.Child()->updatesEnabled());
    window.Painted = QRegion();
    ASSERT_TRUE(RunUntil([&] { return window.Painted.contains(window.rect()); }));

    // Hidden, then closed and shown again: it paints at once.
    Notify(id, XCB_VISIBILITY_FULLY_OBSCURED);
    window.hide();
    TObscuredWindows::Instance().Watch(&window);
    window.show();
    EXPECT_FALSE(TObscuredWindows::Instance().IsHeld(&window));
    window.Paints = 0;
    window.SetColour(Qt::blue);
    EXPECT_TRUE(RunUntil([&] { return window.Paints > 0; }));

    // A notice for a window gone is ignored.
    auto gone = std::make_unique<ColourWindow>(Qt::red);
    TObscuredWindows::Instance().Watch(gone.get());
    const quintptr goneId = gone->winId();
    gone.reset();
    Notify(goneId, XCB_VISIBILITY_FULLY_OBSCURED);
}

// Under a real X server (run by the Xvfb test): a window put under a larger one is held by the
// server's own notice; what changes meanwhile shows, on the screen, once it is raised. Both when it
// had painted before it was covered, and when it was covered before its first paint (every screen
// shown at once).
TEST(ObscuredWindows, ARaisedWindowShowsWhatChangedWhileItWasHidden)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs an X server (run under Xvfb by its own test)";
    auto *connection = qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    for (const bool paintedFirst : {true, false}) {
        SCOPED_TRACE(paintedFirst ? "painted, then covered" : "covered before its first paint");
        ColourWindow lower(Qt::red);
        lower.setGeometry(100, 100, 200, 150);
        TObscuredWindows::Instance().Watch(&lower);
        lower.show();
        if (paintedFirst) {
            ASSERT_TRUE(RunUntil([&] { return lower.Paints > 0; }));
        }
        EXPECT_FALSE(TObscuredWindows::Instance().IsHeld(&lower));

        ColourWindow upper(Qt::blue);
        upper.setGeometry(60, 60, 300, 250);
        TObscuredWindows::Instance().Watch(&upper);
        upper.show();
        ASSERT_TRUE(RunUntil([&] { return TObscuredWindows::Instance().IsHeld(&lower); }));
        Settle();
        lower.Paints = 0;
        lower.SetColour(Qt::green);
        Settle();
        EXPECT_EQ(lower.Paints, 0);

        // Raised as a window manager raises it.
        const uint32_t above = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(connection, xcb_window_t(lower.winId()), XCB_CONFIG_WINDOW_STACK_MODE, &above);
        xcb_flush(connection);
        ASSERT_TRUE(RunUntil([&] { return !TObscuredWindows::Instance().IsHeld(&lower) && lower.Paints > 0; }));
        QImage shown;
        ASSERT_TRUE(RunUntil([&] {
            shown = QGuiApplication::primaryScreen()->grabWindow(0, 100, 100, 200, 150).toImage();
            return shown.pixelColor(100, 75) == QColor(Qt::green);
        })) << "the raised window shows " << qPrintable(shown.pixelColor(100, 75).name());
        EXPECT_EQ(shown.pixelColor(0, 0), QColor(Qt::green));
        EXPECT_EQ(shown.pixelColor(199, 149), QColor(Qt::green));
        EXPECT_FALSE(TObscuredWindows::Instance().IsHeld(&upper));  // partly visible still
    }
}
