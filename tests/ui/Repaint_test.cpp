#include "TGaugeFeed.h"
#include "TObscuredWindows.h"
#include "TOutlinedLabel.h"
#include "TProgramLists.h"
#include "TRepaintPacer.h"
#include "TScreenArea.h"
#include "TVQBaseControl.h"
#include "TVQImageManager.h"
#include "TVQJaugeControl.h"

#include "EventLoop.h"
#include "RecordingMessages.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Counts a widget's paints.
class PaintCount : public QObject
{
public:
    explicit PaintCount(QWidget *widget) { widget->installEventFilter(this); }
    int Paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        Paints += event->type() == QEvent::Paint;
        return false;
    }
};

// What the window shows now (its backing store), and what a paint of the whole window gives.
QImage Shown(QWidget &window)
{
    return window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}
QImage PaintedWhole(QWidget &window)
{
    return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Lets posted repaints happen.
void Settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace

// A gauge's needle repaints only where it was and where it goes, over a screen's picture drawn in
// parts: after each move the window shows what a paint of the whole window shows.
TEST(Repainting, AMovedNeedleLeavesNothingBehind)
{
    TVQImageManager::GetInstance().SetProgramFolder(QStringLiteral(QUELNOR_PROGRAM_DIR));
    QTemporaryDir folder;
    QImage background(320, 360, QImage::Format_RGB32);
    for (int y = 0; y < background.height(); ++y) {
        for (int x = 0; x < background.width(); ++x)
            background.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    }
    const QString file = folder.filePath(QStringLiteral("plan.png"));
    ASSERT_TRUE(background.save(file));

    QWidget window;
    window.resize(320, 360);
    TScreenArea area(&window);
    area.resize(window.size());
    area.SetPictureFile(file, false, false);
    TVQJaugeControl gauge(&area, TVisualJaugeData{.Left = 20, .Top = 10}, nullptr);
    gauge.move(20, 10);
    gauge.SetMaximum(1000);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    PaintCount paints(&gauge);
    ASSERT_TRUE(RunUntil([&] { return Shown(window) == PaintedWhole(window); }));

    for (const quint16 power : {111, 500, 1000, 0}) {
        gauge.SetPower(power);
        Settle();
        EXPECT_EQ(Shown(window), PaintedWhole(window)) << power;
    }
    // Moves between two paints, the last back inside where the needle has been.
    for (const quint16 power : {900, 300, 0})
        gauge.SetPower(power);
    Settle();
    EXPECT_EQ(Shown(window), PaintedWhole(window));
    // The picture is drawn where it belongs when parts of it repaint.
    area.update(QRegion(QRect(5, 300, 10, 10)) + QRect(200, 320, 30, 20));
    Settle();
    EXPECT_EQ(Shown(window), PaintedWhole(window));
    EXPECT_EQ(Shown(window).copy(200, 320, 30, 20), background.copy(200, 320, 30, 20));

    // A power within the same degree repaints nothing.
    const int before = paints.Paints;
    gauge.SetPower(5);  // 0.45 degrees: still 0
    Settle();
    EXPECT_EQ(paints.Paints, before);

    // Its window hidden under others, the needle moves without a paint; shown again, the window
    // paints it where it now is.
    TObscuredWindows::Instance().Watch(&window);
    TObscuredWindows::Instance().Seen(window.winId(), true);
    gauge.SetPower(700);
    gauge.SetPower(650);
    Settle();
    EXPECT_EQ(paints.Paints, before);
    TObscuredWindows::Instance().Seen(window.winId(), false);
    Settle();
    EXPECT_GT(paints.Paints, before);
    EXPECT_EQ(Shown(window), PaintedWhole(window));
}

// Every gauge of a project shows the lists' power through one shared reading: each change shows
// at once in every gauge, and a gauge repaints only when its needle turns.
TEST(Repainting, GaugesShareOneReadingAndRepaintOnlyWhenTheNeedleTurns)
{
    TVQImageManager::GetInstance().SetProgramFolder(QStringLiteral(QUELNOR_PROGRAM_DIR));
    RecordingMessages messages;
    TProgramLists lists{nullptr, QString(), &messages};
    lists.SetPower(0, true, 0);
    QWidget window;
    window.resize(400, 400);
    auto *plain = new TVQJaugeControl(&window, TVisualJaugeData{}, nullptr);
    auto *tilted = new TVQJaugeControl(&window, TVisualJaugeData{.Extra3 = 30}, nullptr);
    tilted->move(200, 0);
    TGaugeFeed::Of(lists).Add(plain);
    TGaugeFeed::Of(lists).Add(tilted);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    Settle();
    PaintCount plainPaints(plain), tiltedPaints(tilted);

    struct Step
    {
        quint32 Power;
        bool SetMaximum;
        quint32 Maximum;
        quint16 Shown;      // the power both gauges give
        int Plain, Tilted;  // their angles
        bool Turns;         // whether the needles turn, and so repaint
    };
    const Step steps[] = {
        {500, false, 0, 500, 0, 30, false},       // no maximum: each shows its record's angle
        {500, true, 1000, 500, 45, 45, true},     // a maximum: both show the power's angle
        {505, false, 0, 505, 45, 45, false},      // the same whole degree
        {1000, false, 0, 1000, 90, 90, true},
        {70000, true, 70000, 65535, 90, 90, false},  // both held to 16 bits
        {20, true, 0, 20, 0, 30, true},           // the maximum gone: each its own again
    };
    for (const Step &step : steps) {
        const int before[] = {plainPaints.Paints, tiltedPaints.Paints};
        lists.SetPower(step.Power, step.SetMaximum, step.Maximum);
        Settle();
        EXPECT_EQ(plain->Power(), step.Shown) << step.Power;
        EXPECT_EQ(tilted->Power(), step.Shown) << step.Power;
        EXPECT_EQ(plain->Angle(), step.Plain) << step.Power;
        EXPECT_EQ(tilted->Angle(), step.Tilted) << step.Power;
        EXPECT_EQ(plainPaints.Paints > before[0], step.Turns) << step.Power;
        EXPECT_EQ(tiltedPaints.Paints > before[1], step.Turns) << step.Power;
    }

    // A gauge made later shows the reading at once; a destroyed one is no longer fed.
    delete tilted;
    auto *later = new TVQJaugeControl(&window, TVisualJaugeData{}, nullptr);
    TGaugeFeed::Of(lists).Add(later);
    lists.SetPower(300, true, 600);
    EXPECT_EQ(later->Angle(), 45);
    EXPECT_EQ(plain->Angle(), 45);
    EXPECT_EQ(&TGaugeFeed::Of(lists).Reading(), &TGaugeFeed::Of(lists).Reading());
}

// Where the picture does not reach, or lets the area through, the area shows the window's colour;
// elsewhere the picture; each part repainted alone shows the same.
TEST(Repainting, AScreenAreaShowsItsColourWherePictureIsNot)
{
    QTemporaryDir folder;
    QImage opaque(60, 40, QImage::Format_RGB32);
    opaque.fill(qRgb(10, 120, 200));
    QImage seeThrough(60, 40, QImage::Format_ARGB32);
    seeThrough.fill(Qt::transparent);
    for (int x = 0; x < 30; ++x) {
        for (int y = 0; y < 40; ++y)
            seeThrough.setPixel(x, y, qRgb(200, 30, 30));
    }
    const struct { const char *name; QImage picture; bool stretch, proportional; } rows[] = {
        {"opaque, as it is", opaque, false, false},
        {"see-through, as it is", seeThrough, false, false},
        {"opaque, stretched in proportion", opaque, true, true},
        {"opaque, stretched", opaque, true, false},
    };
    for (const auto &row : rows) {
        const QString file = folder.filePath(QStringLiteral("%1.png").arg(row.name));
        ASSERT_TRUE(row.picture.save(file)) << row.name;
        QWidget window;
        window.resize(100, 100);
        TScreenArea area(&window);
        area.resize(window.size());
        QPalette palette = area.palette();
        palette.setColor(QPalette::Window, QColor(0, 255, 0));
        area.setPalette(palette);
        area.SetPictureFile(file, row.stretch, row.proportional);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window)) << row.name;
        ASSERT_TRUE(RunUntil([&] { return Shown(window) == PaintedWhole(window); })) << row.name;
        const QImage shown = Shown(window);
        const QRgb green = qRgb(0, 255, 0);
        if (!row.stretch) {
            EXPECT_EQ(shown.pixel(10, 10), row.picture.pixel(10, 10) | 0xff000000) << row.name;
            EXPECT_EQ(shown.pixel(45, 10), row.picture.hasAlphaChannel() ? green : opaque.pixel(45, 10)) << row.name;
            EXPECT_EQ(shown.pixel(80, 10), green) << row.name;
            EXPECT_EQ(shown.pixel(10, 60), green) << row.name;
        } else {
            EXPECT_EQ(shown.pixel(50, 30), opaque.pixel(0, 0)) << row.name;
            EXPECT_EQ(shown.pixel(50, 90), row.proportional ? green : opaque.pixel(0, 0)) << row.name;
        }
        // A part across the picture's edge, repainted alone.
        area.update(QRect(40, 30, 50, 40));
        Settle();
        EXPECT_EQ(Shown(window), shown) << row.name;
    }
}

