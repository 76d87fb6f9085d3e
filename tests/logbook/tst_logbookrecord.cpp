// The 130-byte logbook record and the texts made of it, without widgets.
#include <QtTest>

#include "LogBookSupport.h"
#include "host/CharTable.h"
#include "logbook/LogBookRecord.h"

using LogBookSupport::RawRecord;
using R = TLogBookRecord;

class LogBookRecordTest : public QObject {
    Q_OBJECT
private slots:
    void entryBytes();
    void emptyEntry();
    void cutsToTheFieldsRoom();
    void infoKeepsItsFirstLine();
    void decodesThroughTheCharacterTable();
    void damagedLengthReadAsTheFieldsRoom();
    void shortPieceIsZeroFilled();
    void wholeRecords();
    void listLine();
    void listLineKeepsToOneLine();
    void callSearch();
    void capitals();
    void editorBlankRules();
    void localeDateAndTime();
};

void LogBookRecordTest::entryBytes() {
    R r;
    LogBookText::Fill(r, {"XX9AB", "Bob", "Rome", "5-3-26 ", "9:07:00 ", "tnx qso"});
    QCOMPARE(r.Bytes(), RawRecord("XX9AB       ", "Bob                 ", "Rome                ",
                                  "5-3-26 ", "9:07:00 ", "tnx qso"));
    QCOMPARE(quint8(r.Bytes()[0]), quint8(12));
    QCOMPARE(r.Bytes().mid(1, 12), QByteArray("XX9AB       "));
    QCOMPARE(quint8(r.Bytes()[21]), quint8(20));
    QCOMPARE(r.Text(R::Name), QString("Bob                 "));
    // A call longer than 12 is not filled up.
    LogBookText::Fill(r, {"PA3ABCDEFGHIJ", "", "", "", "", ""});
    QCOMPARE(r.Text(R::Call), QString("PA3ABCDEFGHIJ"));
}

void LogBookRecordTest::emptyEntry() {
    R r;
    LogBookText::Fill(r, {});
    QCOMPARE(r.Bytes(), RawRecord(QByteArray(12, ' '), QByteArray(20, ' '), QByteArray(20, ' ')));
    r.ClearLengths();
    for (int f = 0; f < R::kFieldCount; ++f)
        QCOMPARE(r.Text(R::Field(f)), QString());
}

void LogBookRecordTest::cutsToTheFieldsRoom() {
    R r;
    const QString name25 = "Abcdefghijklmnopqrstuvwxy";
    const QString info50 = QString("0123456789").repeated(5);
    LogBookText::Fill(r, {QString(25, 'C'), name25, QString(30, 'q'), "2026-03-05 Thu",
                          "09:07:00.123 x", info50});
    QCOMPARE(r.Text(R::Call), QString(20, 'C'));
    QCOMPARE(r.Text(R::Name), name25.left(20));
    QCOMPARE(r.Text(R::Qth), QString(20, 'q'));
    QCOMPARE(r.Text(R::Date), QString("2026-03-05 T"));
    QCOMPARE(r.Text(R::Time), QString("09:07:00.123"));
    QCOMPARE(r.Text(R::Info), info50.left(40));
    QCOMPARE(quint8(r.Bytes()[89]), quint8(40));
    QCOMPARE(r.Bytes().size(), 130);
    // A shorter text later leaves no trace of the longer one.
    r.SetText(R::Info, "ok");
    QCOMPARE(r.Bytes().mid(89), LogBookSupport::Counted("ok", 40));
}

void LogBookRecordTest::infoKeepsItsFirstLine() {
    R r;
    LogBookText::Fill(r, {"", "", "", "", "", "first line\nsecond line"});
    QCOMPARE(r.Text(R::Info), QString("first line"));
    LogBookText::Fill(r, {"", "", "", "", "", "cr\r\nlf"});
    QCOMPARE(r.Text(R::Info), QString("cr"));
    LogBookText::Fill(r, {"", "", "", "", "", QString("para") + QChar::ParagraphSeparator + "x"});
    QCOMPARE(r.Text(R::Info), QString("para"));
    LogBookText::Fill(r, {"", "", "", "", "", "\nafter an empty line"});
    QCOMPARE(r.Text(R::Info), QString());
}

void LogBookRecordTest::decodesThroughTheCharacterTable() {
    R r;
    r.SetText(R::Qth, QString::fromUtf8("Zürich €5"));
    QCOMPARE(r.Bytes().mid(42, 10), QByteArray("\x09Z\xFCrich \x80"
                                               "5"));
    QCOMPARE(R::FromBytes(r.Bytes()).Text(R::Qth), QString::fromUtf8("Zürich €5"));
    // The unassigned bytes come back as themselves; a character the set
    // lacks is stored as "?".
    const R raw = R::FromBytes(RawRecord("\x81\x8D\x90"));
    QCOMPARE(raw.Text(R::Call), QString(QChar(0x81)) + QChar(0x8D) + QChar(0x90));
    r.SetText(R::Name, QString::fromUtf8("Ωmega"));
    QCOMPARE(r.Text(R::Name), QString("?mega"));
}

void LogBookRecordTest::damagedLengthReadAsTheFieldsRoom() {
    QByteArray bytes = RawRecord("XX9AB", "Bob");
    bytes[0] = char(200);
    bytes[21] = char(21);
    bytes[89] = char(255);
    const R r = R::FromBytes(bytes);
    QCOMPARE(r.Text(R::Call), QString("XX9AB") + QString(15, QChar(0)));
    QCOMPARE(r.Text(R::Call).size(), 20);
    QCOMPARE(r.Text(R::Name).size(), 20);
    QCOMPARE(r.Text(R::Info).size(), 40);
    QCOMPARE(r.Text(R::Qth), QString());
}

