// The capture file and the saved buffer: what ends up in the files, the
// file-exists question driven through its buttons, the controls that follow
// the capture state, and the timers around saving.
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "FileDialogPrompts.h"
#include "FormFixture.h"
#include "terminal/FileBestaat.h"

namespace {

struct Fixture : FormFixture {
    FileDialogPrompts files;
    THoofdForm& Make() {
        WriteFile("Dervalo.INI", Settings());
        form = std::make_unique<THoofdForm>(serial, clock, files, dir.path());
        form->CreateDialogs();
        return *form;
    }
    void Receive(const QByteArray& text) {
        serial.FeedInput("\x01/" + text + "\x17");
        form->GETV24Data();
    }
};

// What the question looked like when it was shown.
struct Question {
    QString caption, line1, line2;
    bool noEnabled = false;
};

// Shows the question and presses one of its buttons ("" closes it by its
// title bar instead).
std::function<int(QDialog&)> Press(const char* button, Question* seen = nullptr) {
    return [button, seen](QDialog& d) {
        auto& q = static_cast<TFileBestaatForm&>(d);
        if (seen)
            *seen = {q.windowTitle(), q.Label1->text(), q.Label2->text(), q.NoKnop->isEnabled()};
        q.show();
        if (*button)
            QTest::mouseClick(q.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
        else
            q.close();
        return q.result();
    };
}

void VerifyClosedState(THoofdForm& form) {
    QVERIFY(!form.st.LogFileOpen);
    QVERIFY(form.MenuOpenLogFile->isEnabled());
    QVERIFY(!form.MenuCloseLogFile->isEnabled());
    QCOMPARE(form.OpenLogFile->text(), QString("Open log"));
    QCOMPARE(form.OpenLogFile->toolTip(), QString("Open Log File"));
    QCOMPARE(form.OpenLogFile->palette().color(QPalette::ButtonText), QColor(Qt::black));
}

} // namespace

class CaptureFileTest : public QObject {
    Q_OBJECT
private slots:
    void newFileCapturesWhatIsShown();
    void existingFileAppendReplaceOrLeave_data();
    void existingFileAppendReplaceOrLeave();
    void sameNameOfferedEveryTime();
    void fileThatCannotBeOpened_data();
    void fileThatCannotBeOpened();
    void programCloseClosesTheFile();
    void saveBufferWithLineBreaks();
    void saveOverExistingOnlyWithYes_data();
    void saveOverExistingOnlyWithYes();
    void failedSaveRestartsTimers();
    void fullDiskEndsCaptureWithOneMessage();
};

void CaptureFileTest::newFileCapturesWhatIsShown() {
    Fixture f;
    THoofdForm& form = f.Make();
    VerifyClosedState(form);
    QCOMPARE(form.LogLed->toolTip(), QString("No Log File"));

    f.Receive("before\r");
    f.files.fileAnswers.enqueue("capture.log");
    form.OpenLogFile->click();
    // A new file: no question.
    QVERIFY(f.files.Calls("modal").isEmpty());
    QCOMPARE(f.files.Calls("save"), QStringList{"save|Dervalix"});
    QVERIFY(form.st.LogFileOpen);
    QVERIFY(!form.MenuOpenLogFile->isEnabled());
    QVERIFY(form.MenuCloseLogFile->isEnabled());
    QCOMPARE(form.OpenLogFile->text(), QString("Close log"));
    QCOMPARE(form.OpenLogFile->toolTip(), QString("Close Log File"));
    QCOMPARE(form.OpenLogFile->palette().color(QPalette::ButtonText), QColor(Qt::red));
    QCOMPARE(form.LogLed->palette().color(QPalette::Window), QColor(Qt::red));
    QCOMPARE(form.LogLed->palette().color(QPalette::WindowText), QColor(Qt::white));
    QCOMPARE(form.LogLed->toolTip(), QString("Log File is open"));

    // Complete after every character, lone carriage returns, nothing the
    // window does not show.
    f.Receive("CQ de PA3XYZ\r\n\a\t");
    QCOMPARE(f.ReadFile("capture.log"), QByteArray("CQ de PA3XYZ\r"));
    f.serial.FeedInput("\x01?mon\x17");
    form.GETV24Data();
    QCOMPARE(f.ReadFile("capture.log"), QByteArray("CQ de PA3XYZ\rmon"));

    // The button closes it; later text goes to no file.
    form.OpenLogFile->click();
    VerifyClosedState(form);
    QCOMPARE(form.LogLed->palette().color(QPalette::Window), QColor(0, 255, 0));
    QCOMPARE(form.LogLed->toolTip(), QString("No Log File"));
    f.Receive("after");
    QCOMPARE(f.ReadFile("capture.log"), QByteArray("CQ de PA3XYZ\rmon"));
    // Closing again does nothing.
    form.MenuCloseLogFileClick();
    VerifyClosedState(form);
}

void CaptureFileTest::existingFileAppendReplaceOrLeave_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("No appends") << "NoKnop" << true << QByteArray("old\rnew");
    QTest::newRow("Yes replaces") << "YesKnop" << true << QByteArray("new");
    QTest::newRow("Cancel") << "CancelKnop" << false << QByteArray("old\r");
    QTest::newRow("closed") << "" << false << QByteArray("old\r");
}