// A paced window paints a change after a quiet spell at once and holds those that follow until the
// interval ends; an unpaced one paints each change.
TEST(Repainting, APacedWindowPaintsChangesTogether)
{
    bool paced = true;
    ASSERT_EQ(QGuiApplication::mouseButtons(), Qt::NoButton) << "a button held down paints every change at once";
    QWidget window;
    window.resize(100, 100);
    QWidget child(&window);
    child.resize(40, 40);
    PaintCount paints(&child);
    TRepaintPacer pacer(&window, [&paced] { return paced; });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(RunUntil([&] { return paints.Paints > 0; }));
    pacer.IntervalEnded();
    ASSERT_TRUE(pacer.IsQuiet());
    const int shown = paints.Paints;
    const auto changeAndSettle = [&] {
        child.update();
        Settle();
    };

    changeAndSettle();
    EXPECT_EQ(paints.Paints, shown + 1);  // the first change after a quiet spell
    changeAndSettle();
    changeAndSettle();
    EXPECT_EQ(paints.Paints, shown + 1);  // held
    EXPECT_TRUE(pacer.IsHolding());
    pacer.IntervalEnded();
    EXPECT_EQ(paints.Paints, shown + 2);  // both held changes in one paint
    EXPECT_FALSE(pacer.IsHolding());
    changeAndSettle();                     // still within the next interval: held
    EXPECT_EQ(paints.Paints, shown + 2);
    pacer.IntervalEnded();
    EXPECT_EQ(paints.Paints, shown + 3);
    pacer.IntervalEnded();                 // an interval without a change: quiet again
    EXPECT_TRUE(pacer.IsQuiet());
    changeAndSettle();
    EXPECT_EQ(paints.Paints, shown + 4);

    // Held, then hidden: nothing is painted, and the window paints again once shown.
    changeAndSettle();
    EXPECT_TRUE(pacer.IsHolding());
    window.hide();
    pacer.IntervalEnded();
    window.show();
    ASSERT_TRUE(RunUntil([&] { return paints.Paints == shown + 5; }));

    // A change that must show at once: what is held paints now; within an interval, the next
    // change is not held.
    pacer.IntervalEnded();
    pacer.IntervalEnded();
    ASSERT_TRUE(pacer.IsQuiet());
    const int quiet = paints.Paints;
    changeAndSettle();
    changeAndSettle();
    ASSERT_TRUE(pacer.IsHolding());
    pacer.PaintNow();
    EXPECT_EQ(paints.Paints, quiet + 2);
    EXPECT_FALSE(pacer.IsHolding());
    pacer.PaintNow();
    changeAndSettle();
    EXPECT_EQ(paints.Paints, quiet + 3);
    changeAndSettle();  // and only that one
    EXPECT_TRUE(pacer.IsHolding());

    paced = false;
    pacer.IntervalEnded();
    for (int i = 0; i < 3; ++i) {
        const int before = paints.Paints;
        changeAndSettle();
        EXPECT_EQ(paints.Paints, before + 1) << i;
    }
}

