// Text files sent to the simulated PK-232, in-process on the virtual clock:
// a long file at a fast pace, a file in PACTOR unproto at the real air speed
// (the loop holds back and catches up by itself), a mailbox message written
// from a file in the maildrop check, then listed, read and killed; CQ calls
// that end their transmission in each mode, and AMTOR and RTTY files full of
// characters Baudot cannot send.
#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QtTest>

#include "FormFixture.h"
#include "Pk232Model.h"

namespace {
QByteArray Numbered(int lines, int width) {
    QByteArray out;
    for (int i = 0; i < lines; ++i)
        out += QByteArray::number(i).rightJustified(width, '.') + "\r\n";
    return out;
}

// The program started against the model (controller initialised, PACTOR,
// listening), with no band traffic and a fixed seed.
struct Rig {
    FormFixture f;
    Pk232Model pk{232};
    THoofdForm* form = nullptr;
    int passes = 0, maxPending = 0, holds = 0;
    bool runaway = false;

    explicit Rig(int airSpeed) {
        pk.SetBandPace(Pk232Model::BandPace::Off);
        pk.SetAirSpeed(airSpeed);
        f.serial.AttachPeer(&pk);
        f.WriteFile("Dervalo.INI", FormFixture::Settings("COM1", "9600", false, true));
        form = &f.Start();
        Run(1000);
    }
    // The two timers for `ms` milliseconds, as the event loop runs them.
    void Run(quint32 ms) {
        for (quint32 t = 0; t < ms; t += 113) {
            if ((t / 113) % 5 == 0) form->StatusAanvraagTimerTimer();
            f.clock.Advance(113);
            form->SchryfintervalTimer();
        }
    }
    QString Received() const { return form->ReceiveWindow->toPlainText(); }
    // Runs the timers until the receive window ends with `text`, at most
    // `limitMs` of the virtual clock: the echo comes one character per frame
    // and the program reads one frame per tick, so it may lag far behind
    // the air. Returns whether it came.
    bool RunUntilReceived(const QString& text, quint32 limitMs) {
        for (quint32 t = 0; t < limitMs && !Received().endsWith(text); t += 10'000)
            Run(10'000);
        return Received().endsWith(text);
    }
    // Every question of the Escape key is one pass of the loop: the pass
    // notes the count and each turn of the lamp to "XOff"; never Escape,
    // but a loop still running after `limitS` seconds of the virtual clock
    // is broken off, so a stall fails the test instead of hanging it.
    void Transmit(const QString& name, const QByteArray& content, quint64 limitS = 60) {
        f.WriteFile(name, content);
        f.prompts.fileAnswers << f.Path(name);
        Guarded(limitS, [this] { form->MenuTransmitFile->trigger(); });
    }
    // F8 with the mode's CQ file.
    void CallCQ(const QString& name, const QByteArray& content, quint64 limitS = 60) {
        f.WriteFile(name, content);
        Guarded(limitS, [this] { form->MenuCallCQ->trigger(); });
    }
    void Guarded(quint64 limitS, const std::function<void()>& transmit) {
        QString lamp = "XOn";
        const quint64 until = f.clock.Elapsed() + limitS * 1000;
        f.prompts.escapeScript = [this, lamp, until]() mutable {
            ++passes;
            maxPending = qMax(maxPending, int(form->st.TxPendingCount));
            holds += form->XOnLed->text() == "XOff" && lamp == "XOn";
            lamp = form->XOnLed->text();
            runaway = runaway || f.clock.Elapsed() > until;
            return runaway;
        };
        transmit();
        f.prompts.escapeScript = {};
    }
    // Runs the timers until `done` holds, for at most `limitMs`.
    bool RunUntil(const std::function<bool()>& done, quint32 limitMs) {
        for (quint32 t = 0; t < limitMs && !done(); t += 565)
            Run(565);
        return done();
    }
    // Switches to a mode from PACTOR.
    void SwitchTo(const QString& mode) {
        if (mode == "AMTOR") form->SwitchToAmtor();
        if (mode == "RTTY") form->SwitchToRtty();
        Run(1500);
        QCOMPARE(form->st.ModeName, mode);
    }
    void Unproto() {
        form->MenuUnpro->trigger();
        Run(1500);
        QCOMPARE(pk.ModeCode(), QByteArray("PD"));
        QCOMPARE(form->st.LinkStateText, QString("UNPRO"));
    }
    // Whether the controller had to drop bytes that did not fit its buffer.
    bool Overflowed() {
        for (const QByteArray& note : pk.TakeNotes())
            if (note.startsWith("transmit buffer full")) return true;
        return false;
    }
    bool Idle() const {
        const auto& s = form->st;
        return !s.FileTransmitActive && s.TxPendingCount == 0 && !s.FileTransmitAbort &&
               form->Schryfinterval.isActive() && form->StatusAanvraagTimer.isActive() &&
               form->XOnLed->text() == "XOn";
    }
};
} // namespace

class TransmitEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void longFileAtAFastPace();
    void unprotoAtTheRealPaceHoldsAndCatchesUp();
    void mailboxMessageFromAFile();
    void cqEndsItsTransmission_data();
    void cqEndsItsTransmission();
    void baudotCountsOnlyWhatGoesOut_data();
    void baudotCountsOnlyWhatGoesOut();
};

void TransmitEndToEndTest::longFileAtAFastPace() {
    // Only the echoed text is outstanding, so 2,000 lines never pile up a
    // count that would hold the loop for ever. The echo comes one character
    // per frame and the loop reads one frame per pass, so it may hold back
    // while the echo catches up, never more than one line beyond the limit.
    // Short lines keep the passes (one per echoed character) few.
    Rig r(0);
    r.Unproto();
    const QByteArray file = Numbered(2000, 4);
    r.Transmit("long.txt", file, 600);
    QVERIFY(!r.runaway);
    QVERIFY2(r.maxPending <= 3000 + 5, qPrintable(QString::number(r.maxPending)));
    QVERIFY(r.Idle());
    QByteArray aired = file;
    aired.replace("\r\n", "\r");
    QCOMPARE(r.pk.Transmitted(), aired);
    QVERIFY(!r.Overflowed());
    // With EAS ON (loaded at start) the carriage returns are not echoed; the
    // program ends each echoed line itself.
    QVERIFY2(r.RunUntilReceived(QString("1998\n1999\n"), 600'000),
             qPrintable(r.Received().right(40)));
}

void TransmitEndToEndTest::unprotoAtTheRealPaceHoldsAndCatchesUp() {
    // 300 lines of 30 characters at 20 characters a second: the controller
    // falls behind, the loop shows "XOff" and resumes by itself; never more
    // than one line beyond the limit is outstanding, and the controller's
    // buffer never overflows.
    Rig r(1);
    r.Unproto();
    const QByteArray file = Numbered(300, 30);
    const quint64 start = r.f.clock.Elapsed();
    r.Transmit("slow.txt", file, 600);
    QVERIFY(!r.runaway);
    QVERIFY(r.holds >= 1);
    QVERIFY(r.maxPending >= 3000 && r.maxPending <= 3000 + 31);
    QVERIFY(r.Idle());
    // The loop ran about as long as the air needs for all but the last
    // 3000 bytes, and waited rather than spun meanwhile. No carriage return
    // is counted (EAS ON); a controller that echoes them anyway leaves up
    // to one more byte per line outstanding.
    const quint64 took = r.f.clock.Elapsed() - start;
    QVERIFY2(took >= (9300 - 3031 - 300) * 1000 / 20 && took <= 9300 * 1000 / 20,
             qPrintable(QString::number(took)));
    QVERIFY(r.passes < int(took) * 2);
    QVERIFY(!r.Overflowed());

    // The rest goes out at the air's pace while the timers read the echo
    // (the last carriage return goes out, but with EAS ON is not echoed: the
    // program ends the line).
    const QString last = QString(QByteArray("299").rightJustified(30, '.'));
    QVERIFY2(r.RunUntilReceived(last + "\n", 1'200'000), qPrintable(r.Received().right(40)));
    QByteArray aired = file;
    aired.replace("\r\n", "\r");
    QCOMPARE(r.pk.Transmitted(), aired);
    QVERIFY(r.pk.TransmitBuffer().isEmpty());
    QCOMPARE(r.form->ZendWindow->toPlainText().split('\n').last(), last);
}

void TransmitEndToEndTest::mailboxMessageFromAFile() {
    Rig r(1);
    r.form->MenuMaildropCheck->trigger();
    r.Run(1000);
    QVERIFY(r.pk.InMailbox());
    QVERIFY(!r.pk.IsHostMode());
    QVERIFY(r.Received().endsWith("MBX>"));
    QCOMPARE(r.pk.MessageCount(), 1);

    // Write: the call through the input box, then the text from a file.
    r.f.prompts.inputAnswers << QString("pa3xyz");
    r.form->MdcWrite->click();
    r.Run(500);
    QVERIFY(r.pk.Composing());
    QVERIFY(r.Received().contains("Enter message to PA3XYZ, end with /EX"));
    // Out of HOST mode the lines go out plain: no frame byte can end up in
    // the message (the mailbox would store it). The message ends as a unit
    // ends it: "/EX" at the start of a line, no Ctrl-Z to store.
    r.f.serial.ClearWritten();
    r.Transmit("letter.txt", "Dinner on Sunday\r\nBring the antenna.\r\n73 de PA0ABC");
    QVERIFY(!r.runaway);
    QVERIFY(r.Idle());
    QCOMPARE(r.f.Written(),
             QByteArray("Dinner on Sunday\rBring the antenna.\r73 de PA0ABC\r/EX\r"));
    r.Run(500);
    QVERIFY(!r.pk.Composing());
    QCOMPARE(r.pk.MessageCount(), 2);
    const Pk232Model::Message m = r.pk.Messages().at(1);
    QCOMPARE(m.from, QByteArray("PA0ABC"));
    QCOMPARE(m.to, QByteArray("PA3XYZ"));
    QCOMPARE(m.subject, QByteArray("Dinner on Sunday"));
    QCOMPARE(m.text, QByteArray("Dinner on Sunday\rBring the antenna.\r73 de PA0ABC\r"));
    QVERIFY(r.Received().contains("Message 2 saved"));
    QCOMPARE(r.form->ZendWindow->toPlainText().split('\n', Qt::SkipEmptyParts),
             (QStringList{"Dinner on Sunday", "Bring the antenna.", "73 de PA0ABC"}));

    // List, read back, kill; each answer reaches the receive window.
    auto answer = [&](QToolButton* button, const QString& typed) {
        const qsizetype from = r.Received().size();
        if (!typed.isEmpty()) r.f.prompts.inputAnswers << typed;
        button->click();
        r.Run(1500);
        return r.Received().mid(from);
    };
    const QString list = answer(r.form->MdcList, {});
    QVERIFY2(list.contains("  2 PA0ABC") && list.contains(" Dinner on Sunday"), qPrintable(list));
    QVERIFY(list.contains("  1 PA3XYZ") && list.contains(" Welcome"));
    const QString read = answer(r.form->MdcRead, "2");
    QVERIFY2(read.contains("Msg 2 From: PA0ABC To: PA3XYZ"), qPrintable(read));
    QVERIFY(read.contains("Subject: Dinner on Sunday"));
    QVERIFY(read.contains("Bring the antenna."));
    QVERIFY(read.contains("73 de PA0ABC"));
    QVERIFY(answer(r.form->MdcKill, "2").contains("Message 2 killed"));
    QCOMPARE(r.pk.MessageCount(), 1);
    QCOMPARE(r.pk.Messages().at(0).subject, QByteArray("Welcome"));
    const QString after = answer(r.form->MdcList, {});
    QVERIFY(after.contains(" Welcome") && !after.contains("Dinner"));
    QVERIFY(answer(r.form->MdcRead, "2").contains("No such message: 2"));

    // Closing the check leaves the mailbox and returns to HOST mode.
    r.form->MenuMaildropCheck->trigger();
    r.Run(1500);
    QVERIFY(!r.pk.InMailbox());
    QVERIFY(r.pk.IsHostMode());
    QCOMPARE(r.pk.ModeCode(), QByteArray("Pt"));
    QCOMPARE(r.form->st.ModeName, QString("PACTOR"));
}

void TransmitEndToEndTest::cqEndsItsTransmission_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("receiving"); // the controller's mode code after
    QTest::newRow("PACTOR unproto") << "PACTOR"
                                    << "Dervalo.CQP" << QByteArray("Pt");
    QTest::newRow("AMTOR FEC") << "AMTOR"
                               << "Dervalo.CQA" << QByteArray("AM");
    QTest::newRow("RTTY") << "RTTY"
                          << "Dervalo.CQB" << QByteArray("BA");
}

void TransmitEndToEndTest::cqEndsItsTransmission() {
    // At the real air speed: the CQ goes out, then the controller and the
    // status line are back to receiving by themselves, so a second CQ calls
    // again instead of ending a transmission still running.
    QFETCH(QString, mode);
    QFETCH(QString, file);
    QFETCH(QByteArray, receiving);
    Rig r(1);
    r.SwitchTo(mode);
    const QByteArray cq =
        mode == "PACTOR" ? "CQ CQ de PA0ABC\rpse k\r" : "CQ CQ DE PA0ABC\rPSE K\r";
    for (int call = 1; call <= 2; ++call) {
        r.CallCQ(file, "CQ CQ de PA0ABC\r\npse k\r\n");
        QVERIFY(!r.runaway);
        const bool back = r.RunUntil(
            [&] {
                return r.pk.ModeCode() == receiving && !r.pk.RttyTransmitting() &&
                       r.form->st.LinkStateText == "STANDBY" && !r.form->st.Transmitting;
            },
            60'000);
        QVERIFY2(back, qPrintable(r.pk.StatusBody() + " / " + r.form->st.LinkStateText));
        QCOMPARE(r.form->Pane5->text(), QString()); // not "TRANSMIT"
        QCOMPARE(r.pk.Transmitted(), cq.repeated(call));
        QVERIFY(r.Idle());
    }
}

void TransmitEndToEndTest::baudotCountsOnlyWhatGoesOut_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("file");
    QTest::newRow("AMTOR FEC") << "AMTOR"
                               << "Dervalo.CQA";
    QTest::newRow("RTTY") << "RTTY"
                          << "Dervalo.CQB";
}

void TransmitEndToEndTest::baudotCountsOnlyWhatGoesOut() {
    // 4,800 characters Baudot has no sign for among the text: they never go
    // on the air nor come back, so they are never outstanding and the file
    // ends by itself.
    QFETCH(QString, mode);
    QFETCH(QString, file);
    Rig r(0);
    r.SwitchTo(mode);
    const QByteArray odd("\t@*<>_[]{}|~^%`\\");
    const QByteArray line = "de pa0abc " + odd + odd + odd;
    r.CallCQ(file, (line + "\r\n").repeated(100));
    QVERIFY(!r.runaway);
    QCOMPARE(r.holds, 0);
    // At most the letters of all lines are ever outstanding (the echo comes
    // a character a frame); counted, the others would pass 3000 and hold.
    QVERIFY2(r.maxPending <= 100 * 10, qPrintable(QString::number(r.maxPending)));
    QVERIFY(r.Idle());
    QCOMPARE(r.pk.Transmitted(), QByteArray("DE PA0ABC \r").repeated(100));
    QVERIFY(!r.Overflowed());
}

QTEST_MAIN(TransmitEndToEndTest)
#include "tst_transmitendtoend.moc"
