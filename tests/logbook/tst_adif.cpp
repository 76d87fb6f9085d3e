// The ADIF journal "Dervalo.adi" that every saved entry is appended to, and
// the export of the whole logbook from the viewer.
#include <QPushButton>
#include <QtTest>
#include <time.h>

#include "AdiReader.h"
#include "FormFixture.h"
#include "LogBookSupport.h"
#include "logbook/Adif.h"
#include "logbook/LogBookInvulForm.h"
#include "logbook/LogBookShowForm.h"
#include "logbook/LogBookWidgets.h"

using namespace LogBookSupport;

namespace {
const QByteArray kHeader = "Dervalo contacts, ADIF 3.1.4\r\n"
                           "<ADIF_VER:5>3.1.4\r\n"
                           "<PROGRAMID:7>Dervalo\r\n"
                           "<PROGRAMVERSION:4>3.01\r\n"
                           "<CREATED_TIMESTAMP:15>20260305 080700\r\n"
                           "<EOH>\r\n";

// Fills the entry window as the operator does: the call picked (date and
// time from the clock), the rest typed; then Save.
void SaveEntry(THoofdForm& form, const QString& call, const QString& name, const QString& qth,
               const QString& info) {
    TLogBookInvulForm& e = *form.LogBookInvulForm;
    form.st.PickedCall = call;
    e.NewPick();
    e.CallEditDblClick();
    e.NameEdit->setText(name);
    e.QthEdit->setText(qth);
    e.InfoMemo->setPlainText(info);
    e.LogInvulSaveKnopClick();
}
} // namespace

class AdifTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        // Central European time: UTC+1 in March, before the change to summer time.
        qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
        tzset();
        QCOMPARE(QDateTime(QDate(2026, 3, 5), QTime(9, 7)).toUTC().time(), QTime(8, 7));
    }
    void savedEntriesAreAppendedInUtc();
    void textOutsideAsciiIsWrittenWithTheClosestLetters();
    void exportReadsBackWholeAndCountsOddRecords();
    void journalFailureIsReportedOnceAndTheLogBookStillSaves();
};

void AdifTest::savedEntriesAreAppendedInUtc() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f);
    f.clock.SetNow(QDateTime(QDate(2026, 3, 5), QTime(9, 7, 0)));
    form.st.ModeName = "PACTOR";
    SaveEntry(form, "xx9ab", "Bob", "Rome", "tnx fer qso");
    QCOMPARE(f.ReadFile("Dervalo.adi"),
             kHeader + "<CALL:5>XX9AB<QSO_DATE:8>20260305<TIME_ON:6>080700<MODE:3>PAC"
                       "<NAME:3>Bob<QTH:4>Rome<COMMENT:11>tnx fer qso"
                       "<STATION_CALLSIGN:6>PA0ABC<EOR>\r\n");
    // The second entry goes behind the first, without a second header. Half
    // past midnight local is the day before in UTC; AMTOR FEC has its
    // submode; empty boxes give no field.
    f.clock.SetNow(QDateTime(QDate(2026, 3, 6), QTime(0, 30, 5)));
    form.st.ModeName = "AMTOR";
    form.st.LinkStateText = "FEC";
    SaveEntry(form, "ab1cd", "", "", "");
    // A time typed over by hand is read as the box shows it.
    form.st.ModeName = "DUMB";
    TLogBookInvulForm& e = *form.LogBookInvulForm;
    e.CallEdit->setText("ZZ1Z");
    e.DateEdit->setText("3/7/26 ");
    e.TimeEdit->setText("1:02:03 PM ");
    e.LogInvulSaveKnopClick();
    QCOMPARE(f.ReadFile("Dervalo.adi").mid(kHeader.size()).split('\n').mid(1),
             QByteArrayList({"<CALL:5>AB1CD<QSO_DATE:8>20260305<TIME_ON:6>233005<MODE:3>TOR"
                             "<SUBMODE:8>AMTORFEC<STATION_CALLSIGN:6>PA0ABC<EOR>\r",
                             "<CALL:4>ZZ1Z<QSO_DATE:8>20260307<TIME_ON:6>120203"
                             "<STATION_CALLSIGN:6>PA0ABC<EOR>\r",
                             ""}));
    QCOMPARE(form.st.LogBookRecordCount, 3);
}