void CaptureFileTest::existingFileAppendReplaceOrLeave() {
    QFETCH(QString, button);
    QFETCH(bool, open);
    QFETCH(QByteArray, content);
    Fixture f;
    THoofdForm& form = f.Make();
    f.WriteFile("Old.LOG", "old\r");
    // The name is matched without regard to case.
    f.files.fileAnswers.enqueue(f.Path("old.log"));
    Question seen;
    const QByteArray name = button.toLatin1();
    f.files.modalActions.enqueue(Press(name.constData(), &seen));
    form.MenuOpenLogFile->trigger();

    QCOMPARE(f.files.Calls("modal"), QStringList{"modal|FileBestaatForm"});
    QCOMPARE(seen.caption, QString("Old.LOG"));
    QCOMPARE(seen.line1, QString("Yes= Deleting and making NEW one."));
    QCOMPARE(seen.line2, QString("No = Append to this file"));
    QVERIFY(seen.noEnabled);
    QCOMPARE(form.st.LogFileOpen, open);
    if (!open) VerifyClosedState(form);
    f.Receive("new");
    QCOMPARE(f.ReadFile("Old.LOG"), content);
    QCOMPARE(QDir(f.dir.path()).entryList({"*.log"}, QDir::Files, QDir::IgnoreCase),
             QStringList{"Old.LOG"});
}

void CaptureFileTest::sameNameOfferedEveryTime() {
    Fixture f;
    THoofdForm& form = f.Make();
    f.files.fileAnswers.enqueue("first.txt");
    form.OpenLogFile->click();
    form.OpenLogFile->click();
    form.OpenLogFile->click(); // cancelled: nothing changes
    VerifyClosedState(form);
    QCOMPARE(f.files.offered, (QStringList{"Dervalo.log", "Dervalo.log"}));
}

void CaptureFileTest::fileThatCannotBeOpened_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("cannot create") << "missing/x.log"
                                   << "Cannot create file %1";
    // A folder of that name exists: appending to it fails.
    QTest::newRow("cannot append") << "folder.log"
                                   << "Cannot open file %1";
}

void CaptureFileTest::fileThatCannotBeOpened() {
    QFETCH(QString, name);
    QFETCH(QString, message);
    Fixture f;
    THoofdForm& form = f.Make();
    QDir(f.dir.path()).mkdir("folder.log");
    f.files.fileAnswers.enqueue(name);
    f.files.modalActions.enqueue(Press("NoKnop"));
    form.OpenLogFile->click();
    QCOMPARE(f.files.Boxes(), QStringList{"Dervalo|" + message.arg(f.Path(name))});
    VerifyClosedState(form);
    f.Receive("text"); // goes nowhere, and nothing is reported
    QCOMPARE(f.files.Boxes().size(), 1);
    QCOMPARE(form.ReceiveWindow->toPlainText(), QString("text"));
}

void CaptureFileTest::programCloseClosesTheFile() {
    Fixture f;
    THoofdForm& form = f.Make();
    f.files.fileAnswers.enqueue("c.log");
    form.OpenLogFile->click();
    f.Receive("last words\r");
    form.close();
    QVERIFY(!form.st.LogFileOpen);
    QVERIFY(!form.LogFile.isOpen());
    QCOMPARE(f.ReadFile("c.log"), QByteArray("last words\r"));
}

void CaptureFileTest::saveBufferWithLineBreaks() {
    Fixture f;
    THoofdForm& form = f.Make();
    f.Receive("line one\r\rline \x80\x93three\r");
    f.files.fileAnswers.enqueue("rx.buf");
    form.SaveBuffer->click();
    const QByteArray saved = f.ReadFile("rx.buf");
    QCOMPARE(saved, QByteArray("line one\r\n\r\nline \x80\x93three\r\n"));
    // The count on the status line is the size of the saved buffer.
    form.StatusAanvraagTimerTimer();
    QCOMPARE(form.Pane6->text(), "Buffer: " + QString::number(saved.size()));

    // The last name is offered next time; cancelling writes nothing.
    form.SaveBuffer->click();
    QCOMPARE(f.files.offered, (QStringList{"Dervalo.buf", "rx.buf"}));
    QVERIFY(form.Schryfinterval.isActive());
    QVERIFY(form.StatusAanvraagTimer.isActive());
}

