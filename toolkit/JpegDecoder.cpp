// Decodes JPEG pictures at full size with libjpeg, for the board backdrop and the workspace.
#include "toolkit/JpegDecoder.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <stdexcept>
#include <string>

#include <jpeglib.h>

namespace {

// libjpeg reports a fatal error by calling error_exit, whose default ends the process. Ours
// jumps back into the decoder instead; only the two small functions below set the jump point,
// and they hold nothing that needs destroying.
struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

extern "C" void JpegErrorExit(j_common_ptr info)
{
    auto *error = reinterpret_cast<TJpegError *>(info->err);
    (*info->err->format_message)(info, error->Message);
    std::longjmp(error->Jump, 1);
}

// A warning means damaged data (a cut-off file ends in made-up grey); a backdrop like that is
// worse than none, so it fails like an error. Trace messages (level > 0) are ignored.
extern "C" void JpegEmitMessage(j_common_ptr info, int level)
{
    if (level < 0)
        JpegErrorExit(info);
}

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr J_COLOR_SPACE NativeRgb32 = JCS_EXT_BGRA;
#else
constexpr J_COLOR_SPACE NativeRgb32 = JCS_EXT_ARGB;
#endif

// Fills in the picture's size and channel layout; 0 after a libjpeg error.
int StartDecoding(jpeg_decompress_struct *info, TJpegError *error, const unsigned char *data,
                  unsigned long size)
{
    if (setjmp(error->Jump))
        return 0;
    jpeg_mem_src(info, data, size);
    jpeg_read_header(info, TRUE);
    info->scale_num = 1;
    info->scale_denom = 1;
    // CMYK cannot be turned into RGB by libjpeg; it comes out as is and is converted below.
    const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
    info->out_color_space = cmyk ? JCS_CMYK : NativeRgb32;
    jpeg_start_decompress(info);
    return 1;
}

// Decodes every line into rows of bytesPerLine bytes; 0 after a libjpeg error.
int ReadLines(jpeg_decompress_struct *info, TJpegError *error, unsigned char *bits,
              qsizetype bytesPerLine)
{
    if (setjmp(error->Jump))
        return 0;
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = bits + static_cast<qsizetype>(info->output_scanline) * bytesPerLine;
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return 1;
}

// Adobe writes CMYK inverted; Qt's own reader makes the same assumption.
void CmykToRgb32(QImage &image, bool inverted)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const auto *cmyk = reinterpret_cast<const unsigned char *>(line);
        for (int x = 0; x < image.width(); ++x) {
            int c = cmyk[4 * x], m = cmyk[4 * x + 1], yy = cmyk[4 * x + 2], k = cmyk[4 * x + 3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                yy = 255 - yy;
                k = 255 - k;
            }
            line[x] = qRgb(c * k / 255, m * k / 255, yy * k / 255);
        }
    }
}

[[noreturn]] void Fail(const std::string &what)
{
    throw std::runtime_error(what);
}

} // namespace

QImage DecodeJpegData(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        Fail("Not a JPEG picture: no data");

    jpeg_decompress_struct info{};
    TJpegError error{};
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = JpegErrorExit;
    error.Manager.emit_message = JpegEmitMessage;
    jpeg_create_decompress(&info);

    QImage image;
    bool ok = StartDecoding(&info, &error,
                            reinterpret_cast<const unsigned char *>(bytes.constData()),
                            static_cast<unsigned long>(bytes.size())) != 0;
    bool cmyk = false;
    bool inverted = false;
    if (ok) {
        cmyk = info.out_color_space == JCS_CMYK;
        inverted = info.saw_Adobe_marker != 0;
        image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                       QImage::Format_RGB32);
        if (image.isNull()) {
            jpeg_destroy_decompress(&info);
            Fail("Not enough memory for a JPEG picture");
        }
        ok = ReadLines(&info, &error, image.bits(), image.bytesPerLine()) != 0;
    }
    jpeg_destroy_decompress(&info);
    if (!ok)
        Fail(std::string("JPEG error: ") + error.Message);
    if (cmyk)
        CmykToRgb32(image, inverted);
    return image;
}

QImage DecodeJpegFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("Cannot open file %1").arg(path).toStdString());
    return DecodeJpegData(file.readAll());
}
