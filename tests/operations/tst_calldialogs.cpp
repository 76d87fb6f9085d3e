// The three call dialogs as real widgets: typed into, their buttons
// pressed, their texts kept between uses.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "FormFixture.h"
#include "LinkScript.h"
#include "link/ComBaudConfig.h"
#include "operations/CallEdit.h"
#include "operations/ConnectForm.h"
#include "operations/ListConnectForm.h"
#include "operations/YourcallForm.h"

using namespace LinkScript;

class CallDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void createdOnceInTheirOrder();
    void ownCallTypedAndOk();
    void callTypedThenEscape();
    void listDoubleClickAndOkButton();
    void editBoxesForceCapitals();
};

void CallDialogsTest::createdOnceInTheirOrder() {
    FormFixture f;
    THoofdForm& form = f.Create();
    const QList<QDialog*> dialogs = form.findChildren<QDialog*>(Qt::FindDirectChildrenOnly);
    QVERIFY(dialogs.size() >= 4);
    QCOMPARE(dialogs.at(0), form.YourcallForm);
    QCOMPARE(dialogs.at(1), form.ConnectForm);
    QCOMPARE(dialogs.at(2), form.ListConnectForm);
    QCOMPARE(dialogs.at(3), form.ComBaudConfig);
    for (QDialog* d : dialogs.mid(0, 3)) {
        QCOMPARE(d->windowTitle(), QString("Dervalo"));
        QCOMPARE(d->minimumSize(), d->maximumSize()); // fixed size
        QVERIFY(!d->isVisible());
    }
    QCOMPARE(form.YourcallForm->Label1->text(), QString("YourCall"));
    QCOMPARE(form.ListConnectForm->Label1->text(), QString("Connect To:"));
    // Everything starts empty.
    QCOMPARE(form.ConnectForm->InputCall->text(), QString());
    QCOMPARE(form.ListConnectForm->ChosenCall, QString());
    QVERIFY(!form.ListConnectForm->Confirmed);
}

void CallDialogsTest::ownCallTypedAndOk() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Create();
    Listen(f);
    f.serial.ClearWritten();
    QString start;
    bool focused = false;
    f.prompts.modalActions.enqueue([&](QDialog& d) {
        auto& dlg = static_cast<TYourcallForm&>(d);
        dlg.show();
        start = dlg.CallInput->text();
        focused = dlg.focusWidget() == dlg.CallInput;
        dlg.CallInput->selectAll();
        QTest::keyClicks(dlg.CallInput, "on4xyz");
        QTest::mouseClick(dlg.OkKnop, Qt::LeftButton);
        return dlg.result();
    });
    form.MenuYourcallClick();
    QCOMPARE(start, QString("PA0ABC"));
    QVERIFY(focused);
    QVERIFY(!form.YourcallForm->isVisible());
    QCOMPARE(form.st.MyCall, QString("ON4XYZ"));
    QCOMPARE(form.st.DefaultMyCall, QString("ON4XYZ"));
    QCOMPARE(f.Written(), QByteArray("MYC ON4XYZ\r"));
}

void CallDialogsTest::callTypedThenEscape() {
    FormFixture f;
    THoofdForm& form = f.Create();
    Listen(f);
    f.serial.ClearWritten();
    f.prompts.modalActions.enqueue([](QDialog& d) {
        auto& dlg = static_cast<TConnectForm&>(d);
        dlg.show();
        QTest::keyClicks(dlg.InputCall, "dl2abc");
        QTest::keyClick(dlg.InputCall, Qt::Key_Return); // OK is the default button
        return dlg.result();
    });
    form.MenuCallAstationClick();
    QCOMPARE(f.Written(), QByteArray("\x01OPGDL2ABC\x17"));
    QCOMPARE(form.st.HisCall, QString("DL2ABC"));

    // The next use starts with the same text; Escape is Cancel.
    f.serial.ClearWritten();
    QString start;
    f.prompts.modalActions.enqueue([&](QDialog& d) {
        auto& dlg = static_cast<TConnectForm&>(d);
        dlg.show();
        start = dlg.InputCall->text();
        QTest::keyClick(dlg.InputCall, Qt::Key_Escape);
        return dlg.result();
    });
    form.MenuCallAstationClick();
    QCOMPARE(start, QString("DL2ABC"));
    QCOMPARE(form.st.HisCall, QString());
    QCOMPARE(f.Written(), QByteArray());
}

void CallDialogsTest::listDoubleClickAndOkButton() {
    FormFixture f;
    f.WriteFile("Dervalo.cal", "PA3XYZ\r\nDL1ABC\r\nG4ABC\r\n");
    THoofdForm& form = f.Create();
    Listen(f);
    f.serial.ClearWritten();
    f.prompts.modalActions.enqueue([](QDialog& d) {
        auto& dlg = static_cast<TListConnectForm&>(d);
        dlg.show();
        QListWidget* list = dlg.Inputcalls;
        const QRect r = list->visualItemRect(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
        return dlg.result();
    });
    form.MenuCallAListStationClick();
    QCOMPARE(f.Written(), QByteArray("\x01OPGDL1ABC\x17"));
    QVERIFY(!form.ListConnectForm->isVisible());

    f.serial.ClearWritten();
    f.prompts.modalActions.enqueue([](QDialog& d) {
        auto& dlg = static_cast<TListConnectForm&>(d);
        dlg.show();
        QListWidget* list = dlg.Inputcalls;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(2)).center());
        QTest::mouseClick(dlg.OkKnop, Qt::LeftButton);
        return dlg.result();
    });
    form.MenuCallAListStationClick();
    QCOMPARE(f.Written(), QByteArray("\x01OPGG4ABC\x17"));
    QCOMPARE(form.st.HisCall, QString("G4ABC"));
}

void CallDialogsTest::editBoxesForceCapitals() {
    TCallEdit edit;
    edit.show();
    QTest::keyClicks(&edit, "pa3xyz/p");
    QCOMPARE(edit.text(), QString("PA3XYZ/P"));
    // Set by the program, and pasted, alike.
    edit.setText("dl1abc");
    QCOMPARE(edit.text(), QString("DL1ABC"));
    edit.clear();
    edit.insert(QString::fromUtf8("g4\xC3\xA9x"));
    QCOMPARE(edit.text(), QString::fromUtf8("G4\xC3\x89X"));
    // A character without a byte is not taken; a letter whose capital has
    // none stays small.
    edit.clear();
    edit.insert(QString::fromUtf8("on\xD0\xB6"));
    QCOMPARE(edit.text(), QString());
    QCOMPARE(TCallEdit::Capitals(QString::fromUtf8("\xC3\x9F\xC3\xBF")),
             QString::fromUtf8("\xC3\x9F\xC5\xB8"));
}

QTEST_MAIN(CallDialogsTest)
#include "tst_calldialogs.moc"
