// Whole contacts against the simulated PK-232, in-process on the virtual
// clock: the program starts the controller, calls a station (or is called),
// chats key by key, changes over, identifies and disconnects, and the status
// line follows every step. And once through the simulator program, its
// control pipe and a pseudo-terminal, in real time.
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QToolButton>
#include <QRegularExpression>
#include <QtTest>

#include "SimulatedStation.h"
#include "host/Frames.h"
#include "link/LineBackend.h"
#include "operations/CallEdit.h"
#include "operations/ConnectForm.h"

namespace {
// The buttons that the status line disables while a link is up, and the
// disconnect buttons it enables then.
QList<QToolButton*> ModeButtons(THoofdForm& w) {
    return {w.PactorStb,  w.PactorListen,   w.PactorUnpro,  w.PactorCQ,
            w.PactorCall, w.PactorListCall, w.AmtorStb,     w.AmtorListen,
            w.AmtorFEC,   w.AmtorCQ,        w.AmtorListcall};
}
QList<QToolButton*> DisconnectButtons(THoofdForm& w) {
    return {w.pactorDisconnect, w.PactorHardDisconnect, w.AmtorDisConnect, w.AmtorHardDisconnect};
}
bool AllEnabled(const QList<QToolButton*>& buttons, bool enabled) {
    for (QToolButton* b : buttons)
        if (b->isEnabled() != enabled) return false;
    return true;
}
// One data frame per character, as the keyboard sends them.
QByteArray DataFrames(const QByteArray& keys) {
    QByteArray out;
    for (char c : keys)
        out += QByteArray("\x01 ") + c + '\x17';
    return out;
}
QString LastLine(const QPlainTextEdit* edit) {
    const QStringList lines = edit->toPlainText().split(QLatin1Char('\n'));
    for (qsizetype i = lines.size() - 1; i >= 0; --i)
        if (!lines.at(i).isEmpty()) return lines.at(i);
    return QString();
}
} // namespace

class ContactTest : public QObject {
    Q_OBJECT
private slots:
    void callChatChangeOverAndDisconnect_data();
    void callChatChangeOverAndDisconnect();
    void incomingCall_data();
    void incomingCall();
    void incomingCallThroughTheControlPipe();
};

void ContactTest::callChatChangeOverAndDisconnect_data() {
    QTest::addColumn<bool>("amtor");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QByteArray>("changeOver");
    QTest::addColumn<QString>("hisDeMy");
    // In AMTOR the call is the other station's selective call, and the air
    // carries capitals only.
    QTest::newRow("PACTOR") << false << "PACTOR"
                            << "PA3XYZ" << QByteArray("\x19") << "PA3XYZ de PA0ABC =>";
    QTest::newRow("AMTOR") << true << "AMTOR"
                           << "PXYZ" << QByteArray("+?") << "PXYZ de PA0ABC";
}

