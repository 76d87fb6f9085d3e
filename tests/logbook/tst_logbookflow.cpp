// One contact from start to end: text comes in on the line, the operator
// picks call, name and QTH from it, saves the entry, finds it in the viewer,
// corrects it and deletes it in the editor. "Halvuro.log" is checked at
// every step.
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "FormFixture.h"
#include "LogBookSupport.h"
#include "logbook/LogBookEditForm.h"
#include "logbook/LogBookInvulForm.h"
#include "logbook/LogBookShowForm.h"
#include "logbook/LogBookWidgets.h"

using namespace LogBookSupport;

namespace {
void Pick(THoofdForm& form, const QString& word) {
    const QString text = form.ReceiveWindow->toPlainText();
    const int at = text.indexOf(word);
    QVERIFY(at >= 0);
    QTextCursor c = form.ReceiveWindow->textCursor();
    c.setPosition(at);
    c.setPosition(at + word.size(), QTextCursor::KeepAnchor);
    form.ReceiveWindow->setTextCursor(c);
    form.ReceiveWindowDblClick();
}
void Click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(4, 4));
}
} // namespace

class LogBookFlowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void logOneContactFindCorrectAndDeleteIt();
};

void LogBookFlowTest::logOneContactFindCorrectAndDeleteIt() {
    FormFixture f;
    THoofdForm& form = StartWithLogBook(f, NumberedRecords(1));
    f.serial.FeedInput("\x01/cq cq de xx9ab xx9ab pse k\r\x17"
                       "\x01/name is Bob es qth Rome\r\x17");
    while (f.serial.BytesAvailable() > 0)
        form.GETV24Data();
    QVERIFY(form.ReceiveWindow->toPlainText().contains("qth Rome"));

    f.clock.SetNow(QDateTime(QDate(2026, 3, 5), QTime(9, 7, 0)));
    using Step = std::function<void(TLogBookInvulForm&)>;
    const auto entry = [&](const Step& step) {
        f.prompts.modalActions.enqueue(
            WhileShown([step](QDialog& d) { step(static_cast<TLogBookInvulForm&>(d)); }));
    };
    entry([](TLogBookInvulForm& e) {
        Click(e.CallLabel);
        Click(e.CancelKnop);
    });
    Pick(form, "xx9ab");
    entry([](TLogBookInvulForm& e) {
        Click(e.NameLabel);
        Click(e.CloseKnop);
    });
    Pick(form, "Bob");
    entry([](TLogBookInvulForm& e) {
        Click(e.QthLabel);
        QTest::keyClicks(e.InfoMemo, "first qso");
        Click(e.LogInvulSaveKnop);
    });
    Pick(form, "Rome");
    QCOMPARE(f.prompts.Calls("modal").size(), 3);
    const QByteArray logged =
        EntryRecord("XX9AB", "Bob", "Rome", "3/5/26 ", "9:07:00 AM ", "first qso");
    QCOMPARE(f.ReadFile("Halvuro.log"), NumberedRecords(1) + logged);

    // Found by its call.
    QStringList found;
    f.prompts.inputAnswers.enqueue(QString("xx9a"));
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog& d) {
        auto& v = static_cast<TLogBookShowForm&>(d);
        Click(v.SeekKnop);
        found = v.Logmemo->toPlainText().split('\n');
        Click(v.CloseKnop);
    }));
    form.MenuShowLogBookClick();
    QCOMPARE(found.size(), 2);
    QCOMPARE(found[1], QString("1     ") + "XX9AB       " + " " + QString("Bob").leftJustified(20) +
                           " " + QString("Rome").leftJustified(20) + "  " + "3/5/26 " + " " +
                           "9:07:00 AM " + " " + "first qso");

    // Corrected, then deleted.
    f.prompts.modalActions.enqueue(WhileShown([&](QDialog& d) {
        auto& e = static_cast<TLogBookEditForm&>(d);
        QCOMPARE(e.Recordnummer->text(), QString("1"));
        e.QthEdit->selectAll();
        QTest::keyClicks(e.QthEdit, "Roma Italy");
        Click(e.LogEditSaveKnop);
        QCOMPARE(f.ReadFile("Halvuro.log").mid(130),
                 EntryRecord("XX9AB", "Bob", "Roma Italy", "3/5/26 ", "9:07:00 AM ", "first qso"));
        Click(e.DeleteKnop);
        QCOMPARE(e.Recordnummer->text(), QString("0"));
        Click(e.CloseKnop);
    }));
    form.MenuEditLogBookClick();
    QCOMPARE(f.ReadFile("Halvuro.log"), NumberedRecords(1));
    QCOMPARE(form.st.LogBookRecordCount, 1);
    QCOMPARE(form.st.LogBookPosition, 1);
}

QTEST_MAIN(LogBookFlowTest)
#include "tst_logbookflow.moc"
