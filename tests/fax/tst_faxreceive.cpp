// The FAX mode in the main window on the in-memory line: the bytes that
// enter it, 0x3F frames into the picture (never into the receive window,
// a held-back receive window included), the line feed, DLE-escaped bytes
// and ESC in the data kept, a picture cut off by a silent line saved after
// a minute with what came, and leaving the mode saving the next one.
#include <QtTest>

#include "FormFixture.h"
#include "fax/FaxReception.h"
#include "fax/FaxWindow.h"
#include "host/Frames.h"
#include "shell/Widgets.h"

namespace {
QByteArray MonitorFrame(const QByteArray& payload) {
    return QByteArray("\x01\x3F") + Frames::Escape(payload) + "\x17";
}
QByteArray Band(const QByteArray& columns) {
    const int n = int(columns.size());
    return QByteArray("\x1B" "A\x08\x1BL", 5) + char(n & 0xFF) + char(n >> 8) + columns;
}
} // namespace

class FaxReceiveTest : public QObject {
    Q_OBJECT
private slots:
    void pictureFromFrames();
};

void FaxReceiveTest::pictureFromFrames() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    f.WriteFile("Dervalo-extra.ini", "FaxSpeed=3\r\nFaxAspect=4\r\n");
    THoofdForm& w = f.Create();
    QCOMPARE(w.TabBalk->tabText(w.TabBalk->indexOf(w.FaxPage)), QStringLiteral("FAX"));
    QCOMPARE(w.TabBalk->indexOf(w.FaxPage) + 1, w.TabBalk->indexOf(w.DumbPage));

    // Entering the mode: readied, PRFAX OFF, speed and rows kept, FAX.
    f.serial.ClearWritten();
    w.MenuFax->trigger();
    QCOMPARE(w.TabBalk->currentWidget(), w.FaxPage);
    QVERIFY(w.FaxModeOn());
    QVERIFY2(f.Written().endsWith("\x01OPFN\x17\x01OFS3\x17\x01OAY4\x17\x01OFA\x17"),
             f.Written().toHex(' ').constData());
    QVERIFY(f.Written().startsWith("\x01OPt\x17\x1B" "DD\r")); // readied as for every mode

    // A band whose data holds every byte value, in frames cut anywhere; a
    // text frame between them still goes to the receive window.
    QByteArray columns(960, '\0');
    for (int x = 0; x < 960; ++x)
        columns[x] = char(x & 0xFF);
    const QByteArray band = Band(columns);
    const QByteArray text = "\x01" "0fax text\r\x17";
    f.serial.FeedInput(MonitorFrame(band.left(100)) + text + MonitorFrame(band.mid(100, 500)));
    w.st.HoldReceive = true; // a held receive window holds no picture bytes
    w.ReadWaitingFrames();
    w.st.HoldReceive = false;
    f.serial.FeedInput(MonitorFrame(band.mid(600)) + MonitorFrame(Band(columns).left(300)));
    w.ReadWaitingFrames();
    FaxReception& fax = *w.Fax();
    QVERIFY(fax.receiving);
    QCOMPARE(fax.picture.RowCount(), 8);
    for (int x = 0; x < 960; ++x)
        for (int r = 0; r < 8; ++r)
            QCOMPARE(fax.picture.Black(x, r), bool((x & 0xFF) & (0x80 >> r)));
    QVERIFY(!w.ReceiveWindow->toPlainText().contains(QChar(0x1B)));
    QVERIFY(w.ReceiveWindow->toPlainText().contains("fax text")); // held back, then shown
    QCOMPARE(fax.window->Canvas->DrawnRows(), 13);

    // The line falls silent: after a minute the picture ends, saved with
    // the cut band as far as it came (293 columns of the second band).
    const QDateTime started = fax.picture.Started();
    f.clock.Delay(FaxReception::kSilenceEndMs - 1000);
    w.FaxSilenceCheck();
    QVERIFY(fax.receiving);
    f.clock.Delay(1000);
    w.FaxSilenceCheck();
    QVERIFY(!fax.receiving);
    const QString saved = f.Path(FaxPicture::FileName(started));
    QCOMPARE(fax.lastSavedPath, saved);
    QImage image(saved);
    QCOMPARE(image.size(), QSize(960, 16));
    QCOMPARE(image.pixelColor(3, 14), QColor(Qt::black));      // 0x03: rows 6 and 7
    QCOMPARE(image.pixelColor(3, 13), QColor(Qt::white));
    QCOMPARE(image.pixelColor(255, 8), QColor(Qt::black));     // 0xFF
    QCOMPARE(image.pixelColor(511, 0), QColor(Qt::black));
    QCOMPARE(image.pixelColor(292, 10), QColor(Qt::black));    // 0x24 = 00100100: row 2
    QCOMPARE(image.pixelColor(293, 10), QColor(Qt::white));    // 0x25 never came

    // Data after it starts the next picture; the mode's change saves it.
    f.clock.Delay(2000);
    f.serial.FeedInput(MonitorFrame(band));
    w.ReadWaitingFrames();
    QVERIFY(fax.receiving);
    const QDateTime second = fax.picture.Started();
    QVERIFY(second > started);
    w.MenuPactorClick();
    QVERIFY(!w.FaxModeOn());
    QCOMPARE(QImage(f.Path(FaxPicture::FileName(second))).size(), QSize(960, 8));
    // Out of the mode, 0x3F frames are text again.
    f.serial.FeedInput(QByteArray("\x01\x3Fmonitor\x17"));
    w.ReadWaitingFrames();
    QVERIFY(w.ReceiveWindow->toPlainText().contains("monitor"));
    QCOMPARE(fax.picture.RowCount(), 8);
}

QTEST_MAIN(FaxReceiveTest)
#include "tst_faxreceive.moc"
