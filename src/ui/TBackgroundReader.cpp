#include "TBackgroundReader.h"

#include <QFile>
#include <QImageReader>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

struct TJpegErrors
{
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
};

[[noreturn]] void Fail(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<TJpegErrors *>(info->err)->Jump, 1);
}

// Warnings are counted, not printed: a file with any is read again by QImageReader, which says them.
void Quiet(j_common_ptr) {}

// What would make Qt's reader give something else than plain 32-bit colour lines.
bool Plain(const jpeg_decompress_struct &info)
{
    if (info.num_components != 3 || (info.jpeg_color_space != JCS_YCbCr && info.jpeg_color_space != JCS_RGB))
        return false;
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next) {
        if (marker->marker == JPEG_APP0 + 1 || marker->marker == JPEG_APP0 + 2)  // orientation, colour profile
            return false;
    }
    const qint64 limit = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
    return limit == 0 || qint64(info.image_width) * info.image_height * 4 <= limit;
}

// Decodes into `image`; false on any error or warning. Kept apart from the caller so that nothing
// with a destructor lives between the jump's set and its taking but the image, made before.
bool Decode(jpeg_decompress_struct &info, TJpegErrors &errors, const QByteArray &bytes, QImage &image)
{
    if (setjmp(errors.Jump))
        return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()), static_cast<unsigned long>(bytes.size()));
    jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || !Plain(info))
        return false;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    info.out_color_space = JCS_EXT_BGRA;  // 0xAARRGGBB in memory order, alpha 0xFF
#else
    info.out_color_space = JCS_EXT_ARGB;
#endif
    info.dct_method = JDCT_ISLOW;  // as Qt's reader at its default quality
    jpeg_start_decompress(&info);
    image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
    if (image.isNull())
        return false;
    while (info.output_scanline < info.output_height) {
        JSAMPROW line = image.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &line, 1);
    }
    jpeg_finish_decompress(&info);
    if (errors.Manager.num_warnings > 0)
        return false;
    // The density, as Qt's reader keeps it.
    if (info.density_unit == 1) {
        image.setDotsPerMeterX(int(100. * info.X_density / 2.54));
        image.setDotsPerMeterY(int(100. * info.Y_density / 2.54));
    } else if (info.density_unit == 2) {
        image.setDotsPerMeterX(int(100. * info.X_density));
        image.setDotsPerMeterY(int(100. * info.Y_density));
    }
    return true;
}

} // namespace

QImage TBackgroundReader::ReadPlainJpeg(const QByteArray &bytes)
{
    if (!bytes.startsWith("\xFF\xD8\xFF"))
        return {};
    jpeg_decompress_struct info{};
    TJpegErrors errors{};
    info.err = jpeg_std_error(&errors.Manager);
    errors.Manager.error_exit = Fail;
    errors.Manager.output_message = Quiet;
    QImage image;
    const bool read = Decode(info, errors, bytes, image);
    jpeg_destroy_decompress(&info);
    return read ? image : QImage();
}

QImage TBackgroundReader::Read(const QString &file)
{
    QFile in(file);
    if (in.open(QIODevice::ReadOnly) && in.peek(3) == QByteArrayView("\xFF\xD8\xFF")) {
        QImage image = ReadPlainJpeg(in.readAll());
        if (!image.isNull())
            return image;
    }
    return QImageReader(file).read();
}
