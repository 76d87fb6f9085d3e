// The call list as read from its file.
#include <QBuffer>
#include <QtTest>

#include "operations/CallList.h"

namespace {
CallList Read(const QByteArray& content) {
    QBuffer file;
    file.setData(content);
    file.open(QIODevice::ReadOnly);
    CallList list;
    list.Read(file);
    return list;
}
QStringList Entries(const CallList& list) {
    QStringList out;
    for (int n = 1; n <= list.Count(); ++n)
        out << list.Entry(n);
    return out;
}
} // namespace

class CallListTest : public QObject {
    Q_OBJECT
private slots:
    void linesAndLineEnds_data();
    void linesAndLineEnds();
    void cutsToElevenListedAndEightCalled();
    void tenAtMostAndReadingStops();
    void entryZeroAndBeyondAreEmpty();
    void readingAgainStartsAfresh();
    void bytesBecomeCharactersOfTheTable();
};

void CallListTest::linesAndLineEnds_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("CR LF") << QByteArray("PA3XYZ\r\nDL1ABC\r\n") << QStringList{"PA3XYZ", "DL1ABC"};
    QTest::newRow("LF") << QByteArray("PA3XYZ\nDL1ABC\n") << QStringList{"PA3XYZ", "DL1ABC"};
    QTest::newRow("CR alone") << QByteArray("PA3XYZ\rDL1ABC\r") << QStringList{"PA3XYZ", "DL1ABC"};
    QTest::newRow("no end on the last line")
        << QByteArray("PA3XYZ\r\nDL1ABC") << QStringList{"PA3XYZ", "DL1ABC"};
    QTest::newRow("blank lines between and around")
        << QByteArray("\r\n\r\nPA3XYZ\r\n\r\n\nDL1ABC\r\n\r\nG4ABC\r\n\r\n")
        << QStringList{"PA3XYZ", "DL1ABC", "G4ABC"};
    // Lines are taken as they are: blanks are part of the entry.
    QTest::newRow("no trimming") << QByteArray(" PA3XYZ \r\n   \r\nDL1ABC\t\r\n")
                                 << QStringList{" PA3XYZ ", "   ", "DL1ABC\t"};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("only line ends") << QByteArray("\r\n\n\r\r\n") << QStringList{};
    // An 11-character line: the carriage return of its end is no twelfth
    // character.
    QTest::newRow("eleven and CR LF")
        << QByteArray("ABCDEFGHIJK\r\nX\r\n") << QStringList{"ABCDEFGHIJK", "X"};
}

void CallListTest::linesAndLineEnds() {
    QFETCH(QByteArray, content);
    QFETCH(QStringList, entries);
    const CallList list = Read(content);
    QCOMPARE(Entries(list), entries);
    QCOMPARE(list.Count(), entries.size());
}

void CallListTest::cutsToElevenListedAndEightCalled() {
    const CallList list =
        Read("PA3XYZ/MM/QRP\r\nON4\r\n" + QByteArray(1 << 20, 'L') + "\r\nG4ABC\r\n");
    QCOMPARE(list.Entry(1), QString("PA3XYZ/MM/Q"));
    QCOMPARE(list.Call(1), QString("PA3XYZ/M"));
    QCOMPARE(list.Call(2), QString("ON4"));
    QCOMPARE(list.Entry(3), QString(11, 'L'));
    // After a very long line the next line is read as a line of its own.
    QCOMPARE(list.Entry(4), QString("G4ABC"));
    QCOMPARE(list.Count(), 4);
}

void CallListTest::tenAtMostAndReadingStops() {
    QByteArray content;
    for (int i = 1; i <= 12; ++i)
        content += "CALL" + QByteArray::number(i) + "\r\n\r\n";
    QBuffer file;
    file.setData(content);
    file.open(QIODevice::ReadOnly);
    CallList list;
    list.Read(file);
    QCOMPARE(list.Count(), CallList::kMaxEntries);
    QCOMPARE(list.Entry(10), QString("CALL10"));
    QCOMPARE(list.Entry(11), QString());
    // The lines after the tenth call are not read at all.
    QVERIFY(file.pos() <= content.indexOf("CALL11"));
}

void CallListTest::entryZeroAndBeyondAreEmpty() {
    const CallList list = Read("PA3XYZ\r\n");
    QCOMPARE(list.Entry(0), QString());
    QCOMPARE(list.Call(0), QString());
    QCOMPARE(list.Entry(2), QString());
    QCOMPARE(list.Entry(-1), QString());
}

void CallListTest::readingAgainStartsAfresh() {
    QBuffer first;
    first.setData("A1\r\nB2\r\nC3\r\n");
    first.open(QIODevice::ReadOnly);
    QBuffer second;
    second.setData("D4\r\n");
    second.open(QIODevice::ReadOnly);
    CallList list;
    list.Read(first);
    list.Read(second);
    QCOMPARE(Entries(list), QStringList{"D4"});
}

void CallListTest::bytesBecomeCharactersOfTheTable() {
    // One character per byte, through the program's character table; a
    // binary file gives junk entries but nothing worse.
    const CallList list = Read(QByteArray("\x80\xE9\x01\x00\x17Z", 6) + "\r\n" +
                               QByteArray("\xFF\xFE\x00\x00\x00", 5));
    QCOMPARE(list.Count(), 2);
    QCOMPARE(list.Entry(1),
             QString(QChar(0x20AC)) + QChar(0xE9) + QChar(1) + QChar(0) + QChar(0x17) + QChar('Z'));
    QCOMPARE(list.Entry(2).size(), 5);
}

QTEST_MAIN(CallListTest)
#include "tst_calllist.moc"
