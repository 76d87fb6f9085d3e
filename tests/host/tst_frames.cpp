// The pure pieces of the HOST link: frames, the clock text, the kept
// characters, the other station's call, and the decoding of status replies.
#include <QtTest>

#include "host/Frames.h"
#include "host/StatusDecode.h"

class FramesTest : public QObject {
    Q_OBJECT
private slots:
    void frames();
    void clockText_data();
    void clockText();
    void characterSets();
    void hisCall_data();
    void hisCall();
    void statusSequences();
    void transmitMarkAndFec();
    void rttyMark();
    void unlistedCodeAndShortReplies();
};

void FramesTest::frames() {
    QCOMPARE(Frames::CommandFrame("OP"), QByteArray("\x01OOP\x17"));
    QCOMPARE(Frames::CommandFrame("HON"), QByteArray("\x01OHON\x17"));
    QCOMPARE(Frames::DataFrame(""), QByteArray("\x01\x20\x17", 3));
    // The frame bytes inside a payload go behind a DLE.
    QCOMPARE(Frames::DataFrame(QByteArray("\x01\x10\x17", 3)),
             QByteArray("\x01\x20\x10\x01\x10\x10\x10\x17\x17", 9));
}

void FramesTest::clockText_data() {
    QTest::addColumn<QDateTime>("at");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("5 March 2026 09:07")
        << QDateTime(QDate(2026, 3, 5), QTime(9, 7, 59)) << QByteArray("2603050907");
    QTest::newRow("28 December 2026 14:30")
        << QDateTime(QDate(2026, 12, 28), QTime(14, 30)) << QByteArray("2612281430");
    QTest::newRow("midnight 1999")
        << QDateTime(QDate(1999, 1, 1), QTime(0, 0)) << QByteArray("9901010000");
}

void FramesTest::clockText() {
    QFETCH(QDateTime, at);
    QFETCH(QByteArray, text);
    QCOMPARE(Frames::ClockText(at), text);
}