void ContactTest::callChatChangeOverAndDisconnect() {
    QFETCH(bool, amtor);
    QFETCH(QString, mode);
    QFETCH(QString, call);
    QFETCH(QByteArray, changeOver);
    QFETCH(QString, hisDeMy);
    // Text as it comes back from the air.
    auto air = [amtor](const QString& text) { return amtor ? text.toUpper() : text; };

    SimulatedStation s;
    s.pk.SetAnswerDelayMs(3000);
    // The link reports traffic and over before its first idle, which must
    // not count as connected yet.
    s.pk.SetNextLinkOpening("42");
    THoofdForm& w = s.Start();
    QApplication::setActiveWindow(&w);
    w.ZendWindow->setFocus();
    QVERIFY(s.pk.IsHostMode());
    // AMTOR listen, the command of the AMTOR page's listen button.
    if (amtor) w.Send(Frames::CommandFrame("AL"));
    QVERIFY(s.RunUntil([&] { return w.Pane1->text() == mode && w.Pane2->text() == "LISTEN"; }));
    QVERIFY(AllEnabled(ModeButtons(w), true));

    // F5: the call dialog, answered with the call.
    s.f.serial.ClearWritten();
    s.f.prompts.modalActions.enqueue([call](QDialog& d) {
        auto& dlg = static_cast<TConnectForm&>(d);
        dlg.InputCall->setText(call);
        dlg.ConnectOkKnopClick();
        return dlg.result();
    });
    QTest::keyClick(w.ZendWindow, Qt::Key_F5);
    QCOMPARE(s.f.prompts.Calls("modal|"), QStringList{"modal|ConnectForm"});
    QCOMPARE(s.f.Written(), "\x01O" + QByteArray(amtor ? "AC" : "PG") + call.toLatin1() + "\x17");
    QCOMPARE(s.pk.LinkState(), Pk232Model::Link::Calling);

    // The link state with its phase, as the status replies bring them.
    auto statePhase = [&] { return w.st.LinkStateText + QLatin1Char(' ') + w.st.LinkPhaseText; };
    QStringList states;
    QVERIFY2(s.RunNoting([&] { return w.Pane2->text() == "CONNECT"; }, statePhase, states, 40),
             qPrintable(s.StatusText()));
    QCOMPARE(states, (QStringList{"LISTEN IDLE", "CALLING PHASING", "CALLING TRAFFIC",
                                  "CALLING OVER", "CONNECT IDLE"}));
    QVERIFY(w.st.IsConnected);
    QCOMPARE(w.Pane1->text(), mode);
    QCOMPARE(w.Pane3->text(), call);
    QVERIFY(AllEnabled(ModeButtons(w), false));
    QVERIFY(AllEnabled(DisconnectButtons(w), true));

    // The other operator greets the call loaded at start and hands over.
    QVERIFY2(s.RunUntil([&] { return w.Pane5->text() == "TRANSMIT"; }, 120),
             qPrintable(s.StatusText()));
    const QString greeting = air("PA0ABC de " + call + "\nGood day and thanks for the call.");
    const QString over = air("\nHow do you copy?\nPA0ABC de " + call + " k\n");
    // The link's event line stands on a line of its own, here above the
    // received line it came in, which it leaves whole.
    QString heard = s.Received();
    heard.remove(QRegularExpression(QStringLiteral("(?m)^\\*\\*\\* [^\\n]*\\n")));
    QVERIFY2(heard.contains(greeting) && heard.endsWith(over), qPrintable(s.Received()));
    if (!amtor) QVERIFY(s.Received().contains("Name here is Piet, QTH Utrecht.\n"));

    // A line typed key by key: one data frame per key, nothing else.
    s.f.serial.ClearWritten();
    const QString before = s.Received();
    QTest::keyClicks(w.ZendWindow, "Hello, fine copy here.");
    QTest::keyClick(w.ZendWindow, Qt::Key_Return);
    QCOMPARE(s.f.Written(), DataFrames("Hello, fine copy here.\r"));
    // Typed at the caret, which starts above the window's three empty lines.
    QCOMPARE(w.ZendWindow->toPlainText(), QString("Hello, fine copy here.\n\n\n"));
    // It comes back as it goes out on the air. With EAS ON (loaded at start)
    // the controller does not echo the carriage return; the line still ends
    // where it was sent.
    const QString echo = before + air("Hello, fine copy here.\n");
    QVERIFY2(s.RunUntil([&] { return s.Received() == echo; }, 20), qPrintable(s.Received()));

    // Change over: this side sends, so the change-over goes in the data; the
    // other station answers and hands the turn back.
    s.f.serial.ClearWritten();
    QTest::mouseClick(w.SpeedCho, Qt::LeftButton);
    QCOMPARE(s.f.Written(), "\x01 " + changeOver + "\x17");
    QVERIFY2(s.RunUntil([&] { return w.Pane5->text() == "RECEIVE"; }, 10),
             qPrintable(s.StatusText()));
    QVERIFY2(s.RunUntil([&] { return w.Pane5->text() == "TRANSMIT"; }, 120),
             qPrintable(s.StatusText()));
    const QString answered =
        echo + air("PA0ABC de " + call +
                   "\nThanks, all copied fine. Rig here is a 100 W transceiver into a dipole at "
                   "10 m,\nweather is cloudy and mild. Back to you.\nPA0ABC de " +
                   call + " k\n");
    QCOMPARE(s.Received(), answered);
    QCOMPARE(w.Pane2->text(), QString("CONNECT"));

    // His de My: the line in the transmit window and in one data frame.
    s.f.serial.ClearWritten();
    QTest::mouseClick(w.SpeedHiscall, Qt::LeftButton);
    QCOMPARE(s.f.Written(), "\x01 " + hisDeMy.toLatin1() + "\r\x17");
    QCOMPARE(LastLine(w.ZendWindow), hisDeMy);
    QVERIFY2(s.RunUntil([&] { return s.Received() == answered + air(hisDeMy + "\n"); }, 20),
             qPrintable(s.Received()));

    // Alt+D while this side sends: the end of the link, and nothing else.
    s.f.serial.ClearWritten();
    QTest::keyClick(w.ZendWindow, Qt::Key_D, Qt::AltModifier);
    QCOMPARE(s.f.Written(), QByteArray("\x01 \x04\x17"));
    states.clear();
    auto state = [&] { return w.Pane2->text(); };
    QVERIFY2(s.RunNoting([&] { return state() == "STANDBY"; }, state, states, 20),
             qPrintable(s.StatusText()));
    QCOMPARE(states, (QStringList{"CONNECT", "STANDBY"}));
    QCOMPARE(s.pk.LinkState(), Pk232Model::Link::None);
    QVERIFY(!w.st.IsConnected);
    QCOMPARE(w.Pane1->text(), mode);
    QCOMPARE(w.Pane3->text(), QString());
    QCOMPARE(w.Pane4->text(), QString());
    QCOMPARE(w.Pane5->text(), QString());
    QVERIFY(AllEnabled(ModeButtons(w), true));
    QVERIFY(AllEnabled(DisconnectButtons(w), false));
    // The other call stays known for the log; typing no longer goes out.
    QCOMPARE(w.st.HisCall, call);
    s.f.serial.ClearWritten();
    QTest::keyClicks(w.ZendWindow, "x");
    QCOMPARE(s.f.Written(), QByteArray());
    QVERIFY(s.f.prompts.Boxes().isEmpty());
}

