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
    void listOpensWithNoRowCurrent();
    void editBoxForcesCapitals();
};

void CallDialogsTest::createdOnceInTheirOrder() {
    FormFixture f;
    THoofdForm& form = f.Create();
    const QList<QDialog*> dialogs = form.findChildren<QDialog*>(Qt::FindDirectChildrenOnly);
    QCOMPARE(dialogs.mid(0, 4), (QList<QDialog*>{form.YourcallForm, form.ConnectForm,
                                                 form.ListConnectForm, form.ComBaudConfig}));
    for (QDialog* d : dialogs.mid(0, 3)) {
        QCOMPARE(d->windowTitle(), QString("Dervalo"));
        QCOMPARE(d->minimumSize(), d->maximumSize());
    }
    QCOMPARE(form.YourcallForm->Label1->text(), QString("YourCall"));
    QCOMPARE(form.ListConnectForm->Label1->text(), QString("Connect To:"));
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
    for (const bool doubleClick : {true, false}) {
        f.prompts.modalActions.enqueue([=](QDialog& d) {
            auto& dlg = static_cast<TListConnectForm&>(d);
            dlg.show();
            QListWidget* list = dlg.Inputcalls;
            const QPoint at = list->visualItemRect(list->item(doubleClick ? 1 : 2)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            if (doubleClick)
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            else
                QTest::mouseClick(dlg.OkKnop, Qt::LeftButton);
            return dlg.result();
        });
        form.MenuCallAListStationClick();
        QVERIFY(!form.ListConnectForm->isVisible());
    }
    QCOMPARE(f.Written(), QByteArray("\x01OPGDL1ABC\x17\x01OPGG4ABC\x17"));
}

void CallDialogsTest::listOpensWithNoRowCurrent() {
    // Down picks the first call; Enter with nothing picked calls with no call.
    FormFixture f;
    f.WriteFile("Dervalo.cal", "PA3XYZ\r\nDL1ABC\r\nG4ABC\r\n");
    THoofdForm& form = f.Create();
    Listen(f);
    f.serial.ClearWritten();
    QList<bool> currentAtOpen;
    for (const bool down : {true, false}) {
        f.prompts.modalActions.enqueue([&, down](QDialog& d) {
            auto& dlg = static_cast<TListConnectForm&>(d);
            dlg.show();
            dlg.activateWindow();
            [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(&dlg);
            currentAtOpen << dlg.Inputcalls->currentIndex().isValid();
            if (down) QTest::keyClick(dlg.Inputcalls, Qt::Key_Down);
            QTest::keyClick(dlg.Inputcalls, Qt::Key_Return); // OK is the default button
            return dlg.result();
        });
        form.MenuCallAListStationClick();
        QVERIFY(!form.ListConnectForm->isVisible());
    }
    QCOMPARE(currentAtOpen, (QList<bool>{false, false}));
    QCOMPARE(f.Written(), QByteArray("\x01OPGPA3XYZ\x17\x01OPG\x17"));
    QCOMPARE(form.st.HisCall, QString());
}

void CallDialogsTest::editBoxForcesCapitals() {
    TCallEdit edit;
    edit.show();
    QTest::keyClicks(&edit, "pa3xyz/p");
    QCOMPARE(edit.text(), QString("PA3XYZ/P"));
    // Set by the program, and pasted, alike.
    edit.setText(QString::fromUtf8("dl1\xC3\xA9"));
    QCOMPARE(edit.text(), QString::fromUtf8("DL1\xC3\x89"));
    // A character without a byte is not taken; a letter whose capital has
    // none stays small.
    edit.insert(QString::fromUtf8("\xD0\xB6"));
    QCOMPARE(edit.text(), QString::fromUtf8("DL1\xC3\x89"));
    QCOMPARE(TCallEdit::Capitals(QString::fromUtf8("\xC3\x9F\xC3\xBF")),
             QString::fromUtf8("\xC3\x9F\xC5\xB8"));
}

QTEST_MAIN(CallDialogsTest)
#include "tst_calldialogs.moc"
