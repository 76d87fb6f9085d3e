// The fax stream reader on known streams, the picture made of its rows, and
// the fax settings in "Dervalo-extra.ini".
#include <QtTest>

#include "fax/FaxPicture.h"
#include "fax/FaxStream.h"
#include "shell/ExtraSettings.h"

namespace {
// `ESC L` with the columns given.
QByteArray Graphics(const QByteArray& columns) {
    const int n = int(columns.size());
    return QByteArray("\x1BL", 2) + char(n & 0xFF) + char(n >> 8) + columns;
}

// Whether dot x of a packed row is black.
bool Dot(const QByteArray& row, int x) {
    return (quint8(row.at(x >> 3)) >> (7 - (x & 7))) & 1;
}

// The eight rows a band of `columns` must give at `width`.
QList<QByteArray> Expected(const QByteArray& columns, int width) {
    QList<QByteArray> rows;
    for (int r = 0; r < 8; ++r) {
        QByteArray row((width + 7) / 8, '\0');
        for (int x = 0; x < qMin<int>(width, int(columns.size())); ++x)
            if (quint8(columns.at(x)) & (0x80 >> r)) row[x >> 3] = char(row[x >> 3] | (0x80 >> (x & 7)));
        rows.append(row);
    }
    return rows;
}
} // namespace

class FaxStreamTest : public QObject {
    Q_OBJECT
private slots:
    void knownStreams();
    void pictureAndSettings();
};

void FaxStreamTest::knownStreams() {
    // A band of 40 columns whose data holds ESC, the separator's bytes, the
    // frame bytes and every pin alone; around it the separator, a line end
    // and a code with an argument ("ESC 3 n") the reader passes over.
    QByteArray columns;
    for (int x = 0; x < 40; ++x)
        columns.append(char(x < 8 ? 0x80 >> x : (x * 37 + 11) & 0xFF));
    columns[10] = 0x1B;
    columns[11] = 'A';
    columns[12] = 0x08;
    columns[13] = 0x1B;
    columns[14] = 'L';
    columns[20] = char(0xFF);
    const QByteArray band = QByteArray("\x1B" "A\x08", 3) + Graphics(columns) + "\r\n" +
                            QByteArray("\x1B" "3\x1B", 3);
    const QByteArray stream = band + band;
    const QList<QByteArray> one = Expected(columns, 48);

    // Split at every possible byte: the same two bands.
    for (int cut = 0; cut <= stream.size(); ++cut) {
        FaxStream reader(48);
        QList<QByteArray> rows;
        int bands = reader.Feed(QByteArrayView(stream).first(cut), rows);
        bands += reader.Feed(QByteArrayView(stream).sliced(cut), rows);
        QCOMPARE(bands, 2);
        QCOMPARE(rows, one + one);
        QVERIFY(!reader.InBand());
        QCOMPARE(reader.Finish(rows), 0);
    }
    // Byte by byte, and bit 7 the top row.
    {
        FaxStream reader(48);
        QList<QByteArray> rows;
        for (char c : band)
            reader.Feed(QByteArrayView(&c, 1), rows);
        QCOMPARE(rows, one);
        for (int r = 0; r < 8; ++r)
            for (int x = 0; x < 8; ++x)
                QCOMPARE(Dot(rows.at(r), x), r == x);
    }
    // Wider than the picture: the columns beyond it are read and dropped,
    // and the next band is whole.
    {
        FaxStream reader(16);
        QList<QByteArray> rows;
        QCOMPARE(reader.Feed(Graphics(columns) + Graphics(columns.left(4)), rows), 2);
        QCOMPARE(rows, Expected(columns, 16) + Expected(columns.left(4), 16));
    }
    // Cut off in a band: nothing comes until the picture ends; then what
    // came of the band, white for the rest. The reader then starts afresh.
    {
        FaxStream reader(48);
        QList<QByteArray> rows;
        QCOMPARE(reader.Feed(band + Graphics(columns).left(4 + 25), rows), 1);
        QVERIFY(reader.InBand());
        QCOMPARE(reader.Finish(rows), 8);
        QCOMPARE(rows, one + Expected(columns.left(25), 48));
        rows.clear();
        QCOMPARE(reader.Finish(rows), 0);
        QCOMPARE(reader.Feed(QByteArray(30, 'x') + band, rows), 1); // bytes outside a band are passed over
        QCOMPARE(rows, one);
        // Cut in the count: no band came, none is made.
        QCOMPARE(reader.Feed(QByteArray("\x1BL\x28", 3), rows), 0);
        QCOMPARE(reader.Finish(rows), 0);
    }
}

void FaxStreamTest::pictureAndSettings() {
    // The picture: a dot a pixel, black on white, one bit, 120 by 72 an inch.
    FaxStream reader(960);
    QList<QByteArray> rows;
    QByteArray columns(960, '\0');
    columns[0] = char(0x81);
    columns[959] = 0x01;
    reader.Feed(Graphics(columns), rows);
    FaxPicture picture;
    picture.Start(QDateTime(QDate(2026, 12, 8), QTime(16, 30, 12), Qt::UTC));
    picture.Append(rows);
    const QImage image = picture.Image();
    QCOMPARE(image.size(), QSize(960, 8));
    QCOMPARE(image.format(), QImage::Format_Mono);
    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::black));
    QCOMPARE(image.pixelColor(0, 7), QColor(Qt::black));
    QCOMPARE(image.pixelColor(1, 0), QColor(Qt::white));
    QCOMPARE(image.pixelColor(959, 7), QColor(Qt::black));
    QCOMPARE(image.dotsPerMeterX(), 4724);
    QCOMPARE(image.dotsPerMeterY(), 2835);
    QCOMPARE(FaxPicture::FileName(picture.Started()), QStringLiteral("fax/2026-12-08_163012Z.png"));

    // The settings: defaults, values read, unfit values, other lines kept.
    using namespace ExtraSettings;
    QCOMPARE(FaxSettingsIn(""), FaxSettings());
    const FaxSettings fast{4, 6};
    QCOMPARE(FaxSettingsIn("FaxSpeed=4\nFaxAspect = 6\n"), fast);
    QCOMPARE(FaxSettingsIn("FaxSpeed=5\nFaxAspect=0\n"), FaxSettings());
    const QByteArray written = WithFaxSettings("EchoColour=#112233\r\nFaxSpeed=1\r\n", fast);
    QCOMPARE(written, QByteArray("EchoColour=#112233\r\nFaxSpeed=4\r\nFaxAspect=6\r\n"));
    QCOMPARE(EchoColourIn(written), QColor(0x11, 0x22, 0x33));
    QCOMPARE(fast.SpeedCommand() + fast.AspectCommand(), QByteArray("FS4AY6"));
}

QTEST_GUILESS_MAIN(FaxStreamTest)
#include "tst_faxstream.moc"