void LogBookRecordTest::shortPieceIsZeroFilled() {
    const R r = R::FromBytes(QByteArray("\x03"
                                        "AB",
                                        3));
    QCOMPARE(r.Bytes().size(), 130);
    QCOMPARE(r.Text(R::Call), QString("AB") + QChar(0));
    QCOMPARE(R::FromBytes(RawRecord("A") + "extra").Bytes(), RawRecord("A"));
}

void LogBookRecordTest::wholeRecords() {
    QCOMPARE(R::WholeRecords(0), qint64(0));
    QCOMPARE(R::WholeRecords(129), qint64(0));
    QCOMPARE(R::WholeRecords(130), qint64(1));
    QCOMPARE(R::WholeRecords(260), qint64(2));
    QCOMPARE(R::WholeRecords(300), qint64(2));
    QCOMPARE(R::WholeRecords(-1), qint64(0));
}

void LogBookRecordTest::listLine() {
    const QByteArray rec =
        LogBookSupport::EntryRecord("XX9AB", "Bob", "Rome", "5-3-26 ", "9:07:00 ", "tnx");
    QCOMPARE(LogBookText::ListLine(7, R::FromBytes(rec)), QString("7    "
                                                                  " "
                                                                  "XX9AB       "
                                                                  " "
                                                                  "Bob                 "
                                                                  " "
                                                                  "Rome                "
                                                                  "  "
                                                                  "5-3-26 "
                                                                  " "
                                                                  "9:07:00 "
                                                                  " "
                                                                  "tnx"));
    QVERIFY(LogBookText::ListLine(7, rec.constData()).startsWith("7     XX9AB"));
    QVERIFY(LogBookText::ListLine(12345, rec.constData()).startsWith("12345 XX9AB"));
    QVERIFY(LogBookText::ListLine(123456, rec.constData()).startsWith("123456 XX9AB"));
    // An empty record still has its separators.
    QCOMPARE(LogBookText::ListLine(0, R()), QString("0     "
                                                    "  "
                                                    "  "
                                                    "  "));
}

void LogBookRecordTest::listLineKeepsToOneLine() {
    const QByteArray rec = RawRecord("A\r\nB", "x\ty", QByteArray("z\0z", 3));
    QCOMPARE(LogBookText::ListLine(1, rec.constData()), QString("1     A  B x y z z    "));
}

void LogBookRecordTest::callSearch() {
    const QByteArray upper = RawRecord("XX9AB       ");
    const QByteArray lower = RawRecord("xx9ab       ");
    QVERIFY(LogBookText::CallBeginsWith(upper.constData(), "XX9"));
    QVERIFY(!LogBookText::CallBeginsWith(lower.constData(), "XX9"));
    QVERIFY(LogBookText::CallBeginsWith(lower.constData(), ""));
    QVERIFY(!LogBookText::CallBeginsWith(RawRecord("XX").constData(), "XX9"));
    QVERIFY(LogBookText::CallBeginsWith(upper.constData(), "XX9AB   "));
    QVERIFY(!LogBookText::CallBeginsWith(upper.constData(), "XX9AB        "));
}

void LogBookRecordTest::capitals() {
    QCOMPARE(LogBookText::Capitals("xx9abc123"), QString("XX9ABC123"));
    QCOMPARE(LogBookText::Capitals(QString::fromUtf8("öl")), QString::fromUtf8("ÖL"));
    // No capital in the set, or more than one character: left alone.
    QCOMPARE(LogBookText::Capitals(QString::fromUtf8("µß")), QString::fromUtf8("µß"));
    QCOMPARE(LogBookText::Capitals(QString::fromUtf8("ÿ")), QString::fromUtf8("Ÿ"));
}

void LogBookRecordTest::editorBlankRules() {
    QCOMPARE(LogBookText::WithoutBlanks("XX9 AB      "), QString("XX9AB"));
    QCOMPARE(LogBookText::WithoutTrailingBlanks("New York            "), QString("New York"));
    QCOMPARE(LogBookText::WithoutTrailingBlanks(" Ann  "), QString(" Ann"));
    QCOMPARE(LogBookText::WithoutTrailingBlanks("    "), QString());
    QCOMPARE(LogBookText::CutAndPad("Abc Def", 20, 20), QString("Abc Def") + QString(13, ' '));
}

void LogBookRecordTest::localeDateAndTime() {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale nl(QLocale::Dutch, QLocale::Netherlands);
    const QLocale de(QLocale::German, QLocale::Germany);
    const QDate date(2026, 3, 5);
    const QTime time(9, 7, 3);
    QCOMPARE(LogBookText::ShortDate(us, date), QString("3/5/26"));
    QCOMPARE(LogBookText::ShortDate(nl, date), QString("05-03-2026"));
    QCOMPARE(LogBookText::LongTime(us, time), QString("9:07:03 AM"));
    QCOMPARE(LogBookText::LongTime(nl, time), QString("09:07:03"));
    QCOMPARE(LogBookText::LongTime(de, QTime(21, 0, 0)), QString("21:00:00"));
    for (const QLocale& l : {us, nl, de, QLocale::c()}) {
        QVERIFY2(!LogBookText::LongTimeFormat(l).contains('t'), qPrintable(l.name()));
        QVERIFY(CharTable::AllHaveBytes(LogBookText::LongTime(l, time)));
    }
    QCOMPARE(LogBookText::WithOneBlankIfShort("3/5/26"), QString("3/5/26 "));
    QCOMPARE(LogBookText::WithOneBlankIfShort("10/12/2026 x"), QString("10/12/2026 x"));
}

QTEST_MAIN(LogBookRecordTest)
#include "tst_logbookrecord.moc"
