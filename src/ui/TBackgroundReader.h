#pragma once

#include <QImage>
#include <QString>

// Reads a screen's background picture, exactly as QImageReader reads it. The common JPEG (three
// colour components, no orientation and no colour profile) is decoded straight into the picture's
// lines as 32-bit colour; Qt's reader decodes each line to 24-bit colour and widens it after, a
// third of the time of opening a screen's picture. Any other file, or a JPEG the library warns
// about, is read by QImageReader.
class TBackgroundReader
{
public:
    static QImage Read(const QString &file);
    // The same, null when the file is not such a JPEG; for the tests.
    static QImage ReadPlainJpeg(const QByteArray &bytes);
};
