// The logbook viewer: the whole list, the search by call, its window.
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "FormFixture.h"
#include "LogBookSupport.h"
#include "logbook/LogBookInvulForm.h"
#include "logbook/LogBookShowForm.h"

using namespace LogBookSupport;

namespace {
// The list as its lines.
QStringList Lines(const TLogBookShowForm& v) {
    return v.Logmemo->toPlainText().split('\n');
}
// The line of a record as the entry window writes it, put together by hand.
QString Line(const QString& number, const QString& call, const QString& name, const QString& qth) {
    return number.leftJustified(5) + " " + call.leftJustified(12) + " " + name.leftJustified(20) +
           " " + qth.leftJustified(20) + "  " + "5-3-26 " + " " + "9:07:00 " + " ";
}
// Opens the viewer and keeps the lines it shows.
QStringList Open(FormFixture& f, THoofdForm& form) {
    QStringList lines;
    f.prompts.modalActions.enqueue(
        WhileShown([&](QDialog& d) { lines = Lines(static_cast<TLogBookShowForm&>(d)); }));
    form.MenuShowLogBookClick();
    return lines;
}
} // namespace

class LogBookViewerTest : public QObject {
    Q_OBJECT
private slots:
    void emptyLogBookShowsOnlyTheEndLine();
    void listsEveryRecordInColumns();
    void openingTwiceListsOnceEachTime();
    void searchByTheStartOfTheCall();
    void emptySearchListsAllWithoutTheEndLine();
    void searchThatFindsNothing();
    void driveTheWindow();
    void damagedRecordsAreListedSafely();
    void readErrorLeavesTheListHidden();
};

void LogBookViewerTest::emptyLogBookShowsOnlyTheEndLine() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f);
    QCOMPARE(Open(f, form), QStringList({"", "End of LogBookFile"}));
    QCOMPARE(f.prompts.Calls("modal"), QStringList{"modal|LogBookShowForm"});
    QCOMPARE(form.st.LogBookPosition, 0);
}

void LogBookViewerTest::listsEveryRecordInColumns() {
    FormFixture f;
    QByteArray file = NumberedRecords(7);
    file += EntryRecord("XX9AB", "Bob", "Rome", "5-3-26 ", "9:07:00 ", "tnx qso");
    file += NumberedRecords(3).mid(130); // records 8 and 9
    THoofdForm& form = StartWithLogBook(f, file);
    const QStringList lines = Open(f, form);
    QCOMPARE(lines.size(), 10 + 2);
    QVERIFY(lines[7].startsWith(QString("7") + "    " + " " + "XX9AB"));
    QCOMPARE(lines[7], Line("7", "XX9AB", "Bob", "Rome") + "tnx qso");
    QCOMPARE(lines[0], Line("0", "XX9A0", "Name0", "Qth0"));
    QCOMPARE(lines[9], Line("9", "XX9A2", "Name2", "Qth2"));
    QCOMPARE(lines.mid(10), QStringList({"", "End of LogBookFile"}));
    QCOMPARE(form.st.LogBookPosition, 10);
    // The header stands above the columns, in the list's font.
    const TLogBookShowForm& v = *form.LogBookShowForm;
    QCOMPARE(v.Panel1->text(), QString("      Call         Name                 QTH                "
                                       "    Date     Time           Info"));
    QCOMPARE(v.Panel1->font(), v.Logmemo->font());
    const QFontMetrics metrics(v.Logmemo->font());
    QCOMPARE(metrics.horizontalAdvance("iiiii"), metrics.horizontalAdvance("WWWWW"));
    QCOMPARE(v.windowTitle(), QString("LogBook  Dervalo  "));
    QCOMPARE(v.Logmemo->lineWrapMode(), QPlainTextEdit::NoWrap);
    QVERIFY(v.Logmemo->isReadOnly());
}

void LogBookViewerTest::openingTwiceListsOnceEachTime() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(3));
    const QStringList first = Open(f, form);
    QCOMPARE(first.size(), 5);
    QCOMPARE(Open(f, form), first);
    // A record added meanwhile shows the next time.
    form.LogBookInvulForm->LogInvulSaveKnopClick();
    QCOMPARE(Open(f, form).size(), 6);
}

void LogBookViewerTest::searchByTheStartOfTheCall() {
    FormFixture f;
    QByteArray file = EntryRecord("XX9AB", "Bob", "Rome") + EntryRecord("xx9ab", "Ann", "Oslo") +
                      EntryRecord("PA3XX9", "Piet", "Ede") + EntryRecord("XX9ZZ", "Zoe", "Riga") +
                      EntryRecord("XX", "Xi", "Hue");
    THoofdForm& form = StartWithLogBook(f, file);
    TLogBookShowForm& v = *form.LogBookShowForm;
    v.ShowLogBook();
    form.st.LogBookPosition = 3;
    f.prompts.inputAnswers.enqueue(QString("xx9"));
    v.SeekKnopClick();
    QCOMPARE(f.prompts.Calls("input"), QStringList{"input|Dervalo|Type Call"});
    QCOMPARE(Lines(v),
             QStringList({Line("0", "XX9AB", "Bob", "Rome"), Line("3", "XX9ZZ", "Zoe", "Riga")}));
    QVERIFY(f.prompts.Boxes().isEmpty());
    QCOMPARE(form.st.LogBookPosition, 3);
    QVERIFY(!v.Logmemo->isHidden());
    // The blanks that fill the call up count as well.
    f.prompts.inputAnswers.enqueue(QString("XX "));
    v.SeekKnopClick();
    QCOMPARE(Lines(v), QStringList({Line("4", "XX", "Xi", "Hue")}));
}