// A label is drawn once into a picture, then laid down from it: at three sizes and at double
// density, the picture laid down again gives the very pixels of the label first drawn, and these
// differ from ten passes of the text by two levels at most (rounding); a see-through painter
// gets the ten passes themselves.
TEST(Repainting, ALabelFromItsPictureIsTheLabelDrawn)
{
    const auto canvas = [](qreal ratio) {
        QImage image(QSize(160, 40) * ratio, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb((x * 7) % 256, (y * 29) % 256, (x * y) % 256));
        }
        image.setDevicePixelRatio(ratio);
        return image;
    };
    const auto drawn = [&](int pointSize, qreal ratio, qreal opacity, void (*draw)(QPainter &, QPoint, const QString &),
                           const QString &text = QStringLiteral("Kitchen 21.5 \u00b0C")) {
        QImage image = canvas(ratio);
        QPainter painter(&image);
        painter.setOpacity(opacity);
        painter.setFont(TVQBaseControl::LabelFont(pointSize));
        draw(painter, QPoint(6, 8), text);
        return image;
    };
    const auto furthestApart = [](const QImage &a, const QImage &b) {
        int furthest = 0;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                furthest = std::max({furthest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
            }
        }
        return furthest;
    };
    for (const int pointSize : {8, 10, 16}) {
        for (const qreal ratio : {1.0, 2.0}) {
            TOutlinedLabel::Forget();
            const QImage first = drawn(pointSize, ratio, 1.0, TOutlinedLabel::Draw);
            EXPECT_EQ(drawn(pointSize, ratio, 1.0, TOutlinedLabel::Draw), first) << pointSize << " pt";
            const QImage passes = drawn(pointSize, ratio, 1.0, TOutlinedLabel::DrawInPasses);
            const QImage under = canvas(ratio);
            int changed = 0, furthest = 0;
            for (int y = 0; y < first.height(); ++y) {
                for (int x = 0; x < first.width(); ++x) {
                    const QRgb a = first.pixel(x, y), b = passes.pixel(x, y);
                    changed += a != under.pixel(x, y);
                    furthest = std::max({furthest, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
                }
            }
            EXPECT_GT(changed, 200 * ratio * ratio) << pointSize << " pt";
            EXPECT_LE(furthest, 2) << pointSize << " pt at " << ratio;

            // The width a control centres its label by is the font's, made or kept.
            QImage image = canvas(ratio);
            QPainter painter(&image);
            painter.setFont(TVQBaseControl::LabelFont(pointSize));
            for (const QString &text : {QStringLiteral("Kitchen 21.5 \u00b0C"), QStringLiteral("WWW fi"), QString(), QStringLiteral(" ")}) {
                for (int again = 0; again < 2; ++again)
                    EXPECT_EQ(TOutlinedLabel::Width(painter, text), painter.fontMetrics().horizontalAdvance(text)) << text.toStdString();
            }
            painter.end();

            // A label whose text up to its last space began an earlier one is that text's picture
            // kept, with the rest drawn alone over it (kept apart): the label drawn whole within a
            // level, as wide. The first label drawn on a text is drawn whole.
            const std::pair<QString, QString> states[] = {{QStringLiteral("Kitchen 21.5 ?"), QStringLiteral("Kitchen 21.5 \u00b0C")},
                                                          {QStringLiteral("Control 5 On"), QStringLiteral("Control 5 Off")},
                                                          {QStringLiteral("Wall lamp 0%"), QStringLiteral("Wall lamp 100%")},
                                                          {QStringLiteral("Fan W Wy"), QStringLiteral("Fan W AV")}};
            for (const auto &[before, after] : states) {
                TOutlinedLabel::Forget();
                const QImage whole = drawn(pointSize, ratio, 1.0, TOutlinedLabel::Draw, after);
                TOutlinedLabel::Forget();
                drawn(pointSize, ratio, 1.0, TOutlinedLabel::Draw, before);
                EXPECT_EQ(TOutlinedLabel::KeptCount(), 1) << before.toStdString();
                const QImage put = drawn(pointSize, ratio, 1.0, TOutlinedLabel::Draw, after);
                EXPECT_EQ(TOutlinedLabel::KeptCount(), 4) << after.toStdString();  // and the head, the tail
                EXPECT_LE(furthestApart(put, whole), 1) << after.toStdString() << " " << pointSize << " pt at " << ratio;
                EXPECT_LE(furthestApart(put, drawn(pointSize, ratio, 1.0, TOutlinedLabel::DrawInPasses, after)), 2)
                    << after.toStdString();
                QImage image = canvas(ratio);
                QPainter painter(&image);
                painter.setFont(TVQBaseControl::LabelFont(pointSize));
                EXPECT_EQ(TOutlinedLabel::Width(painter, after), painter.fontMetrics().horizontalAdvance(after)) << after.toStdString();
            }
        }
        EXPECT_EQ(drawn(pointSize, 1.0, 0.5, TOutlinedLabel::Draw), drawn(pointSize, 1.0, 0.5, TOutlinedLabel::DrawInPasses));
    }
}