void ContactTest::incomingCall_data() {
    QTest::addColumn<bool>("amtor");
    QTest::addColumn<QString>("mode");
    QTest::newRow("PACTOR") << false << "PACTOR";
    QTest::newRow("AMTOR") << true << "AMTOR";
}

void ContactTest::incomingCall() {
    QFETCH(bool, amtor);
    QFETCH(QString, mode);
    SimulatedStation s;
    THoofdForm& w = s.Start();
    w.ZendWindow->setFocus();
    // AMTOR listen, the command of the AMTOR page's listen button.
    if (amtor) w.Send(Frames::CommandFrame("AL"));
    QVERIFY(s.RunUntil([&] { return w.Pane1->text() == mode && w.Pane2->text() == "LISTEN"; }));
    s.f.serial.ClearWritten();

    QCOMPARE(s.Control("call DL1ABC"), QByteArray("DL1ABC calls and connects\n"));
    QVERIFY2(s.RunUntil([&] { return w.Pane2->text() == "CONNECT"; }, 20),
             qPrintable(s.StatusText()));
    // No call went out: only status requests.
    QCOMPARE(s.f.Written(), QByteArray("\x01OOP\x17").repeated(s.f.Written().size() / 5));
    QCOMPARE(w.Pane1->text(), mode);
    QCOMPARE(w.Pane3->text(), QString("DL1ABC"));
    QVERIFY(w.st.IsConnected);
    QVERIFY(AllEnabled(ModeButtons(w), false));
    QVERIFY2(s.RunUntil(
                 [&] {
                     return s.Received().contains("NAME HERE IS HANS, QTH HAMBURG.",
                                                  Qt::CaseInsensitive);
                 },
                 60),
             qPrintable(s.Received()));

    // The other station ends the link from the control channel.
    QCOMPARE(s.Control("disc"), QByteArray("disconnected\n"));
    QVERIFY2(s.RunUntil([&] { return w.Pane2->text() == "STANDBY"; }, 10),
             qPrintable(s.StatusText()));
    QVERIFY(!w.st.IsConnected);
    QCOMPARE(w.Pane3->text(), QString());
    QVERIFY(AllEnabled(ModeButtons(w), true));
}

void ContactTest::incomingCallThroughTheControlPipe() {
    const QString sim = qEnvironmentVariable("DERVALO_SIM");
    if (sim.isEmpty() || !QFile::exists(sim)) QSKIP("the simulator program is not built");

    QTemporaryDir dir;
    const QString link = dir.filePath("pk232");
    const QString control = dir.filePath("pk232.ctl");
    QProcess simulator;
    simulator.start(sim, {"--link", link, "--control", control, "--quiet", "--air-speed", "0"});
    QVERIFY(simulator.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(link).isSymLink() && QFileInfo::exists(control), 5000);
    {
        QFile ini(dir.filePath("Dervalo.INI"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(FormFixture::Settings(link.toLatin1(), "9600", false, true));
    }

    LineBackend serial;
    SystemClock clock;
    ScriptedPrompts prompts;
    {
        THoofdForm form(serial, clock, prompts, dir.path());
        form.CreateDialogs();
        form.show(); // the controller start-up, with its real pauses
        QTRY_COMPARE_WITH_TIMEOUT(form.Pane2->text(), QString("LISTEN"), 10000);

        // As a user types it in a second terminal: echo "call DL1ABC" > pk232.ctl
        {
            QFile pipe(control);
            QVERIFY(pipe.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            QCOMPARE(pipe.write("call DL1ABC\n"), qint64(12));
        }
        QTRY_COMPARE_WITH_TIMEOUT(form.Pane2->text(), QString("CONNECT"), 10000);
        // The call comes in its own frame, which need not come first.
        QTRY_COMPARE_WITH_TIMEOUT(form.Pane3->text(), QString("DL1ABC"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(
            form.ReceiveWindow->toPlainText().contains("Name here is Hans, QTH Hamburg."), 10000);
        {
            QFile pipe(control);
            QVERIFY(pipe.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            pipe.write("disc\n");
        }
        QTRY_COMPARE_WITH_TIMEOUT(form.Pane2->text(), QString("STANDBY"), 10000);
        QVERIFY2(prompts.Boxes().isEmpty(), qPrintable(prompts.Boxes().join('\n')));
        form.close();
    }
    simulator.terminate();
    QVERIFY(simulator.waitForFinished(5000));
    const QByteArray answers = simulator.readAllStandardOutput();
    QVERIFY2(answers.contains("DL1ABC calls and connects\ndisconnected\n"), answers.constData());
    QVERIFY(!QFileInfo::exists(control)); // the simulator made the pipe and removes it
}

QTEST_MAIN(ContactTest)
#include "tst_contact.moc"