void LogBookViewerTest::emptySearchListsAllWithoutTheEndLine() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(3));
    TLogBookShowForm& v = *form.LogBookShowForm;
    const QStringList all = {Line("0", "XX9A0", "Name0", "Qth0"),
                             Line("1", "XX9A1", "Name1", "Qth1"),
                             Line("2", "XX9A2", "Name2", "Qth2")};
    f.prompts.inputAnswers.enqueue(QString(""));
    v.SeekKnopClick();
    QCOMPARE(Lines(v), all);
    f.prompts.inputAnswers.enqueue(std::nullopt); // Cancel
    v.SeekKnopClick();
    QCOMPARE(Lines(v), all);
    QVERIFY(f.prompts.Boxes().isEmpty());
}

void LogBookViewerTest::searchThatFindsNothing() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(2));
    TLogBookShowForm& v = *form.LogBookShowForm;
    f.prompts.inputAnswers.enqueue(QString("dl1"));
    v.SeekKnopClick();
    QCOMPARE(f.prompts.Boxes(), QStringList{"Dervalo|This call NOT found"});
    QCOMPARE(Lines(v),
             QStringList({Line("0", "XX9A0", "Name0", "Qth0"), Line("1", "XX9A1", "Name1", "Qth1"),
                          "", "End of LogBookFile"}));
    QCOMPARE(form.st.LogBookPosition, 2);
    // In an empty logbook nothing is ever found.
    form.CutLogBookFile(0);
    f.prompts.inputAnswers.enqueue(QString(""));
    v.SeekKnopClick();
    QCOMPARE(f.prompts.Boxes().size(), 2);
    QCOMPARE(Lines(v), QStringList({"", "End of LogBookFile"}));
}

void LogBookViewerTest::driveTheWindow() {
    FormFixture f;
    THoofdForm& form =
        StartWithLogBook(f, NumberedRecords(2) + EntryRecord("DL1ZZ", "Uwe", "Kiel"));
    form.resize(900, 500);
    form.move(40, 60);
    QStringList found, all;
    bool closedByEscapeInList = false, closedByEscapeOnButton = false;
    int memoWidth = 0, top = 0;
    f.prompts.inputAnswers.enqueue(QString("dl"));
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog& d) {
        auto& v = static_cast<TLogBookShowForm&>(d);
        memoWidth = v.Logmemo->width();
        top = v.y();
        QTest::mouseClick(v.SeekKnop, Qt::LeftButton);
        found = Lines(v);
        QTest::mouseClick(v.LogShowAllKnop, Qt::LeftButton);
        all = Lines(v);
        v.Logmemo->setFocus();
        QTest::keyClick(v.Logmemo, Qt::Key_Escape);
        closedByEscapeInList = !v.isVisible();
        v.SeekKnop->setFocus();
        QTest::keyClick(v.SeekKnop, Qt::Key_Escape);
        closedByEscapeOnButton = !v.isVisible();
    }));
    form.MenuShowLogBookClick();
    QCOMPARE(memoWidth, 900 - 16 - 5);
    QCOMPARE(top, form.y());
    QCOMPARE(found, QStringList{Line("2", "DL1ZZ", "Uwe", "Kiel")});
    QCOMPARE(all.size(), 3 + 2);
    QVERIFY(!closedByEscapeInList);
    QVERIFY(closedByEscapeOnButton);
    // Close closes.
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog& d) {
        QTest::mouseClick(static_cast<TLogBookShowForm&>(d).CloseKnop, Qt::LeftButton);
        QVERIFY(!d.isVisible());
    }));
    form.MenuShowLogBookClick();
}

void LogBookViewerTest::damagedRecordsAreListedSafely() {
    FormFixture f;
    QByteArray bad = RawRecord("XX9AB", "Bob");
    bad[0] = char(200);   // more than the field holds
    bad[89] = char(0xFF); // the Info's length
    THoofdForm& form = StartWithLogBook(f, bad + QByteArray(130, '\xFF') + "tail");
    const QStringList lines = Open(f, form);
    QCOMPARE(lines.size(), 2 + 2);
    QVERIFY(lines[0].startsWith("0     XX9AB" + QString(15, ' ') + " Bob "));
    QCOMPARE(lines[1].size(), 6 + 20 + 1 + 20 + 1 + 20 + 2 + 12 + 1 + 12 + 1 + 40);
}

void LogBookViewerTest::readErrorLeavesTheListHidden() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(2));
    form.LogBookFile.close();
    bool hidden = false;
    f.prompts.modalActions.enqueue(WhileShown(
        [&](QDialog& d) { hidden = static_cast<TLogBookShowForm&>(d).Logmemo->isHidden(); }));
    form.MenuShowLogBookClick();
    QVERIFY(hidden);
    QCOMPARE(f.prompts.Boxes().size(), 1);
    QVERIFY(f.prompts.Boxes()[0].startsWith("Dervalo|Error reading file"));
    // Shown again once the file is back.
    form.OpenLogBookFile();
    QCOMPARE(Open(f, form).size(), 4);
}

QTEST_MAIN(LogBookViewerTest)
#include "tst_logbookviewer.moc"
