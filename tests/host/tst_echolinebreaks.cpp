// The carriage returns a controller with EAS on sends but does not echo are
// put back into the echo where they fall, and never twice.
#include <QtTest>

#include "host/EchoLineBreaks.h"

using AirEcho::Air;

class EchoLineBreaksTest : public QObject {
    Q_OBJECT
private slots:
    void linesEndWhereTheyWereSent();
    void anEchoedCarriageReturnIsNotDoubled();
    void resetForgetsWhatWillNotComeBack();
};

void EchoLineBreaksTest::linesEndWhereTheyWereSent() {
    EchoLineBreaks b;
    // Typed key by key, then a file's lines; the echo comes a character a
    // frame. Each line ends right after its last character came back.
    for (const char c : QByteArray("ab\r"))
        b.Sent(QByteArray(1, c), Air::Pactor, true);
    b.Sent("cd\r\rx\r", Air::Pactor, true);
    QByteArray shown;
    for (const char c : QByteArray("abcdx"))
        shown += b.Echoed(QByteArray(1, c));
    QCOMPARE(shown, QByteArray("ab\rcd\r\rx\r"));
    // Baudot: what never goes on the air is not waited for; 0x04 neither.
    b.Sent("ok@*\r\x04", Air::Rtty, false);
    QCOMPARE(b.Echoed("OK"), QByteArray("OK\r"));
}

void EchoLineBreaksTest::anEchoedCarriageReturnIsNotDoubled() {
    // A unit with EAS off echoes the carriage return too; a line feed is
    // text like any other.
    EchoLineBreaks b;
    b.Sent("ab\rcd\n\r", Air::Amtor, false);
    QCOMPARE(b.Echoed("AB"), QByteArray("AB\r"));
    QCOMPARE(b.Echoed("\rCD\n\r"), QByteArray("CD\n\r"));
    // More back than was sent moves the count on: no break falls too early.
    QCOMPARE(b.Echoed("XY"), QByteArray("XY"));
    b.Sent("z\r", Air::Pactor, false);
    QCOMPARE(b.Echoed("z"), QByteArray("z\r"));
}

void EchoLineBreaksTest::resetForgetsWhatWillNotComeBack() {
    EchoLineBreaks b;
    b.Sent("long line\rnext\r", Air::Pactor, true);
    QCOMPARE(b.Echoed("long"), QByteArray("long"));
    b.Reset(); // the controller's buffer was cleared
    b.Sent("hi\r", Air::Pactor, true);
    QCOMPARE(b.Echoed("hi"), QByteArray("hi\r"));
}

QTEST_MAIN(EchoLineBreaksTest)
#include "tst_echolinebreaks.moc"