void AdifTest::textOutsideAsciiIsWrittenWithTheClosestLetters() {
    Adif::Contact c;
    c.call = QString::fromUtf8("OZ1Ø");
    c.name = QString::fromUtf8("Søren Weiß");
    c.qth = QString::fromUtf8("Liège     ");
    c.info = QString::fromUtf8("73 \u20AC"); // the euro sign is 0x80
    c.mode = Adif::ModeOf("RTTY", "");
    QCOMPARE(Adif::Record(c), QByteArray("<CALL:4>OZ1O<MODE:4>RTTY<NAME:11>Soren Weiss"
                                         "<QTH:5>Liege<COMMENT:6>73 EUR<EOR>\r\n"));
}

void AdifTest::exportReadsBackWholeAndCountsOddRecords() {
    QByteArray damaged = EntryRecord("DL1ZZ", "Uwe", "Kiel", "3/5/26 ", "9:07:00 AM ");
    damaged[21] = char(60); // a name length beyond its room is read as 20
    const QByteArray logbook =
        EntryRecord("OZ1\xD8", "S\xF8ren", "Li\xE8ge", "12/31/25 ", "11:59:59 PM ", "tnx") +
        EntryRecord("G4ABC", "Ann", "York", "13/45/26 ", "9:07:00 AM ") + // no such date
        RawRecord("") +                                                   // empty
        EntryRecord("W1AW", "", "", "3/5/26 ", "garbage") + damaged +
        QByteArray(50, 'x'); // a piece of a record at the end does not count
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, logbook);
    const QString path = f.Path("export.adi");
    f.prompts.fileAnswers.enqueue(path);
    f.clock.SetNow(QDateTime(QDate(2026, 3, 5), QTime(9, 7, 0)));
    form.LogBookShowForm->ExportKnopClick();
    QCOMPARE(f.prompts.Boxes(),
             QStringList("Dervalo|Exported 4 contacts to " + path +
                         "; 2 without a readable date or time; 1 empty record left out."));

    const AdiFile adi = ReadAdi(f.ReadFile("export.adi"));
    QCOMPARE(adi.error, QByteArray());
    QCOMPARE(adi.header,
             QByteArrayList({"ADIF_VER=3.1.4", "PROGRAMID=Dervalo", "PROGRAMVERSION=3.01",
                             "CREATED_TIMESTAMP=20260305 080700"}));
    const QByteArray me = "STATION_CALLSIGN=PA0ABC";
    QCOMPARE(adi.records,
             QList<QByteArrayList>({{"CALL=OZ1O", "QSO_DATE=20251231", "TIME_ON=225959",
                                     "NAME=Soren", "QTH=Liege", "COMMENT=tnx", me},
                                    {"CALL=G4ABC", "NAME=Ann", "QTH=York", me},
                                    {"CALL=W1AW", me},
                                    {"CALL=DL1ZZ", "QSO_DATE=20260305", "TIME_ON=080700",
                                     "NAME=Uwe", "QTH=Kiel", me}}));
    // A cancelled dialog writes nothing; the logbook itself is never replaced.
    form.LogBookShowForm->ExportKnopClick();
    QCOMPARE(f.prompts.Boxes().size(), 1);
    f.prompts.fileAnswers.enqueue(f.Path("halvuro.LOG"));
    form.LogBookShowForm->ExportKnopClick();
    QCOMPARE(f.prompts.Boxes().size(), 2);
    QVERIFY(f.prompts.Boxes()[1].startsWith("Dervalo    Warning|Cannot write "));
    QCOMPARE(f.ReadFile("Halvuro.log"), logbook);
}

void AdifTest::journalFailureIsReportedOnceAndTheLogBookStillSaves() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f);
    QVERIFY(QDir(f.dir.path()).mkdir("Dervalo.adi")); // cannot be opened as a file
    SaveEntry(form, "xx9ab", "Bob", "Rome", "");
    SaveEntry(form, "xx9cd", "Tom", "Oslo", "");
    QCOMPARE(f.prompts.Boxes().size(), 1);
    QVERIFY2(f.prompts.Boxes()[0].startsWith("Dervalo    Warning|Cannot write Dervalo.adi: "),
             qPrintable(f.prompts.Boxes()[0]));
    QCOMPARE(form.st.LogBookRecordCount, 2);
    QCOMPARE(f.ReadFile("Halvuro.log").size(), 260);
    QVERIFY(!form.LogBookInvulForm->isVisible());
}

QTEST_MAIN(AdifTest)
#include "tst_adif.moc"
