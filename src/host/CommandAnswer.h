#pragma once

#include <QByteArray>
#include <QtGlobal>

// The unit's answer to one plain command line, judged from the bytes that
// came back after it and the time: a unit still answering the line before
// refuses the next one with "?What?", so each line waits until the answer
// has come whole — the prompt ("cmd:", or "MBX>" in the mailbox) and then
// a short quiet time — within a bound. Pure: bytes and milliseconds in, a
// verdict out. Bytes are looked at in their low seven bits, so a unit still
// at seven bits with parity is understood as well.
class CommandAnswer {
public:
    // What ends the answer: the prompt, or (for "host on" and the start of
    // a mailbox message, which have no prompt) quiet alone.
    enum class Expect { Prompt, Quiet };
    enum class Verdict { Waiting, Taken, Refused, Unanswered };
    // Quiet after the prompt before the next line may go.
    static constexpr quint32 kQuietMs = 100;
    // The longest wait for an answer.
    static constexpr quint32 kBoundMs = 3000;

    void Start(quint32 nowMs, Expect expect);
    void Take(quint8 byte, quint32 nowMs);
    Verdict Judge(quint32 nowMs) const;
    bool PromptSeen() const { return prompt_; }

private:
    Expect expect_ = Expect::Prompt;
    quint32 start_ = 0;
    quint32 last_ = 0;
    QByteArray tail_; // the last bytes, seven bits each
    bool prompt_ = false;
    bool refused_ = false;
};
