// The verdict on one command line's answer: the prompt and a quiet time,
// "?What?" as a refusal, seven bits with parity, the bound.
#include <QtTest>

#include "host/CommandAnswer.h"

class CommandAnswerTest : public QObject {
    Q_OBJECT
private slots:
    void verdicts();
};

namespace {
using V = CommandAnswer::Verdict;
void Feed(CommandAnswer& a, const QByteArray& bytes, quint32 at) {
    for (char c : bytes)
        a.Take(quint8(c), at);
}
} // namespace

void CommandAnswerTest::verdicts() {
    const quint32 q = CommandAnswer::kQuietMs;
    // Taken: the prompt is the last thing said and the line stays quiet.
    CommandAnswer a;
    a.Start(1000, CommandAnswer::Expect::Prompt);
    QCOMPARE(a.Judge(1000 + q), V::Waiting); // nothing yet
    Feed(a, "AWL 8\r\ncmd:", 1010);
    QCOMPARE(a.Judge(1010 + q - 1), V::Waiting);
    QCOMPARE(a.Judge(1010 + q), V::Taken);
    // More after a prompt (a restart's banner and its prompt) is waited for.
    a.Start(2000, CommandAnswer::Expect::Prompt);
    Feed(a, "\r\ncmd:\r\nPK-232", 2000);
    QCOMPARE(a.Judge(2000 + q), V::Waiting);
    Feed(a, "\r\ncmd:", 2050);
    QCOMPARE(a.Judge(2050 + q), V::Taken);
    // Refused, also in the mailbox; at seven bits with even parity too.
    a.Start(3000, CommandAnswer::Expect::Prompt);
    Feed(a, "\r\n?What?\r\nMBX>", 3000);
    QCOMPARE(a.Judge(3000 + q), V::Refused);
    a.Start(4000, CommandAnswer::Expect::Prompt);
    Feed(a, "\x8d\x0a?\xd7\xe8\xe1t?\x8d\x0a\x63\xed\xe4:", 4000);
    QCOMPARE(a.Judge(4000 + q), V::Refused);
    // A silent unit: unanswered once the bound has gone.
    a.Start(5000, CommandAnswer::Expect::Prompt);
    QCOMPARE(a.Judge(5000 + CommandAnswer::kBoundMs - 1), V::Waiting);
    QCOMPARE(a.Judge(5000 + CommandAnswer::kBoundMs), V::Unanswered);
    // A unit that never falls quiet is not answered either.
    a.Start(6000, CommandAnswer::Expect::Prompt);
    for (quint32 t = 6000; t < 6000 + CommandAnswer::kBoundMs; t += 10)
        Feed(a, "x", t);
    QCOMPARE(a.Judge(6000 + CommandAnswer::kBoundMs), V::Unanswered);
    // "host on": quiet alone is its answer, unless it was refused.
    a.Start(7000, CommandAnswer::Expect::Quiet);
    QCOMPARE(a.Judge(7000 + q), V::Taken);
    a.Start(8000, CommandAnswer::Expect::Quiet);
    Feed(a, "\r\n?What?\r\ncmd:", 8005);
    QCOMPARE(a.Judge(8005 + q), V::Refused);
}

QTEST_GUILESS_MAIN(CommandAnswerTest)
#include "tst_commandanswer.moc"
