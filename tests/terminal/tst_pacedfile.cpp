// A file of 5,000 short lines sent through the dumb terminal to the
// simulator program reading at the pace of a 9600-baud line: once the
// terminal's buffer is full every line waits for room, none is reported as
// a port error, and every line arrives, in order.
#include <QtTest>

#include "PacedLine.h"

class PacedFileTest : public QObject {
    Q_OBJECT
private slots:
    void fiveThousandShortLines();
};

void PacedFileTest::fiveThousandShortLines() {
    if (!LiveStation::SimulatorBuilt()) QSKIP("the simulator program is not built");
    LiveStation s;
    QVERIFY(PacedLine::StartInTheDumbTerminal(s));
    THoofdForm& w = *s.form;

    // 25,000 bytes on the line, more than the terminal holds.
    QList<QByteArray> lines;
    for (int i = 0; i < 5000; ++i)
        lines << QByteArray::number(i).rightJustified(4, '0');
    PacedLine::Transmit(s, "short.txt", PacedLine::Joined(lines));
    QVERIFY(!w.st.FileTransmitActive);

    const QByteArray expected = PacedLine::Plain(lines);
    const QByteArray got = PacedLine::Arrived(s, expected);
    QVERIFY2(got.size() >= expected.size(),
             qPrintable(QString("%1 of %2 bytes arrived").arg(got.size()).arg(expected.size())));
    QVERIFY(got.left(expected.size()) == expected);
    QVERIFY2(s.prompts.Boxes().isEmpty(), qPrintable(s.prompts.Boxes().join('\n')));
}

QTEST_MAIN(PacedFileTest)
#include "tst_pacedfile.moc"
