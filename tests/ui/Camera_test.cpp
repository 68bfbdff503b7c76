#include "EventLoop.h"
#include "ScriptedDialogs.h"
#include "TAxisCamProperties.h"
#include "TCameraPreview.h"
#include "TCameraView.h"
#include "MainWindowFixture.h"
#include "TMyForm11.h"
#include "TRepaintPacer.h"
#include "TVQJaugeControl.h"
#include "TVQQAxisControl.h"
#include "TestCamera.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QImageWriter>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QByteArray Jpeg(const QImage &image, int quality = -1)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.write(image);
    return buffer.data();
}

// A JPEG of a smooth colour ramp, so that scaled pictures can be compared.
QByteArray RampJpeg(QSize size, QColor tint = Qt::red)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(tint.red() * x / size.width(), tint.green() * y / size.height(), tint.blue()));
    }
    return Jpeg(image, 90);
}

QByteArray PlainJpeg(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return Jpeg(image);
}

// Mean difference of the colour channels of two pictures of one size, 0 to 255.
double MeanDifference(const QImage &a, const QImage &b)
{
    double total = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return total / (3.0 * a.width() * a.height());
}

// Short pauses; a stall time long enough that a loaded machine's slow turn is no stall.
TCameraTimings Quick() { return {.RetryFirst = 20, .RetryLongest = 80, .StallAfter = 1000}; }

TVisualAxisCamData CameraRecord(const QByteArray &address)
{
    return {.Left = 30, .Top = 40, .Height = 180, .Width = 240, .Address = address, .CameraName = "Cam: Door"};
}

} // namespace

