#include "Pk232Model.h"

#include "ModelShared.h"

using namespace pk232sim;

// ---------------------------------------------------------------- as strict as a unit

namespace {
// The commands a unit without the PACTOR option does not know: on the
// command line by their leading letters, in HOST mode by their mnemonics.
const char* const kPactorWords[] = {"MYPTCALL", "PTHUFF", "PTOVER", "PACTOR"};
const char* const kPactorMnemonics[] = {"Pt", "PN", "PD", "PG"};
} // namespace

bool Pk232Model::Answering() const {
    return answeringUntil_ && Before(now_, *answeringUntil_);
}

void Pk232Model::Answered(int answerBytes) {
    // The unit is busy until its answer is out on the line.
    const quint32 lineMs = lineRate_ > 0 ? quint32((qint64(answerBytes) * 1000 + lineRate_ - 1) / lineRate_) : 0;
    answeringUntil_ = now_ + kLineWorkMs + lineMs;
}

bool Pk232Model::RefuseEarlyLine(const QByteArray& line) {
    const bool early = lineEarly_;
    lineEarly_ = false;
    if (!early || line.isEmpty()) return false;
    RefuseLine(line);
    return true;
}

void Pk232Model::RefuseLine(const QByteArray& line) {
    AppendBounded(refused_, line, kMaxLog);
    EmitPrompt("?What?");
}

bool Pk232Model::IsPactorCommand(const QByteArray& word) const {
    const QByteArray upper = word.toUpper();
    for (const char* name : kPactorWords) {
        if (upper.size() >= 3 && QByteArray(name).startsWith(upper)) return true;
    }
    for (const char* mnemonic : kPactorMnemonics) {
        if (word == mnemonic) return true;
    }
    return false;
}

void Pk232Model::SetPactorOption(bool on) {
    pactorOption_ = on;
    if (!on && IsPactor()) {
        ClearLink();
        SetMode(Mode::AmtorStandby);
    }
}

bool Pk232Model::HostPolled() const {
    return IsOn(params_.value("HPOLL"));
}

bool Pk232Model::HeldForPoll(quint8 control) const {
    // Replies to commands come at once; everything else waits for a poll.
    return hostMode_ && HostPolled() && control != kCtlCommand;
}

void Pk232Model::Poll() {
    if (polled_.isEmpty()) {
        EmitFrame(kCtlCommand, QByteArray("GG\0", 3));
        return;
    }
    Emit(polled_.takeFirst()); // one block for each poll
}
