#include "app/jpegimage.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <cstdio>
#include <cstdlib>

extern "C" {
#include <jpeglib.h>
}

using namespace duva;

namespace
{

QByteArray logoData()
{
    QFile file(QStringLiteral(":/logo.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Encodes a 4 x 2 picture whose every pixel has the given components, in the given colour
// space, with or without Adobe's marker.
QByteArray encode(J_COLOR_SPACE space, const QList<int>& pixel, bool adobe = false)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 4;
    info.image_height = 2;
    info.input_components = static_cast<int>(pixel.size());
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, space);
    info.write_Adobe_marker = adobe ? TRUE : FALSE;
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    QByteArray row;
    for (int x = 0; x < 4; ++x)
        for (int value : pixel)
            row.append(static_cast<char>(value));
    while (info.next_scanline < info.image_height) {
        JSAMPROW line = reinterpret_cast<JSAMPROW>(row.data());
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray result(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return result;
}

bool near(QRgb pixel, QColor expected)
{
    return qAbs(qRed(pixel) - expected.red()) <= 4 && qAbs(qGreen(pixel) - expected.green()) <= 4 &&
           qAbs(qBlue(pixel) - expected.blue()) <= 4;
}

} // namespace

class JpegTest : public QObject
{
    Q_OBJECT
private slots:
    void logo()
    {
        const QImage image = decodeJpeg(logoData());
        QCOMPARE(image.size(), QSize(75, 41));
        QCOMPARE(image.format(), QImage::Format_RGB888);
        QVERIFY(near(image.pixel(0, 0), Qt::white));
        // Navy lettering on white.
        bool navy = false;
        for (int y = 0; y < image.height() && !navy; ++y)
            for (int x = 0; x < image.width() && !navy; ++x)
                navy = near(image.pixel(x, y), QColor(0, 0, 128)) ||
                       (qBlue(image.pixel(x, y)) > 100 && qRed(image.pixel(x, y)) < 40);
        QVERIFY(navy);
    }

    void colourSpaces_data()
    {
        QTest::addColumn<int>("space");
        QTest::addColumn<QList<int>>("pixel");
        QTest::addColumn<bool>("adobe");
        QTest::addColumn<QColor>("expected");

        QTest::newRow("rgb") << int(JCS_RGB) << QList<int>{200, 40, 10} << false
                             << QColor(200, 40, 10);
        QTest::newRow("grayscale")
            << int(JCS_GRAYSCALE) << QList<int>{90} << false << QColor(90, 90, 90);
        // Plain CMYK stores ink amounts, Adobe's stores them inverted.
        QTest::newRow("cmyk") << int(JCS_CMYK) << QList<int>{255, 0, 0, 0} << false
                              << QColor(0, 255, 255);
        QTest::newRow("cmyk, Adobe")
            << int(JCS_CMYK) << QList<int>{0, 255, 255, 255} << true << QColor(0, 255, 255);
        QTest::newRow("two unknown components")
            << int(JCS_UNKNOWN) << QList<int>{70, 200} << false << QColor(70, 70, 70);
    }

    void colourSpaces()
    {
        QFETCH(int, space);
        QFETCH(QList<int>, pixel);
        QFETCH(bool, adobe);
        QFETCH(QColor, expected);

        const QImage image = decodeJpeg(encode(J_COLOR_SPACE(space), pixel, adobe));
        QCOMPARE(image.size(), QSize(4, 2));
        QCOMPARE(image.format(), QImage::Format_RGB888);
        QVERIFY2(near(image.pixel(3, 1), expected),
                 qPrintable(QColor(image.pixel(3, 1)).name() + " for " + expected.name()));
    }

    void refusedData_data()
    {
        QTest::addColumn<QByteArray>("data");

        // Every beginning of a real picture, from none to all but its end marker, is tried by
        // truncatedEverywhere().
        QTest::newRow("text") << QByteArray("not a picture at all");
        QTest::newRow("start and end markers") << QByteArray("\xFF\xD8\xFF\xD9", 4);
        QTest::newRow("zeros") << QByteArray(4096, '\0');
        QByteArray huge = encode(JCS_GRAYSCALE, {0});
        // Announce a 65000 x 65000 picture in the frame header.
        const qsizetype frame = huge.indexOf(QByteArray("\xFF\xC0", 2));
        huge[frame + 5] = huge[frame + 7] = char(0xFD);
        huge[frame + 6] = huge[frame + 8] = char(0xE8);
        QTest::newRow("enormous size") << huge;
    }

    void refusedData()
    {
        QFETCH(QByteArray, data);
        QVERIFY(decodeJpeg(data).isNull());
    }

    void truncatedEverywhere()
    {
        const QByteArray logo = logoData();
        QVERIFY(!logo.isEmpty());
        for (qsizetype length = 0; length < logo.size() - 1; ++length)
            QVERIFY2(decodeJpeg(logo.left(length)).isNull(), qPrintable(QString::number(length)));
    }

    void randomDamage()
    {
        // Damaged pictures may or may not decode; they must not crash or hang.
        const QByteArray logo = logoData();
        QRandomGenerator random(1461);
        for (int round = 0; round < 300; ++round) {
            QByteArray damaged = logo;
            for (int n = 0; n < 4; ++n)
                damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
            const QImage image = decodeJpeg(damaged);
            QVERIFY(image.isNull() || image.format() == QImage::Format_RGB888);
        }
    }
};

QTEST_GUILESS_MAIN(JpegTest)
#include "tst_jpeg.moc"
