// JPEG decoding at full size, and its failures on missing, foreign and damaged files.
#include "toolkit/JpegDecoder.h"

#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace {

// Compresses w x h pixels of 1, 3 or 4 components with libjpeg itself, so the tests do not
// depend on Qt's image plugins.
QByteArray Compress(int w, int h, J_COLOR_SPACE space, int components,
                    const std::vector<unsigned char> &pixels)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(w);
    info.image_height = static_cast<JDIMENSION>(h);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<unsigned char *>(pixels.data())
            + static_cast<size_t>(info.next_scanline) * w * components;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char *>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return bytes;
}

// Top half one colour, bottom half another.
QByteArray TwoToneRgb(int w, int h, QRgb top, QRgb bottom)
{
    std::vector<unsigned char> pixels;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb c = y < h / 2 ? top : bottom;
            pixels.insert(pixels.end(), {static_cast<unsigned char>(qRed(c)),
                                         static_cast<unsigned char>(qGreen(c)),
                                         static_cast<unsigned char>(qBlue(c))});
        }
    return Compress(w, h, JCS_RGB, 3, pixels);
}

bool Near(QRgb got, QRgb want, int tolerance = 10)
{
    return std::abs(qRed(got) - qRed(want)) <= tolerance
        && std::abs(qGreen(got) - qGreen(want)) <= tolerance
        && std::abs(qBlue(got) - qBlue(want)) <= tolerance;
}

QString Describe(QRgb c)
{
    return QStringLiteral("RGB(%1, %2, %3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
}

} // namespace

class TestJpeg : public QObject {
    Q_OBJECT

private slots:
    void init();
    void colourPictureAtFullSize();
    void pictureSavedByQt();
    void grayscalePicture();
    void cmykPicture();
    void failures_data();
    void failures();
    void missingFileThrows();
    void shippedBackdropDecodes();

private:
    QString Write(const QString &name, const QByteArray &bytes);
    std::unique_ptr<QTemporaryDir> Dir;
};

void TestJpeg::init()
{
    Dir = std::make_unique<QTemporaryDir>();
    QVERIFY(Dir->isValid());
}

QString TestJpeg::Write(const QString &name, const QByteArray &bytes)
{
    const QString path = Dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

void TestJpeg::colourPictureAtFullSize()
{
    const QRgb top = qRgb(200, 40, 90);
    const QRgb bottom = qRgb(20, 150, 220);
    // An odd width keeps the rows from lining up with anything convenient.
    const QString path = Write("two-tone.jpg", TwoToneRgb(333, 201, top, bottom));
    QVERIFY(!path.isEmpty());
    const QImage image = DecodeJpegFile(path);
    QCOMPARE(image.size(), QSize(333, 201));
    QCOMPARE(image.format(), QImage::Format_RGB32);
    QVERIFY2(Near(image.pixel(160, 40), top), qPrintable(Describe(image.pixel(160, 40))));
    QVERIFY2(Near(image.pixel(332, 0), top), qPrintable(Describe(image.pixel(332, 0))));
    QVERIFY2(Near(image.pixel(160, 160), bottom), qPrintable(Describe(image.pixel(160, 160))));
    QVERIFY2(Near(image.pixel(0, 200), bottom), qPrintable(Describe(image.pixel(0, 200))));
    QCOMPARE(qAlpha(image.pixel(5, 5)), 255);
}

void TestJpeg::pictureSavedByQt()
{
    if (!QImageWriter::supportedImageFormats().contains("jpg"))
        QSKIP("Qt has no JPEG writer here");
    QImage source(64, 48, QImage::Format_RGB32);
    source.fill(qRgb(250, 200, 10));
    const QString path = Dir->filePath("qt.jpg");
    QVERIFY(source.save(path, "JPG", 95));
    const QImage image = DecodeJpegFile(path);
    QCOMPARE(image.size(), QSize(64, 48));
    QVERIFY2(Near(image.pixel(30, 20), qRgb(250, 200, 10)),
             qPrintable(Describe(image.pixel(30, 20))));
}

void TestJpeg::grayscalePicture()
{
    std::vector<unsigned char> pixels(40 * 30, 100);
    const QString path = Write("grey.jpg", Compress(40, 30, JCS_GRAYSCALE, 1, pixels));
    const QImage image = DecodeJpegFile(path);
    QCOMPARE(image.size(), QSize(40, 30));
    QVERIFY2(Near(image.pixel(20, 15), qRgb(100, 100, 100), 3),
             qPrintable(Describe(image.pixel(20, 15))));
}

void TestJpeg::cmykPicture()
{
    // libjpeg stores CMYK with an Adobe marker, where 255 means no ink: this is red.
    std::vector<unsigned char> pixels;
    for (int i = 0; i < 24 * 16; ++i)
        pixels.insert(pixels.end(), {255, 0, 0, 255});
    const QString path = Write("cmyk.jpg", Compress(24, 16, JCS_CMYK, 4, pixels));
    const QImage image = DecodeJpegFile(path);
    QCOMPARE(image.size(), QSize(24, 16));
    QVERIFY2(Near(image.pixel(12, 8), qRgb(255, 0, 0), 12),
             qPrintable(Describe(image.pixel(12, 8))));
}

void TestJpeg::failures_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = TwoToneRgb(120, 90, qRgb(1, 2, 3), qRgb(200, 200, 200));
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("text named .jpg") << QByteArray("This is not a picture at all.\n");
    QTest::newRow("cut in half") << good.left(good.size() / 2);
    QTest::newRow("header only") << good.left(200);
    QTest::newRow("start of image marker only") << good.left(2);
    QByteArray scrambled = good;
    for (qsizetype i = scrambled.size() / 3; i < scrambled.size() - 2; i += 7)
        scrambled[i] = static_cast<char>(0xFF);
    QTest::newRow("scrambled data") << scrambled;
}

void TestJpeg::failures()
{
    QFETCH(QByteArray, bytes);
    const QString path = Write("bad.jpg", bytes);
    QVERIFY(QFile::exists(path));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, DecodeJpegFile(path));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, DecodeJpegData(bytes));
}

void TestJpeg::missingFileThrows()
{
    const QString path = Dir->filePath("Background.jpg");
    try {
        DecodeJpegFile(path);
        QFAIL("a missing file decoded");
    } catch (const std::runtime_error &e) {
        QCOMPARE(QString::fromStdString(e.what()), QStringLiteral("Cannot open file ") + path);
    }
}

void TestJpeg::shippedBackdropDecodes()
{
    const QString path = QStringLiteral(SETKARIY_SOURCE_DIR "/data/Background.jpg");
    if (!QFile::exists(path))
        QSKIP("no Background.jpg in the sources");
    const QImage image = DecodeJpegFile(path);
    QVERIFY(!image.isNull());
    QVERIFY(image.width() > 0 && image.height() > 0);
}

QTEST_GUILESS_MAIN(TestJpeg)
#include "tst_jpeg.moc"
