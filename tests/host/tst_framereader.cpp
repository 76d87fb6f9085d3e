// The frame reader on its own: bytes in any cuts, whole frames out.
#include <QtTest>

#include "host/FrameReader.h"

class FrameReaderTest : public QObject {
    Q_OBJECT
private slots:
    void framesWhicheverWayTheLineCutsThem();
    void cutAndEndlessFrames();
};

namespace {
QList<QByteArray> Drain(FrameReader& r) {
    QList<QByteArray> out;
    while (r.HasFrame()) {
        const FrameReader::Frame f = r.Next();
        out << (QByteArray(1, char(f.control)) + f.payload + (f.complete ? "" : "~"));
    }
    return out;
}
} // namespace

void FrameReaderTest::framesWhicheverWayTheLineCutsThem() {
    // A DLE and its byte in two reads: an escaped 0x17 is data, an escaped
    // 0x01 begins nothing, an escaped DLE is one DLE; noise between frames
    // is skipped, and an end byte straight after the start is no frame.
    const QByteArray line("noise\x01\x17\x01"
                          "0A\x10\x17"
                          "B\x10\x01"
                          "C\x10\x10\x17\x17\x01OOP\x17",
                          25);
    const QList<QByteArray> whole{QByteArray("0A\x17" "B\x01" "C\x10", 7), "OOP"};
    for (qsizetype cut = 0; cut <= line.size(); ++cut) {
        FrameReader r;
        r.Take(line.left(cut));
        const bool inFrame = r.InFrame();
        r.Take(line.mid(cut));
        QCOMPARE(Drain(r), whole);
        QVERIFY(!r.InFrame());
        if (cut == 11) QVERIFY(inFrame); // right after the DLE before 0x17
    }
    // One byte per call.
    FrameReader r;
    for (const char c : line)
        r.Take(&c, 1);
    QCOMPARE(Drain(r), whole);
}

void FrameReaderTest::cutAndEndlessFrames() {
    FrameReader r;
    // A start byte no DLE makes data cuts the frame before it.
    r.Take("\x01/abc\x01/def\x17", 11);
    QCOMPARE(Drain(r), QList<QByteArray>({"/abc~", "/def"}));
    // A frame that never ends is handed out cut at its bound.
    r.Take(QByteArray("\x01/") + QByteArray(FrameReader::kMaxPayload + 5, 'x'));
    const QList<QByteArray> got = Drain(r);
    QCOMPARE(got.size(), 1);
    QCOMPARE(got[0].size(), FrameReader::kMaxPayload + 2);
    QVERIFY(!r.InFrame());
    // Reset forgets a frame begun and the frames not taken.
    r.Take("\x01/one\x17\x01/tw", 10);
    r.Reset();
    r.Take("o\x17\x01/three\x17", 10);
    QCOMPARE(Drain(r), QList<QByteArray>{"/three"});
}

QTEST_GUILESS_MAIN(FrameReaderTest)
#include "tst_framereader.moc"