TEST(TCameraView, DecodesAtTheViewSize)
{
    // Sizes a 1280 x 960 picture takes in each view (aspect ratio kept, never enlarged); the
    // decoded picture matches decoding it whole and scaling it smoothly.
    const QByteArray jpeg = RampJpeg(QSize(1280, 960));
    const struct { QSize view; QSize expected; } rows[] = {
        {{40, 30}, {40, 30}},     {{80, 60}, {80, 60}},     {{160, 120}, {160, 120}}, {{176, 144}, {176, 132}},
        {{240, 180}, {240, 180}}, {{320, 240}, {320, 240}}, {{640, 480}, {640, 480}}, {{1920, 1080}, {1280, 960}},
        {{}, {1280, 960}},
    };
    QImage whole;
    whole.loadFromData(jpeg, "jpeg");
    for (const auto &row : rows) {
        const QImage decoded = TCameraView::Decode(jpeg, row.view);
        ASSERT_EQ(decoded.size(), row.expected) << row.view.width();
        const QImage reference = whole.scaled(row.expected, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                     .convertToFormat(decoded.format());
        EXPECT_LT(MeanDifference(decoded, reference), 6.0) << row.view.width();
    }
    // Bytes that are no picture, or a picture too large to be a camera's, give nothing.
    EXPECT_TRUE(TCameraView::Decode({}, QSize(40, 30)).isNull());
    EXPECT_TRUE(TCameraView::Decode("\xff\xd8 not a jpeg", QSize(40, 30)).isNull());
    EXPECT_TRUE(TCameraView::Decode(RampJpeg(QSize(8200, 8)), QSize(40, 30)).isNull());
    EXPECT_FALSE(TCameraView::Decode(RampJpeg(QSize(8192, 8)), QSize(40, 30)).isNull());
    // A PNG in the stream is decoded by what it is.
    QByteArray png;
    QBuffer pngBuffer(&png);
    pngBuffer.open(QIODevice::WriteOnly);
    QImage(64, 48, QImage::Format_RGB32).save(&pngBuffer, "PNG");
    EXPECT_EQ(TCameraView::Decode(png, QSize(32, 24)).size(), QSize(32, 24));

    // Where a picture stands in a view: as large as fits, centred.
    EXPECT_EQ(QList<QRect>({TCameraView::Fitted(QSize(640, 480), QRect(0, 0, 240, 180)), TCameraView::Fitted(QSize(640, 360), QRect(0, 0, 240, 180)),
                            TCameraView::Fitted(QSize(100, 200), QRect(10, 10, 200, 100)), TCameraView::Fitted(QSize(), QRect(0, 0, 10, 10))}),
              QList<QRect>({{0, 0, 240, 180}, {0, 22, 240, 135}, {85, 10, 50, 100}, {}}));
}

class CameraControlTest : public ::testing::Test
{
protected:
    CameraControlTest()
    {
        screen.resize(400, 300);
        screen.setAutoFillBackground(true);
        QPalette palette = screen.palette();
        palette.setColor(QPalette::Window, QColor(0, 200, 0));
        screen.setPalette(palette);
    }

    TVQQAxisControl *Place(const TVisualAxisCamData &record)
    {
        auto *control = new TVQQAxisControl(&screen, record, nullptr);
        control->View()->Stream()->SetTimings(Quick());
        control->SetRunTimeMode(RunMode::DesignTime);
        control->show();
        screen.show();
        return control;
    }

    QColor CentreOf(TVQQAxisControl *control) { return control->grab().toImage().pixelColor(control->width() / 2, control->height() / 2); }

    TestCamera camera;
    QWidget screen;
};

// In design time a frame with the position and the name, never a connection; in run time the
// stream while the screen is shown.
TEST_F(CameraControlTest, DesignShowsAFrameAndRunTimeStreamsWhileShown)
{
    camera.script.Frames = {PlainJpeg(QSize(640, 480), QColor(220, 20, 20))};
    camera.script.Repeat = 3;
    TVQQAxisControl *control = Place(CameraRecord(camera.Address()));
    EXPECT_EQ(control->geometry(), QRect(30, 40, 240, 180));
    const QImage face = control->grab().toImage();
    // The outline in black, the inside left as the screen's picture.
    for (QPoint p : {QPoint(0, 0), QPoint(239, 0), QPoint(0, 179), QPoint(239, 179), QPoint(120, 0), QPoint(0, 90)})
        EXPECT_EQ(face.pixelColor(p), QColor(Qt::black)) << p.x() << "," << p.y();
    EXPECT_EQ(face.pixelColor(200, 150), QColor(0, 200, 0));
    // Left and top as numbers at (5, 5) and (5, 20), the name in the middle: black text with a
    // white outline in each of those places.
    const auto inks = [&face](QRect area) {
        bool black = false, white = false;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                black |= face.pixelColor(x, y).lightness() < 60;
                white |= face.pixelColor(x, y).lightness() > 240;
            }
        }
        return black && white;
    };
    EXPECT_EQ(QList<bool>({inks(QRect(4, 4, 20, 13)), inks(QRect(4, 19, 20, 13)), inks(QRect(90, 80, 60, 20)), inks(QRect(30, 120, 60, 40))}),
              QList<bool>({true, true, true, false}));
    EXPECT_FALSE(control->View()->IsPlaying());
    EXPECT_EQ(camera.Requests().size(), 0);

    control->SetRunTimeMode(RunMode::RunTime);
    ASSERT_TRUE(RunUntil([&] { return control->View()->PicturesDecoded() > 0; }));
    // Decoded at the view's size and drawn over the whole view.
    EXPECT_EQ(control->View()->Picture().size(), QSize(240, 180));
    const QColor live = CentreOf(control);
    EXPECT_GT(live.red(), 180);
    EXPECT_LT(live.green(), 60);
    EXPECT_EQ(camera.Requests().size(), 1);

    // The screen hidden, the stream stops; shown again, it starts again.
    screen.hide();
    EXPECT_FALSE(control->View()->IsPlaying());
    screen.show();
    EXPECT_TRUE(control->View()->IsPlaying());
    ASSERT_TRUE(RunUntil([&] { return camera.StreamsStarted() >= 2; }));

    // Design time: stopped, and the frame face again.
    control->SetRunTimeMode(RunMode::DesignTime);
    EXPECT_FALSE(control->View()->IsPlaying());
    EXPECT_EQ(CentreOf(control), QColor(0, 200, 0));
    control->SetRunTimeMode(RunMode::Test);
    EXPECT_TRUE(control->View()->IsPlaying());
}

TEST_F(CameraControlTest, ModeFlipsLeaveNoConnectionOpen)
{
    camera.script.Frames = {PlainJpeg(QSize(160, 120), QColor(220, 20, 20))};
    camera.script.Repeat = 500;
    TVQQAxisControl *control = Place(CameraRecord(camera.Address()));
    for (int flip = 0; flip < 20; ++flip) {
        control->SetRunTimeMode(flip % 2 ? RunMode::DesignTime : RunMode::RunTime);
        RunUntil([] { return false; }, flip % 3 == 0 ? 20 : 0);
    }
    control->SetRunTimeMode(RunMode::DesignTime);
    // Every connection the flips opened is closed again; none stays with the camera.
    EXPECT_TRUE(RunUntil([&] { return camera.OpenConnections() == 0; }));
    EXPECT_GE(camera.Requests().size(), 2);
    screen.hide();
    control->SetRunTimeMode(RunMode::RunTime);
    RunUntil([] { return false; }, 50);
    EXPECT_EQ(camera.OpenConnections(), 0);
}