void CaptureFileTest::saveOverExistingOnlyWithYes_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("Yes replaces") << "YesKnop" << QByteArray("AB\r\nC");
    QTest::newRow("No is disabled") << "NoKnop" << QByteArray("older and longer");
    QTest::newRow("Cancel") << "CancelKnop" << QByteArray("older and longer");
    QTest::newRow("closed") << "" << QByteArray("older and longer");
}

void CaptureFileTest::saveOverExistingOnlyWithYes() {
    QFETCH(QString, button);
    QFETCH(QByteArray, content);
    Fixture f;
    THoofdForm& form = f.Make();
    f.WriteFile("rx.buf", "older and longer");
    f.Receive("AB\rC");
    f.files.fileAnswers.enqueue("rx.buf");
    Question seen;
    const QByteArray name = button.toLatin1();
    bool timersStopped = false;
    f.files.modalActions.enqueue([&](QDialog& d) {
        timersStopped = !form.Schryfinterval.isActive() && !form.StatusAanvraagTimer.isActive();
        return Press(name.constData(), &seen)(d);
    });
    form.SaveBuffer->click();
    QVERIFY(timersStopped);
    QCOMPARE(seen.caption, QString("rx.buf"));
    QCOMPARE(seen.line1, QString());
    QCOMPARE(seen.line2, QString());
    QVERIFY(!seen.noEnabled);
    QCOMPARE(f.ReadFile("rx.buf"), content);
    QVERIFY(form.Schryfinterval.isActive());
    QVERIFY(form.StatusAanvraagTimer.isActive());
}

void CaptureFileTest::failedSaveRestartsTimers() {
    Fixture f;
    THoofdForm& form = f.Make();
    f.Receive("kept");
    f.files.fileAnswers.enqueue("missing/rx.buf");
    form.SaveBuffer->click();
    QCOMPARE(f.files.Boxes(),
             QStringList{"Dervalo|Cannot create file " + f.Path("missing/rx.buf")});
    QCOMPARE(form.ReceiveWindow->toPlainText(), QString("kept"));
    QVERIFY(form.Schryfinterval.isActive());
    QVERIFY(form.StatusAanvraagTimer.isActive());
}

void CaptureFileTest::fullDiskEndsCaptureWithOneMessage() {
    // Every write to /dev/full fails as on a full disk.
    if (!QFileInfo::exists("/dev/full")) QSKIP("no /dev/full here");
    Fixture f;
    THoofdForm& form = f.Make();
    auto openCapture = [&] {
        f.files.fileAnswers.enqueue("/dev/full");
        f.files.modalActions.enqueue(Press("YesKnop"));
        form.MenuOpenLogFileClick();
    };
    auto tick = [&] { form.Guarded([&] { form.SchryfintervalTimer(); }); };
    const QStringList oneBox{"Dervalo|Error writing /dev/full"};

    openCapture();
    QCOMPARE(form.OpenLogFile->text(), QString("Close log"));
    f.serial.FeedInput("\x01/CQ de PA3XYZ\r\x17\x01/pse k\r\x17");
    tick();
    // The frame shown whole, one message, capture closed as by the menu.
    QCOMPARE(form.ReceiveWindow->toPlainText(), QString("CQ de PA3XYZ\n"));
    QCOMPARE(f.files.Boxes(), oneBox);
    VerifyClosedState(form);
    QCOMPARE(form.LogLed->toolTip(), QString("No Log File"));
    QCOMPARE(form.LogLed->palette().color(QPalette::Window), QColor(0, 255, 0));
    tick();
    tick();
    QCOMPARE(form.ReceiveWindow->toPlainText(), QString("CQ de PA3XYZ\npse k\n"));
    QCOMPARE(f.files.Boxes(), oneBox);

    // The same while a text file goes out: its echoes shown whole, the
    // message once, after the transmission.
    openCapture();
    QVERIFY(form.st.LogFileOpen);
    form.st.IsConnected = true;
    f.WriteFile("tx.txt", "one\r\ntwo\r\nthree\r\n");
    f.serial.FeedInput("\x01/one\r\x17\x01/two\r\x17");
    form.Guarded([&] { form.SendFile("tx.txt"); });
    // Between the transmission's event lines.
    QVERIFY(form.ReceiveWindow->toPlainText().contains("pse k\n*** "));
    QVERIFY(form.ReceiveWindow->toPlainText().contains("one\ntwo\n*** "));
    QVERIFY(form.ReceiveWindow->toPlainText().endsWith("FILE tx.txt ended\n"));
    VerifyClosedState(form);
    QCOMPARE(f.files.Boxes(), oneBox + oneBox);
    tick();
    QCOMPARE(f.files.Boxes(), oneBox + oneBox);
}

QTEST_MAIN(CaptureFileTest)
#include "tst_capturefile.moc"
