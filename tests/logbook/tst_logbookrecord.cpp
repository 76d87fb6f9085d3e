// The 130-byte logbook record and the texts made of it, without widgets.
#include <QtTest>

#include "LogBookSupport.h"
#include "logbook/LogBookRecord.h"

using LogBookSupport::RawRecord;
using R = TLogBookRecord;

class LogBookRecordTest : public QObject {
    Q_OBJECT
private slots:
    void entryBytes();
    void throughTheCharacterTable();
    void damagedLengthReadAsTheFieldsRoom();
    void listLineAndSearch();
    void capitalsAndLocaleTexts();
};

void LogBookRecordTest::entryBytes() {
    R r;
    LogBookText::Fill(r, {"XX9AB", "Bob", "Rome", "3/5/26 ", "9:07:00 AM ", "tnx"});
    QCOMPARE(r.Bytes(), RawRecord("XX9AB" + QByteArray(7, ' '), "Bob" + QByteArray(17, ' '),
                                  "Rome" + QByteArray(16, ' '), "3/5/26 ", "9:07:00 AM ", "tnx"));
    // Cut to the room: a 25-character name to 20, a 50-character Info to
    // 40; a second line of the Info is not stored; a shorter text later
    // leaves no trace of the longer one.
    const QString info50 = QString("0123456789").repeated(5);
    LogBookText::Fill(
        r, {QString(25, 'C'), "Abcdefghijklmnopqrstuvwxy", "", "2026-03-05 Thu", "", info50});
    QCOMPARE(r.Text(R::Call), QString(20, 'C'));
    QCOMPARE(r.Text(R::Name), QString("Abcdefghijklmnopqrst"));
    QCOMPARE(r.Text(R::Date), QString("2026-03-05 T"));
    QCOMPARE(r.Text(R::Info), info50.left(40));
    LogBookText::Fill(r, {"", "", "", "", "", "first line\r\nsecond line"});
    QCOMPARE(r.Bytes().mid(89), LogBookSupport::Counted("first line", 40));
    // An all-empty entry.
    LogBookText::Fill(r, {});
    QCOMPARE(r.Bytes(), RawRecord(QByteArray(12, ' '), QByteArray(20, ' '), QByteArray(20, ' ')));
    QCOMPARE(R::WholeRecords(260), qint64(2));
    QCOMPARE(R::WholeRecords(300), qint64(2));
    QCOMPARE(R::WholeRecords(129), qint64(0));
}

void LogBookRecordTest::throughTheCharacterTable() {
    R r;
    r.SetText(R::Qth, QString::fromUtf8("Zürich €5"));
    QCOMPARE(r.Bytes().mid(42, 10), QByteArray("\x09Z\xFCrich \x80"
                                               "5"));
    QCOMPARE(R::FromBytes(r.Bytes()).Text(R::Qth), QString::fromUtf8("Zürich €5"));
    // A character the set lacks is stored as "?".
    r.SetText(R::Name, QString::fromUtf8("Ωmega"));
    QCOMPARE(r.Bytes().mid(21, 6), QByteArray("\x05?mega"));
}

void LogBookRecordTest::damagedLengthReadAsTheFieldsRoom() {
    QByteArray bytes = RawRecord("XX9AB", "Bob");
    bytes[0] = char(200);
    bytes[89] = char(255);
    const R r = R::FromBytes(bytes);
    QCOMPARE(r.Text(R::Call), QString("XX9AB") + QString(15, QChar(0)));
    QCOMPARE(r.Text(R::Name), QString("Bob"));
    QCOMPARE(r.Text(R::Info).size(), 40);
    // A piece shorter than a record reads as filled up with zeros.
    QCOMPARE(R::FromBytes("\x02"
                          "AB")
                 .Text(R::Call),
             QString("AB"));
}

void LogBookRecordTest::listLineAndSearch() {
    const QByteArray rec =
        LogBookSupport::EntryRecord("XX9AB", "Bob", "Rome", "3/5/26 ", "9:07:00 AM ", "tnx");
    QCOMPARE(LogBookText::ListLine(7, rec.constData()),
             QString("7    ") + " " + "XX9AB       " + " " + "Bob                 " + " " +
                 "Rome                " + "  " + "3/5/26 " + " " + "9:07:00 AM " + " " + "tnx");
    QVERIFY(LogBookText::ListLine(123456, rec.constData()).startsWith("123456 XX9AB "));
    // Control characters show as blanks, so each record keeps to one line.
    QCOMPARE(LogBookText::ListLine(1, RawRecord("A\r\nB", "x\ty").constData()),
             QString("1     A  B x y     "));
    // The search compares the start of the call exactly.
    QVERIFY(LogBookText::CallBeginsWith(rec.constData(), "XX9"));
    QVERIFY(!LogBookText::CallBeginsWith(RawRecord("xx9ab").constData(), "XX9"));
    QVERIFY(!LogBookText::CallBeginsWith(RawRecord("XX").constData(), "XX9"));
    QVERIFY(LogBookText::CallBeginsWith(RawRecord("xx").constData(), ""));
}

void LogBookRecordTest::capitalsAndLocaleTexts() {
    QCOMPARE(LogBookText::Capitals(QString::fromUtf8("xx9äbc")), QString::fromUtf8("XX9ÄBC"));
    // No capital in the set, or one of two letters: left as it is.
    QCOMPARE(LogBookText::Capitals(QString::fromUtf8("µß")), QString::fromUtf8("µß"));
    // The locale's formats, without the time zone the field has no room for.
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale nl(QLocale::Dutch, QLocale::Netherlands);
    QCOMPARE(LogBookText::ShortDate(us, QDate(2026, 3, 5)), QString("3/5/26"));
    QCOMPARE(LogBookText::ShortDate(nl, QDate(2026, 3, 5)), QString("05-03-2026"));
    QCOMPARE(LogBookText::LongTime(us, QTime(21, 7, 3)), QString("9:07:03 PM"));
    QCOMPARE(LogBookText::LongTime(nl, QTime(9, 7, 3)), QString("09:07:03"));
    QCOMPARE(LogBookText::WithOneBlankIfShort("3/5/26"), QString("3/5/26 "));
    QCOMPARE(LogBookText::WithOneBlankIfShort("10:00:00 PM!"), QString("10:00:00 PM!"));
}

QTEST_MAIN(LogBookRecordTest)
#include "tst_logbookrecord.moc"