TEST_F(CameraControlTest, AStalledStreamIsSaidAndTheLastPictureDimmed)
{
    camera.script.Frames = {PlainJpeg(QSize(320, 240), QColor(220, 20, 20))};
    camera.script.Repeat = 2;
    camera.script.StallAtEnd = true;
    TVQQAxisControl *control = Place(CameraRecord(camera.Address()));
    control->SetRunTimeMode(RunMode::RunTime);
    ASSERT_TRUE(RunUntil([&] { return control->View()->PicturesDecoded() > 0; }));
    ASSERT_TRUE(RunUntil([&] { return control->View()->Stream()->State() == CameraState::Stopped; }));
    const QImage face = control->grab().toImage();
    // The picture at a third of its strength on black, the words in white.
    const QColor dimmed = face.pixelColor(10, 10);
    EXPECT_GT(dimmed.red(), 50);
    EXPECT_LT(dimmed.red(), 110);
    bool white = false;
    for (int x = 0; x < face.width(); ++x)
        white |= face.pixelColor(x, face.height() / 2 - 6) == QColor(Qt::white) || face.pixelColor(x, face.height() / 2) == QColor(Qt::white);
    EXPECT_TRUE(white);
    EXPECT_EQ(QStringList({TCameraView::StateText(CameraState::Stopped), TCameraView::StateText(CameraState::Refused),
                           TCameraView::StateText(CameraState::Connecting), TCameraView::StateText(CameraState::Playing)}),
              QStringList({"Stream stopped", "Access refused", QString::fromUtf8("No picture — connecting…"), ""}));
    // The camera sends again: the stream comes back by itself.
    ASSERT_TRUE(RunUntil([&] { return camera.StreamsStarted() >= 2 && control->View()->Stream()->State() == CameraState::Playing; }));
}

TEST_F(CameraControlTest, TheRecordsAccountOrTheFactoryOne)
{
    camera.script.Authentication = TestCamera::Auth::Digest;
    TVisualAxisCamData record = CameraRecord(camera.Address());
    TVQQAxisControl *control = Place(record);
    control->SetRunTimeMode(RunMode::RunTime);
    ASSERT_TRUE(RunUntil([&] { return control->View()->Stream()->State() == CameraState::Playing; }));

    // The record's own account, refused by this camera.
    record.UseLogin = 1;
    record.Login = "admin";
    record.Password = "secret";
    control->SetRecord(record);
    ASSERT_TRUE(RunUntil([&] { return control->View()->Stream()->State() == CameraState::Refused; }));
    camera.script.User = "admin";
    camera.script.Password = "secret";
    ASSERT_TRUE(RunUntil([&] { return control->View()->Stream()->State() == CameraState::Playing; }));
    // Closing the screen with the stream open leaves nothing behind.
    delete control;
    RunUntil([] { return false; }, 50);
}

