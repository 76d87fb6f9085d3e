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
QStringList Lines(const TLogBookShowForm& v) {
    return v.Logmemo->toPlainText().split('\n');
}
// The line of a record as the entry window writes it, put together by hand.
QString Line(const QString& number, const QString& call, const QString& name, const QString& qth) {
    return number.leftJustified(5) + " " + call.leftJustified(12) + " " + name.leftJustified(20) +
           " " + qth.leftJustified(20) + "  " + "5-3-26 " + " " + "9:07:00 " + " ";
}
const QStringList kEnd = {"", "End of LogBookFile"};
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
    void listsEveryRecordInColumns();
    void openingTwiceListsOnceEachTime();
    void searchByTheStartOfTheCall();
    void searchThatFindsNothing();
    void driveTheWindow();
    void readErrorLeavesTheListHidden();
};

void LogBookViewerTest::listsEveryRecordInColumns() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f);
    QCOMPARE(Open(f, form), kEnd);
    QCOMPARE(form.st.LogBookPosition, 0);

    f.WriteFile("Halvuro.log", NumberedRecords(7) + EntryRecord("XX9AB", "Bob", "Rome") +
                                   NumberedRecords(9).mid(8 * 130));
    form.OpenLogBookFile();
    const QStringList lines = Open(f, form);
    QCOMPARE(lines.size(), 9 + 2);
    QVERIFY(lines[7].startsWith(QString("7") + "    " + " " + "XX9AB"));
    QCOMPARE(lines[7], Line("7", "XX9AB", "Bob", "Rome"));
    QCOMPARE(lines[8], Line("8", "XX9A8", "Name8", "Qth8"));
    QCOMPARE(lines.mid(9), kEnd);
    QCOMPARE(form.st.LogBookPosition, 9);
    // The header stands above the columns, in the list's fixed-pitch font.
    const TLogBookShowForm& v = *form.LogBookShowForm;
    QCOMPARE(v.Panel1->text(), QString("      Call         Name                 QTH                "
                                       "    Date     Time           Info"));
    QCOMPARE(v.Panel1->font(), v.Logmemo->font());
    const QFontMetrics metrics(v.Logmemo->font());
    QCOMPARE(metrics.horizontalAdvance("iiiii"), metrics.horizontalAdvance("WWWWW"));
}

void LogBookViewerTest::openingTwiceListsOnceEachTime() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(3));
    const QStringList first = Open(f, form);
    QCOMPARE(first.size(), 3 + 2);
    QCOMPARE(Open(f, form), first);
    form.LogBookInvulForm->LogInvulSaveKnopClick();
    QCOMPARE(Open(f, form).size(), 4 + 2);
}

void LogBookViewerTest::searchByTheStartOfTheCall() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(
        f, EntryRecord("XX9AB", "Bob", "Rome") + EntryRecord("xx9ab", "Ann", "Oslo") +
               EntryRecord("PA3XX9", "Piet", "Ede") + EntryRecord("XX9ZZ", "Zoe", "Riga"));
    TLogBookShowForm& v = *form.LogBookShowForm;
    form.st.LogBookPosition = 3;
    f.prompts.inputAnswers.enqueue(QString("xx9"));
    v.SeekKnopClick();
    QCOMPARE(f.prompts.Calls("input"), QStringList{"input|Dervalo|Type Call"});
    QCOMPARE(Lines(v),
             QStringList({Line("0", "XX9AB", "Bob", "Rome"), Line("3", "XX9ZZ", "Zoe", "Riga")}));
    QCOMPARE(form.st.LogBookPosition, 3);
    // The empty text and Cancel list every record, without the end line.
    f.prompts.inputAnswers.enqueue(QString(""));
    v.SeekKnopClick();
    QCOMPARE(Lines(v).size(), 4);
    QCOMPARE(Lines(v)[1], Line("1", "xx9ab", "Ann", "Oslo"));
    f.prompts.inputAnswers.enqueue(std::nullopt);
    v.SeekKnopClick();
    QCOMPARE(Lines(v).size(), 4);
    QVERIFY(f.prompts.Boxes().isEmpty());
}

void LogBookViewerTest::searchThatFindsNothing() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(2));
    TLogBookShowForm& v = *form.LogBookShowForm;
    f.prompts.inputAnswers.enqueue(QString("dl1"));
    v.SeekKnopClick();
    QCOMPARE(f.prompts.Boxes(), QStringList{"Dervalo|This call NOT found"});
    QCOMPARE(Lines(v), QStringList({Line("0", "XX9A0", "Name0", "Qth0"),
                                    Line("1", "XX9A1", "Name1", "Qth1")}) +
                           kEnd);
}

void LogBookViewerTest::driveTheWindow() {
    FormFixture f;
    THoofdForm& form =
        StartWithLogBook(f, NumberedRecords(2) + EntryRecord("DL1ZZ", "Uwe", "Kiel"));
    form.resize(900, 500);
    form.move(40, 60);
    f.prompts.inputAnswers.enqueue(QString("dl"));
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog& d) {
        auto& v = static_cast<TLogBookShowForm&>(d);
        QCOMPARE(v.Logmemo->width(), 900 + THoofdForm::kFrameWidth - 16 - 5);
        QCOMPARE(v.y(), form.y());
        QTest::mouseClick(v.SeekKnop, Qt::LeftButton);
        QCOMPARE(Lines(v), QStringList{Line("2", "DL1ZZ", "Uwe", "Kiel")});
        QTest::mouseClick(v.LogShowAllKnop, Qt::LeftButton);
        QCOMPARE(Lines(v).size(), 3 + 2);
        // Escape closes while a button has the focus, not in the list.
        v.Logmemo->setFocus();
        QTest::keyClick(v.Logmemo, Qt::Key_Escape);
        QVERIFY(v.isVisible());
        v.SeekKnop->setFocus();
        QTest::keyClick(v.SeekKnop, Qt::Key_Escape);
        QVERIFY(!v.isVisible());
        v.show();
        QTest::mouseClick(v.CloseKnop, Qt::LeftButton);
        QVERIFY(!v.isVisible());
    }));
    form.MenuShowLogBookClick();
}

void LogBookViewerTest::readErrorLeavesTheListHidden() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(2));
    form.LogBookFile.close();
    f.prompts.modalActions.enqueue(WhileShown(
        [&](QDialog& d) { QVERIFY(static_cast<TLogBookShowForm&>(d).Logmemo->isHidden()); }));
    form.MenuShowLogBookClick();
    QCOMPARE(f.prompts.Boxes().size(), 1);
    QVERIFY(f.prompts.Boxes()[0].startsWith("Dervalo|Error reading file"));
    form.OpenLogBookFile();
    QCOMPARE(Open(f, form).size(), 2 + 2);
}

QTEST_MAIN(LogBookViewerTest)
#include "tst_logbookviewer.moc"
