// Plain command lines that wait for the unit's answer, HOST commands that
// wait for their reply, and where the unit starts listening (PACTOR, or
// AMTOR on a unit without the PACTOR option).
#include <QAction>
#include <utility>

#include "host/CommandAnswer.h"
#include "host/Frames.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"
#include "shell/Widgets.h"

bool THoofdForm::SendCommandLine(const QByteArray& command, CommandAnswer::Expect expect,
                                 bool show, bool sevenBits) {
    const CommandAnswer::Verdict verdict = AskCommandLine(command, expect, show, sevenBits);
    if (verdict == CommandAnswer::Verdict::Taken) return true;
    ReportCommandLine(command, verdict);
    return false;
}

CommandAnswer::Verdict THoofdForm::AskCommandLine(const QByteArray& command,
                                                  CommandAnswer::Expect expect, bool show,
                                                  bool sevenBits) {
    // The answer is read here, byte by byte, so that nothing of it is taken
    // for the answer to the next line. In the dumb terminal it is shown as
    // well, as the dumb reader would show it.
    CommandAnswer::Verdict verdict = CommandAnswer::Verdict::Unanswered;
    for (int attempt = 0; attempt < 2; ++attempt) {
        Send(command + Frames::LineEnd);
        // With the line down nothing can answer; the "Port Error" box has
        // said why, and the entry is made again once the line is back.
        if (sendOutage_) return CommandAnswer::Verdict::Taken;
        CommandAnswer answer;
        answer.Start(clock_.TickCount(), expect);
        for (;;) {
            while (V24Data()) {
                int b = V24Read();
                if (b == kNoByte) break;
                answer.Take(quint8(b), clock_.TickCount());
                if (sevenBits) b &= 0x7F;
                if (show && b != 0x0A && Frames::IsDumbPassed(quint8(b))) schryf(quint8(b));
            }
            verdict = answer.Judge(clock_.TickCount());
            if (verdict != CommandAnswer::Verdict::Waiting) break;
            Delay(1);
        }
        // Only a refusal is worth a second try: a unit that said nothing
        // within the bound will not answer the same line either.
        if (verdict != CommandAnswer::Verdict::Refused) break;
    }
    return verdict;
}

void THoofdForm::ReportCommandLine(const QByteArray& command, CommandAnswer::Verdict verdict) {
    commandLineFailed_ = true;
    const QString name = QString::fromLatin1(command);
    StopTimers();
    if (verdict == CommandAnswer::Verdict::Refused) {
        Warning(QStringLiteral("The PK-232 refused the command \"%1\" twice (?What?). Nothing "
                               "after it was sent.")
                    .arg(name));
    } else {
        Warning(QStringLiteral("The PK-232 did not answer the command \"%1\". Nothing after it "
                               "was sent. Check the cable, the port and the baud rate.")
                    .arg(name));
    }
    StartTimers();
}

bool THoofdForm::SendCommandLines(std::initializer_list<QByteArray> commands) {
    for (const QByteArray& command : commands) {
        if (!SendCommandLine(command)) return false;
    }
    return true;
}

void THoofdForm::TakeHostReplyByte(int kind, int b) {
    if (kind == 1 && hostReply_.size() < kMaxHostReply) hostReply_.append(char(b));
}

void THoofdForm::HostReplyEnded(int kind) {
    if (kind != 1) return;
    // The check's answer carries a return code; the check echoed back by a
    // unit at its command line carries none.
    if (hostCheckWaiting_ && hostReply_.startsWith("GG")) hostCheckAnswer_ = hostReply_.size() > 2;
    if (hostReplies_.size() >= kMaxHostReplies) hostReplies_.removeFirst();
    hostReplies_.append(std::exchange(hostReply_, QByteArray()));
}

int THoofdForm::SendHostCommand(const QByteArray& command) {
    // The unit answers every command; the next one waits for that reply
    // (read by the ordinary frame reader, so received text meanwhile is
    // shown as ever), within a bound.
    hostReplies_.clear();
    hostReply_.clear();
    Send(Frames::CommandFrame(command));
    if (sendOutage_ || !st.HostModeActive || st.DumbMode) return kNoReply;
    const QByteArray mnemonic = command.left(2);
    const quint32 start = clock_.TickCount();
    for (;;) {
        for (const QByteArray& reply : std::as_const(hostReplies_)) {
            if (reply.startsWith(mnemonic)) return reply.size() > 2 ? quint8(reply.at(2)) : 0;
        }
        if (clock_.TickCount() - start >= kHostReplyMs) return kNoReply;
        if (V24Data()) {
            GETV24Data();
        } else {
            Delay(1);
        }
    }
}

void THoofdForm::StartListening() {
    // A unit without the PACTOR option knows no PACTOR command (the
    // parameter block's PACTOR lines were refused, or PACTOR standby is
    // answered "unknown command"): it listens in AMTOR, said once.
    SwitchToPactor();
    if (noPactor_) {
        if (!pactorWarned_) {
            pactorWarned_ = true;
            StopTimers();
            Warning(QStringLiteral("This PK-232 has no PACTOR option"));
            StartTimers();
        }
        TabBalk->SetPage(1); // the AMTOR page; its change readies AMTOR
        st.ModeName = QStringLiteral("AMTOR");
    }
    SwitchListenOn();
}