void FramesTest::characterSets() {
    QString kept;
    QString shown;
    QString held;
    QString dumb;
    for (int c = 0; c < 256; ++c) {
        if (Frames::IsKept(quint8(c))) kept += QChar(c);
        if (!Frames::IsShown(quint8(c))) shown += QString::number(c) + ' ';
        if (!Frames::IsHeld(quint8(c))) held += QString::number(c) + ' ';
        if (Frames::IsDumbPassed(quint8(c)) && c < 32) dumb += QString::number(c) + ' ';
    }
    QCOMPARE(kept, QString(" -0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    QVERIFY(shown.startsWith("0 1 2 3 4 5 6 7 8 9 11 12 14 "));
    QVERIFY(shown.endsWith("31 255 "));
    QCOMPARE(held, QString("0 1 2 3 4 5 6 7 9 11 12 14 15 16 17 18 19 20 21 22 23 24 25 26 27 "
                           "28 29 30 31 "));
    QCOMPARE(dumb, QString("9 10 11 12 13 "));
}

void FramesTest::hisCall_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("call");
    QTest::newRow("connected") << " CONNECTED to AB1CD"
                               << "AB1CD";
    QTest::newRow("trailing text") << " CONNECTED to AB1CD more text"
                                   << "AB1CD mo";
    QTest::newRow("ends with to") << " CONNECTED to"
                                  << "";
    QTest::newRow("no to") << " DISCONNECTED"
                           << "OLD";
    QTest::newRow("first to") << "tomorrow to X"
                              << "orrow to";
}

void FramesTest::hisCall() {
    QFETCH(QString, message);
    QFETCH(QString, call);
    QCOMPARE(Frames::HisCallFromLinkMessage(message, "OLD"), call);
}

void FramesTest::statusSequences() {
    LinkStatus st;
    // "OP", "PN", "3": PACTOR listen, idle.
    st.StatusReplyText = "OPPN3---0";
    QCOMPARE(StatusDecode::MakeMode(st), 0);
    QCOMPARE(st.ModeName, QString("PACTOR"));
    QCOMPARE(st.LinkStateText, QString("LISTEN"));
    QCOMPARE(st.LinkPhaseText, QString("IDLE"));
    QCOMPARE(StatusDecode::ReceiveStatusText(st), QString("IDLE"));

    // A call: phasing, then idle makes the link.
    st.StatusReplyText = "OPPG1---0";
    QCOMPARE(StatusDecode::MakeMode(st), 0);
    QCOMPARE(st.LinkStateText, QString("CALLING"));
    QCOMPARE(st.LinkPhaseText, QString("PHASING"));
    QVERIFY(!st.IsConnected);
    QCOMPARE(StatusDecode::ReceiveStatusText(st), QString());
    st.StatusReplyText = "OPPG3S-0";
    QCOMPARE(StatusDecode::MakeMode(st), 1);
    QVERIFY(st.IsConnected);
    QCOMPARE(st.LinkStateText, QString("CONNECT"));
    QVERIFY(st.Transmitting);
    // While connected "PG" shows CONNECT with a pause.
    st.StatusReplyText = "OPPG4--1";
    QCOMPARE(StatusDecode::MakeMode(st), 1);
    QCOMPARE(st.LinkStateText, QString("CONNECT"));
    st.CompressionText = StatusDecode::Compression(st.StatusReplyText);
    QCOMPARE(StatusDecode::ReceiveStatusText(st), QString("TRAFFIC Huff"));
    QCOMPARE(st.LinkPhaseText, QString("TRAFFIC Huff"));
    // Phase 0 ends the link whatever the code.
    st.StatusReplyText = "OPPG0---0";
    StatusDecode::MakeMode(st);
    QVERIFY(!st.IsConnected);
    QCOMPARE(st.LinkStateText, QString("STANDBY"));
    QCOMPARE(st.LinkPhaseText, QString("      "));
}

void FramesTest::transmitMarkAndFec() {
    LinkStatus st;
    st.StatusReplyText = "OPFE4S-0";
    StatusDecode::MakeMode(st);
    QCOMPARE(st.LinkStateText, QString("R")); // the mark of the previous reply counts
    QVERIFY(st.Transmitting);
    StatusDecode::MakeMode(st);
    QCOMPARE(st.LinkStateText, QString("FEC"));
    QCOMPARE(st.ModeName, QString("AMTOR"));
}

void FramesTest::rttyMark() {
    LinkStatus st;
    st.StatusReplyText = "OPBAS---";
    StatusDecode::MakeMode(st);
    QCOMPARE(st.ModeName, QString("RTTY"));
    QCOMPARE(st.LinkStateText, QString("STANDBY"));
    QVERIFY(st.Transmitting);
    StatusDecode::MakeMode(st);
    QCOMPARE(st.LinkStateText, QString());
    // A mark at position 6 means nothing in RTTY.
    st.StatusReplyText = "OPBA-S--";
    StatusDecode::MakeMode(st);
    QVERIFY(!st.Transmitting);
}

void FramesTest::unlistedCodeAndShortReplies() {
    LinkStatus st;
    st.StatusReplyText = "OPPN3---";
    StatusDecode::MakeMode(st);
    st.StatusReplyText = "OPXX2---";
    StatusDecode::MakeMode(st);
    QCOMPARE(st.ModeName, QString());
    QCOMPARE(st.LinkStateText, QString("LISTEN"));
    QCOMPARE(st.LinkPhaseText, QString("OVER"));
    QCOMPARE(StatusDecode::Compression("OPPN"), QString("Ascii"));
    // "AC" while not connected calls; no pause.
    st.StatusReplyText = "OPAC1---";
    QCOMPARE(StatusDecode::MakeMode(st), 0);
    QCOMPARE(st.LinkStateText, QString("CALLING"));
}

QTEST_MAIN(FramesTest)
#include "tst_frames.moc"
