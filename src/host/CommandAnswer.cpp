#include "host/CommandAnswer.h"

namespace {
constexpr qsizetype kTail = 8;
} // namespace

void CommandAnswer::Start(quint32 nowMs, Expect expect) {
    expect_ = expect;
    start_ = nowMs;
    last_ = nowMs;
    tail_.clear();
    prompt_ = false;
    refused_ = false;
}

void CommandAnswer::Take(quint8 byte, quint32 nowMs) {
    last_ = nowMs;
    tail_.append(char(byte & 0x7F));
    if (tail_.size() > kTail) tail_.remove(0, tail_.size() - kTail);
    if (tail_.endsWith("?What?")) refused_ = true;
    // The prompt counts only as the last thing said: more after it (a
    // banner, a second answer) is waited for as well.
    prompt_ = tail_.endsWith("cmd:") || tail_.endsWith("MBX>");
}

CommandAnswer::Verdict CommandAnswer::Judge(quint32 nowMs) const {
    const bool quiet = nowMs - last_ >= kQuietMs;
    const bool complete = expect_ == Expect::Quiet || prompt_;
    if (quiet && complete) return refused_ ? Verdict::Refused : Verdict::Taken;
    if (nowMs - start_ >= kBoundMs) return refused_ ? Verdict::Refused : Verdict::Unanswered;
    return Verdict::Waiting;
}
