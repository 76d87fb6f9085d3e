// A whole contact from the real program to the simulator program on a
// pseudo-terminal, against a unit that answers every data frame at once and
// echoes what it sends one character per frame: call, connect, a typed line,
// change over, and a 300-line text file sent while connected, which ends by
// itself with every line sent, on the air and back in the receive window.
#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QtTest>

#include "LiveStation.h"
#include "operations/CallEdit.h"

namespace {
// One data frame per character, as the keyboard sends them.
QByteArray DataFrames(const QByteArray& keys) {
    QByteArray out;
    for (char c : keys)
        out += QByteArray("\x01 ") + c + '\x17';
    return out;
}
} // namespace

class ContactOnlineTest : public QObject {
    Q_OBJECT
private slots:
    void contactWithAFile();
};

void ContactOnlineTest::contactWithAFile() {
    if (!LiveStation::SimulatorBuilt()) QSKIP("the simulator program is not built");
    LiveStation s;
    // A hundred times the real air speed: 2,000 characters a second in
    // PACTOR, each echoed in a frame of its own, more than a 9600-baud line
    // carries: the line's pace is off here.
    QVERIFY(s.StartSimulator({"--band", "off", "--air-speed", "100", "--no-line-pace"}));
    THoofdForm& w = s.StartProgram();
    QVERIFY(w.st.HostModeActive);
    QApplication::setActiveWindow(&w);
    w.ZendWindow->setFocus();
    QVERIFY2(LiveStation::WaitFor(
                 [&] { return w.Pane1->text() == "PACTOR" && w.Pane2->text() == "LISTEN"; }, 10000),
             qPrintable(s.StatusText()));

    // F5: the call dialog, answered with the call.
    s.Call("PA3XYZ");
    QVERIFY2(
        LiveStation::WaitFor(
            [&] { return w.Pane2->text() == "CONNECT" && w.Pane3->text() == "PA3XYZ"; }, 20000),
        qPrintable(s.StatusText()));
    QVERIFY(w.st.IsConnected);
    // The other operator greets the call loaded at start and hands over.
    QVERIFY2(LiveStation::WaitFor(
                 [&] {
                     return s.Received().contains("How do you copy?\nPA0ABC de PA3XYZ k\n") &&
                            w.Pane5->text() == "TRANSMIT";
                 },
                 20000),
             qPrintable(s.Received() + " / " + s.StatusText()));

    // A typed line: one data frame per key; it comes back as it goes out
    // (the carriage return is sent, not echoed; the line still ends).
    QTest::keyClicks(w.ZendWindow, "Hello, fine copy here.");
    QTest::keyClick(w.ZendWindow, Qt::Key_Return);
    QVERIFY(LiveStation::WaitFor(
        [&] { return s.FromProgram().contains(DataFrames("Hello, fine copy here.\r")); }, 10000));
    QVERIFY2(
        LiveStation::WaitFor(
            [&] { return s.Received().endsWith("PA3XYZ k\nHello, fine copy here.\n"); }, 10000),
        qPrintable(s.Received()));

    // Change over: the other station answers and hands the turn back.
    QTest::mouseClick(w.SpeedCho, Qt::LeftButton);
    QVERIFY2(LiveStation::WaitFor(
                 [&] {
                     return s.Received().contains("Back to you.\nPA0ABC de PA3XYZ k\n") &&
                            w.Pane5->text() == "TRANSMIT";
                 },
                 20000),
             qPrintable(s.Received() + " / " + s.StatusText()));

    // A 300-line file while connected: it ends by itself, every line goes
    // out in its frame, and all of it comes back.
    QList<QByteArray> lines;
    QByteArray file, frames, echo;
    for (int i = 1; i <= 300; ++i) {
        const QByteArray line = "Line " + QByteArray::number(i) + " of 300, the quick brown fox.";
        file += line + "\r\n";
        frames += "\x01 " + line + "\r\x17";
        echo += line + "\r\n"; // as saved: a line break is CR LF
    }
    s.WriteFile("qso.txt", file);
    s.prompts.fileAnswers << s.Path("qso.txt");
    // The receive buffer as it would be saved (the window itself breaks a
    // long line into blocks).
    const QByteArray before = s.ReceivedBytes();
    w.MenuTransmitFile->trigger(); // returns once the last line is sent
    QVERIFY(!w.st.FileTransmitActive);
    QVERIFY(LiveStation::WaitFor([&] { return s.FromProgram().contains(frames); }, 10000));
    QVERIFY2(LiveStation::WaitFor([&] { return s.ReceivedBytes().endsWith(echo); }, 30000),
             s.ReceivedBytes().right(300).constData());
    QVERIFY(s.ReceivedBytes() == before + echo); // the file's event lines aside
    QVERIFY(s.StateWhen("transmit buffer 0 bytes").contains("transmit buffer 0 bytes"));
    QCOMPARE(int(w.st.TxPendingCount), 0);
    QCOMPARE(w.Pane2->text(), QString("CONNECT"));
    QVERIFY2(s.prompts.Boxes().isEmpty(), qPrintable(s.prompts.Boxes().join('\n')));
}

QTEST_MAIN(ContactOnlineTest)
#include "tst_contactonline.moc"