// The size entries follow the width; the dialog fills, checks and writes the record.
TEST(TAxisCamProperties, FillsChecksAndWritesTheRecord)
{
    const struct { int width; int entry; } rows[] = {{0, 0},   {40, 0},  {41, 1},  {80, 1},  {160, 2},  {176, 3},
                                                     {200, 4}, {240, 4}, {320, 5}, {480, 6}, {481, 7}, {65535, 7}};
    for (const auto &row : rows)
        EXPECT_EQ(TAxisCamProperties::EntryForWidth(row.width), row.entry) << row.width;
    EXPECT_EQ(TAxisCamProperties::SizeOfEntry(3), QSize(176, 144));

    ScriptedDialogs messages;
    TVisualAxisCamData record = CameraRecord("192.168.1.");
    record.Width = 200;
    record.UseLogin = 1;
    record.Login = "admin";
    record.Password = "secret";
    TAxisCamProperties dialog(record, &messages);
    dialog.show();
    auto &ip = *dialog.findChild<QLineEdit *>(QStringLiteral("EdIp"));
    auto &useLogin = *dialog.findChild<QCheckBox *>(QStringLiteral("CbUseLogin"));
    auto &login = *dialog.findChild<QLineEdit *>(QStringLiteral("EdLogin"));
    auto &password = *dialog.findChild<QLineEdit *>(QStringLiteral("EdPassword"));
    auto &test = *dialog.findChild<QPushButton *>(QStringLiteral("BtTest"));
    auto &ok = *dialog.findChild<QPushButton *>(QStringLiteral("BtOk"));
    EXPECT_EQ(dialog.findChild<QComboBox *>(QStringLiteral("CbSize"))->currentText(), QStringLiteral("240 x 180"));
    EXPECT_EQ(dialog.findChild<QLineEdit *>(QStringLiteral("EdName"))->text(), QStringLiteral("Cam: Door"));
    // An address that does not pass the check is shown empty; Test and OK refuse it.
    EXPECT_EQ(std::make_tuple(ip.text(), useLogin.isChecked(), login.text()), std::make_tuple(QString(), true, QStringLiteral("admin")));
    EXPECT_FALSE(test.isEnabled());
    QTest::mouseClick(&ok, Qt::LeftButton);
    EXPECT_EQ(messages.Messages, QStringList({"Bad Ip Address"}));
    EXPECT_EQ(dialog.result(), int(QDialog::Rejected));

    QTest::keyClicks(&ip, QStringLiteral("10.0.0.9:8080"));
    EXPECT_TRUE(test.isEnabled());
    password.clear();
    EXPECT_FALSE(test.isEnabled());
    QTest::mouseClick(&ok, Qt::LeftButton);
    EXPECT_EQ(messages.Messages.last(), QStringLiteral("Please enter Login and password"));

    // A text the project file cannot hold is refused, the password never shown, nothing written.
    password.setText(QStringLiteral("pa|ss"));
    TVisualAxisCamData written = record;
    EXPECT_FALSE(dialog.WriteRecord(written));
    EXPECT_EQ(written, record);
    EXPECT_FALSE(messages.Messages.last().contains(QStringLiteral("pa|ss"))) << messages.Messages.last().toStdString();

    // Without "Use Login" the account is emptied; the size untouched keeps the record's, another
    // entry gives its width and height.
    useLogin.setChecked(false);
    {
        TVisualAxisCamData kept = record;
        ASSERT_TRUE(dialog.WriteRecord(kept));
        EXPECT_EQ(QSize(kept.Width, kept.Height), QSize(record.Width, record.Height));
    }
    auto &size = *dialog.findChild<QComboBox *>(QStringLiteral("CbSize"));
    QTest::keyClick(&size, Qt::Key_Up);
    QTest::keyClick(&size, Qt::Key_Down);
    EXPECT_EQ(size.currentText(), QStringLiteral("240 x 180"));
    QTest::mouseClick(&ok, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
    ASSERT_TRUE(dialog.WriteRecord(written));
    TVisualAxisCamData expected = CameraRecord("10.0.0.9:8080");
    EXPECT_EQ(written, expected);
}

TEST(TAxisCamProperties, TestPlaysTheStreamInThePreview)
{
    TestCamera camera;
    camera.script.Authentication = TestCamera::Auth::Basic;
    camera.script.User = "viewer";
    camera.script.Password = "pw";
    camera.script.Frames = {PlainJpeg(QSize(320, 240), QColor(20, 20, 220))};
    ScriptedDialogs messages;
    TAxisCamProperties dialog(CameraRecord(camera.Address()), &messages);
    dialog.show();
    dialog.findChild<QCheckBox *>(QStringLiteral("CbUseLogin"))->setChecked(true);
    QTest::keyClicks(dialog.findChild<QLineEdit *>(QStringLiteral("EdLogin")), QStringLiteral("viewer"));
    QTest::keyClicks(dialog.findChild<QLineEdit *>(QStringLiteral("EdPassword")), QStringLiteral("pw"));
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("BtTest")), Qt::LeftButton);
    ASSERT_TRUE(RunUntil([&] { return dialog.Preview()->View()->PicturesDecoded() > 0; }));
    const QImage preview = dialog.Preview()->grab().toImage();
    EXPECT_GT(preview.pixelColor(preview.width() / 2, preview.height() / 2).blue(), 180);
    EXPECT_TRUE(messages.Messages.isEmpty());
}

using CameraMainWindowTest = MainWindowTest;

