#include "TBackgroundReader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A picture with gradients, edges and a little noise, of a size that is no whole number of blocks.
QImage Scene()
{
    QImage image(97, 61, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / 96, y * 255 / 60, ((x * 7 + y * 13) % 17) * 15));
    }
    QPainter painter(&image);
    painter.setPen(Qt::white);
    painter.drawEllipse(20, 10, 40, 30);
    painter.fillRect(70, 5, 12, 50, Qt::darkMagenta);
    return image;
}

QByteArray Written(const QImage &image, const char *format, const std::function<void(QImageWriter &)> &set = {})
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (set)
        set(writer);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return bytes;
}

// The JPEG with an Exif block that says it is to be turned a quarter.
QByteArray Turned(const QByteArray &jpeg)
{
    const QByteArray tiff = QByteArray::fromHex("4d4d002a00000008" "0001" "011200030000000100060000" "00000000");
    QByteArray app1 = QByteArray::fromHex("ffe1");
    const int length = 2 + 6 + int(tiff.size());
    app1.append(char(length >> 8)).append(char(length & 0xff)).append("Exif\0\0", 6).append(tiff);
    return jpeg.left(2) + app1 + jpeg.mid(2);
}

} // namespace

// Every background reads as QImageReader reads it: pixels, format, size and density. The plain
// JPEGs take the direct way; orientation, grey, broken, mislabelled and empty files do not.
TEST(BackgroundReader, ReadsEveryFileAsQtsReaderDoes)
{
    const QImage scene = Scene();
    QImage dense = scene;
    dense.setDotsPerMeterX(3937);  // 100 dots an inch
    dense.setDotsPerMeterY(7874);
    const QByteArray plain = Written(scene, "jpeg", [](QImageWriter &w) { w.setQuality(90); });
    struct Case
    {
        const char *Name;
        QByteArray Bytes;
        bool Direct;
    } cases[] = {
        {"quality 90", plain, true},
        {"quality 30", Written(scene, "jpeg", [](QImageWriter &w) { w.setQuality(30); }), true},
        {"progressive", Written(scene, "jpeg", [](QImageWriter &w) { w.setProgressiveScanWrite(true); }), true},
        {"optimised", Written(scene, "jpeg", [](QImageWriter &w) { w.setOptimizedWrite(true); }), true},
        {"density", Written(dense, "jpeg"), true},
        {"one pixel", Written(QImage(1, 1, QImage::Format_RGB32), "jpeg"), true},
        {"turned", Turned(plain), false},
        {"grey", Written(scene.convertToFormat(QImage::Format_Grayscale8), "jpeg"), false},
        {"cut short", plain.left(plain.size() * 3 / 5), false},
        {"a PNG", Written(scene, "png"), false},
        {"no JPEG after its mark", QByteArray("\xFF\xD8\xFF\xE0 not a picture at all", 26), false},
        {"empty", QByteArray(), false},
    };
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    int directs = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        const QString file = folder.filePath(QString::fromLatin1(c.Name) + QStringLiteral(".jpg"));
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(c.Bytes);
        out.close();
        EXPECT_EQ(!TBackgroundReader::ReadPlainJpeg(c.Bytes).isNull(), c.Direct);
        directs += c.Direct;
        const QImage expected = QImageReader(file).read();
        const QImage read = TBackgroundReader::Read(file);
        EXPECT_EQ(read.isNull(), expected.isNull());
        EXPECT_EQ(read.format(), expected.format());
        EXPECT_EQ(read.size(), expected.size());
        EXPECT_EQ(read.dotsPerMeterX(), expected.dotsPerMeterX());
        EXPECT_EQ(read.dotsPerMeterY(), expected.dotsPerMeterY());
        EXPECT_TRUE(read == expected);
    }
    EXPECT_EQ(directs, 6);
    EXPECT_TRUE(TBackgroundReader::Read(folder.filePath(QStringLiteral("missing.jpg"))).isNull());
}
