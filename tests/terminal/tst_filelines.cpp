// The lines of a text file as bytes: every kind of line end, a last line
// without one, binary content, lines longer than a read block, a device that
// fails, and lines handed out in bounded pieces, an endless one included.
#include <QBuffer>
#include <QtTest>

#include "Trickle.h"
#include "terminal/FileLines.h"

namespace {
QList<QByteArray> AllLines(const QByteArray& content) {
    QBuffer buffer;
    buffer.setData(content);
    buffer.open(QIODevice::ReadOnly);
    FileLines lines(buffer);
    QList<QByteArray> out;
    while (!lines.AtEnd())
        out << lines.Next();
    return out;
}

// A device without end and without a line end, like /dev/zero.
class Endless : public QIODevice {
public:
    Endless() { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* out, qint64 max) override {
        memset(out, 'z', size_t(max));
        return max;
    }
    qint64 writeData(const char*, qint64) override { return -1; }
};

using Pieces = QList<QPair<QByteArray, bool>>;
Pieces AllPieces(QIODevice& device, qsizetype most) {
    FileLines lines(device);
    Pieces out;
    while (!lines.AtEnd()) {
        const FileLines::Piece p = lines.NextPiece(most);
        out << qMakePair(p.bytes, p.endsLine);
    }
    return out;
}
} // namespace

class FileLinesTest : public QObject {
    Q_OBJECT
private slots:
    void lineEnds_data();
    void lineEnds();
    void binaryBytesComeThrough();
    void lineLongerThanABlock();
    void crLfSplitAcrossReads();
    void readFailureEndsAndIsReported();
    void piecesOfALine();
    void endlessLineStaysBounded();
};

void FileLinesTest::lineEnds_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QList<QByteArray>>("lines");
    using L = QList<QByteArray>;
    QTest::newRow("empty file") << QByteArray() << L{};
    QTest::newRow("CR LF") << QByteArray("AB\r\nC\r\n") << L{"AB", "C"};
    QTest::newRow("LF") << QByteArray("AB\nC\n") << L{"AB", "C"};
    QTest::newRow("CR") << QByteArray("AB\rC\r") << L{"AB", "C"};
    QTest::newRow("last line without end") << QByteArray("AB\r\nC") << L{"AB", "C"};
    QTest::newRow("only a line end") << QByteArray("\r\n") << L{""};
    QTest::newRow("empty lines kept") << QByteArray("A\r\n\r\n\nB") << L{"A", "", "", "B"};
    QTest::newRow("LF CR is two ends") << QByteArray("A\n\rB") << L{"A", "", "B"};
    QTest::newRow("CR CR LF") << QByteArray("A\r\r\nB") << L{"A", "", "B"};
    QTest::newRow("mixed") << QByteArray("1\r2\n3\r\n4") << L{"1", "2", "3", "4"};
    QTest::newRow("blanks and tabs kept") << QByteArray(" a\t \r\n") << L{" a\t "};
}

void FileLinesTest::lineEnds() {
    QFETCH(QByteArray, content);
    QFETCH(QList<QByteArray>, lines);
    QCOMPARE(AllLines(content), lines);
}

void FileLinesTest::binaryBytesComeThrough() {
    // Every byte but the two line-end bytes, in one line; NUL, 0x1A (which
    // old text readers took for the end) and 0xFF among them.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n') all.append(char(b));
    const QList<QByteArray> got = AllLines(all + "\r\n" + all);
    QCOMPARE(got.size(), 2);
    QCOMPARE(got[0], all);
    QCOMPARE(got[1], all);
}

void FileLinesTest::lineLongerThanABlock() {
    const QByteArray longLine(300 * 1024 + 7, 'x');
    const QList<QByteArray> got = AllLines("a\r\n" + longLine + "\r\nb");
    QCOMPARE(got.size(), 3);
    QCOMPARE(got[0], QByteArray("a"));
    QCOMPARE(got[1].size(), longLine.size());
    QCOMPARE(got[1], longLine);
    QCOMPARE(got[2], QByteArray("b"));
}

void FileLinesTest::crLfSplitAcrossReads() {
    // A device that gives one byte at a time puts every CR at the end of what
    // has been read: the LF behind it still belongs to the same line end.
    Trickle device("AB\r\nC\rD\r\n\r\nE\r", 1);
    FileLines lines(device);
    QList<QByteArray> got;
    while (!lines.AtEnd())
        got << lines.Next();
    QCOMPARE(got, (QList<QByteArray>{"AB", "C", "D", "", "E"}));
    QVERIFY(!lines.Failed());
}

void FileLinesTest::readFailureEndsAndIsReported() {
    Trickle device("one\r\ntwo\r\nthree", 4, 6);
    FileLines lines(device);
    QList<QByteArray> got;
    while (!lines.AtEnd())
        got << lines.Next();
    QCOMPARE(got.first(), QByteArray("one"));
    QVERIFY(lines.Failed());
    QVERIFY(lines.AtEnd());
}

void FileLinesTest::piecesOfALine() {
    // Ten bytes a piece: a longer line in pieces with its end after the last
    // one, a line of exactly ten in one piece, the last line without an end
    // ending all the same; also when the device gives a byte at a time.
    const QByteArray content("0123456789abcdef\r\n0123456789\r\n\r\nxy\rzzzzzzzzzzz");
    const Pieces expected{
        {"0123456789", false}, {"abcdef", true},      {"0123456789", true}, {"", true},
        {"xy", true},          {"zzzzzzzzzz", false}, {"z", true}};
    QBuffer buffer;
    buffer.setData(content);
    buffer.open(QIODevice::ReadOnly);
    QCOMPARE(AllPieces(buffer, 10), expected);
    Trickle trickle(content, 1);
    QCOMPARE(AllPieces(trickle, 10), expected);
}

void FileLinesTest::endlessLineStaysBounded() {
    // 8 MB of one line: every piece full, never the line end, and the reader
    // never holds more than a block and a piece.
    Endless device;
    FileLines lines(device);
    qsizetype most = 0;
    for (int i = 0; i < 8 * 4096; ++i) {
        const FileLines::Piece p = lines.NextPiece(256);
        QCOMPARE(p.bytes.size(), 256);
        QVERIFY(!p.endsLine);
        most = qMax(most, lines.BufferSize());
    }
    QVERIFY2(most <= 64 * 1024 + 256 + 2, qPrintable(QString::number(most)));
}

QTEST_APPLESS_MAIN(FileLinesTest)
#include "tst_filelines.moc"