TEST_F(CameraMainWindowTest, CameraAndGaugeDialogsEditWhatIsSaved)
{
    TMyForm11 *screen = window.ScreenWindows().front();
    screen->Action(TMyForm11::MenuEntry::AddCamera)->trigger();
    screen->Action(TMyForm11::MenuEntry::CreateGauge)->trigger();
    // The demo's camera and gauge come first, the new ones after.
    ASSERT_EQ(window.Project()->Cameras().size(), 2u);
    ASSERT_EQ(window.Project()->Gauges().size(), 2u);
    auto *camera = dynamic_cast<TVQQAxisControl *>(window.Project()->Cameras().back());
    auto *gauge = dynamic_cast<TVQJaugeControl *>(window.Project()->Gauges().back());
    ASSERT_TRUE(camera && gauge);
    EXPECT_EQ(camera->size(), QSize(180, 120));

    dialogs.DialogHandler = [](QDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Axis Cam Properties"));
        dialog.show();
        dialog.findChild<QLineEdit *>(QStringLiteral("EdName"))->setText(QStringLiteral("Cam: Garage"));
        dialog.findChild<QLineEdit *>(QStringLiteral("EdLeft"))->setText(QStringLiteral("300"));
        dialog.findChild<QLineEdit *>(QStringLiteral("EdIp"))->setText(QStringLiteral("192.168.1.50"));
        auto *size = dialog.findChild<QComboBox *>(QStringLiteral("CbSize"));
        size->setCurrentIndex(4);
        QTest::keyClick(size, Qt::Key_Down);  // the user picks the sixth entry
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("BtOk")), Qt::LeftButton);
        return dialog.result();
    };
    camera->DisplayProperties();
    EXPECT_EQ(camera->geometry(), QRect(300, 0, 320, 240));

    int runs = 0;
    dialogs.DialogHandler = [&runs](QDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("JaugeProperties"));
        dialog.show();
        auto *left = dialog.findChild<QLineEdit *>(QStringLiteral("EdLeft"));
        auto *top = dialog.findChild<QLineEdit *>(QStringLiteral("EdTop"));
        auto *angle = dialog.findChild<QLineEdit *>(QStringLiteral("EdAngle"));
        EXPECT_TRUE(dialog.findChild<QLineEdit *>(QStringLiteral("EdPower"))->isReadOnly());
        auto *ok = dialog.findChildren<QPushButton *>().front();
        // The angle has no field in the file: shown, not offered as an edit.
        EXPECT_TRUE(angle->isReadOnly());
        ++runs;
        // A bad number keeps the dialog open, and nothing of it reaches the gauge.
        left->setText(QStringLiteral("x"));
        QTest::mouseClick(ok, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), int(QDialog::Rejected));
        left->setText(QStringLiteral("12"));
        top->setText(QStringLiteral("34"));
        QTest::mouseClick(ok, Qt::LeftButton);
        return dialog.result();
    };
    gauge->DisplayProperties();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(dialogs.Messages, QStringList({"'x' is not a valid integer value"}));
    EXPECT_EQ(gauge->pos(), QPoint(12, 34));

    // Saved: the camera's line as the dialog left it.
    const QString saved = folder.File(QStringLiteral("Data/with-camera.qvp"));
    dialogs.SaveNames.push_back(saved);
    window.CommandSaveAs();
    const QByteArray file = folder.Read(saved);
    EXPECT_TRUE(file.contains("Cam: garden|\r\n 1 0 0 0   0 12c   0  f0 140   1   0192.168.1.50|(null)|(null)|Cam: Garage|\r\nEOF Axis Item"))
        << file.toStdString();
    EXPECT_TRUE(file.contains(" 1 1 0 0   c  22   1")) << file.toStdString();
}

// A screen in run time paces its repaints; a camera's new picture is never held back by it.
TEST_F(CameraMainWindowTest, ACamerasPicturesAreNotHeldByTheScreensPace)
{
    MakeEveryControl();
    auto *camera = dynamic_cast<TVQQAxisControl *>(window.Project()->Cameras().front());
    ASSERT_TRUE(camera);
    QWidget *screen = camera->window();
    screen->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(screen));
    window.Session()->SetMode(RunMode::Test);
    camera->hide();  // no stream of its own: only the picture sent below
    auto *pacer = screen->findChild<TRepaintPacer *>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(pacer, nullptr);
    const auto changeAndSettle = [screen] {
        static_cast<TMyForm11 *>(screen)->Area()->update(0, 0, 5, 5);
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    };
    pacer->IntervalEnded();
    pacer->IntervalEnded();
    changeAndSettle();
    changeAndSettle();
    ASSERT_TRUE(pacer->IsHolding());
    emit camera->View()->changed();
    EXPECT_FALSE(pacer->IsHolding());
}
