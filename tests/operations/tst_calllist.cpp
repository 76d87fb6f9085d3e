// The call list as read from its file.
#include <QBuffer>
#include <QtTest>

#include "operations/CallList.h"

class CallListTest : public QObject {
    Q_OBJECT
private slots:
    void reading_data();
    void reading();
    void calledWithEightCharacters();
};

void CallListTest::reading_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("CR LF, LF, CR alone, no last end")
        << QByteArray("A1\r\nB2\nC3\rD4") << QStringList{"A1", "B2", "C3", "D4"};
    // Lines are taken as they are; only empty lines are skipped.
    QTest::newRow("blank lines, no trimming")
        << QByteArray("\r\n\r\n PA3XYZ \r\n\n   \r\rDL1ABC\t\r\n\r\n")
        << QStringList{" PA3XYZ ", "   ", "DL1ABC\t"};
    QTest::newRow("only line ends") << QByteArray("\r\n\n\r\r\n") << QStringList{};
    // 11 characters are kept; the CR of an 11-character line is no 12th.
    QTest::newRow("long lines") << QByteArray("PA3XYZ/MM/QRP\r\nABCDEFGHIJK\r\n") +
                                       QByteArray(1 << 20, 'L') + "\r\nG4ABC"
                                << QStringList{"PA3XYZ/MM/Q", "ABCDEFGHIJK", QString(11, 'L'),
                                               "G4ABC"};
    QStringList ten;
    QByteArray twelve;
    for (int i = 1; i <= 12; ++i) {
        twelve += "CALL" + QByteArray::number(i) + "\r\n\r\n";
        if (i <= 10) ten << QStringLiteral("CALL%1").arg(i);
    }
    QTest::newRow("ten at most") << twelve << ten;
    // One character per byte through the character table; junk stays junk.
    QTest::newRow("bytes") << QByteArray("\x80\xE9\x01\x00\x17Z\r\n", 8)
                           << QStringList{QString(QChar(0x20AC)) + QChar(0xE9) + QChar(1) +
                                          QChar(0) + QChar(0x17) + QChar('Z')};
}

void CallListTest::reading() {
    QFETCH(QByteArray, content);
    QFETCH(QStringList, entries);
    QBuffer file;
    file.setData(content);
    file.open(QIODevice::ReadOnly);
    CallList list;
    list.Read(file);
    QStringList got;
    for (int n = 1; n <= list.Count(); ++n)
        got << list.Entry(n);
    QCOMPARE(got, entries);
    // Lines after the tenth call are not even read.
    if (entries.size() == CallList::kMaxEntries) QVERIFY(file.pos() <= content.indexOf("CALL11"));
}

void CallListTest::calledWithEightCharacters() {
    QBuffer file;
    file.setData("PA3XYZ/MM/QRP\r\nON4\r\n");
    file.open(QIODevice::ReadOnly);
    CallList list;
    list.Read(file);
    QCOMPARE(list.Call(1), QString("PA3XYZ/M"));
    QCOMPARE(list.Call(2), QString("ON4"));
    // Entry 0, which no selection stands for, and entries beyond are empty.
    QCOMPARE(list.Call(0), QString());
    QCOMPARE(list.Entry(3), QString());
}

QTEST_MAIN(CallListTest)
#include "tst_calllist.moc"
