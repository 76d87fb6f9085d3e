// A file with one line of 20,000 bytes sent through the dumb terminal to the
// simulator program reading at the pace of a 9600-baud line: the terminal's
// buffer fills and the program waits for it instead of reporting a port
// error, and every byte arrives in order. A second file sent at once, while
// the buffer is still full, is broken off with Escape after 300 lines: what
// went out arrives whole, the controller's buffer is cleared, nothing
// follows.
#include <QtTest>

#include "PacedLine.h"

class PacedLineTest : public QObject {
    Q_OBJECT
private slots:
    void longLineThenEscapeWhileTheBufferIsFull();
};

void PacedLineTest::longLineThenEscapeWhileTheBufferIsFull() {
    if (!LiveStation::SimulatorBuilt()) QSKIP("the simulator program is not built");
    LiveStation s;
    QVERIFY(PacedLine::StartInTheDumbTerminal(s));
    THoofdForm& w = *s.form;

    // 20,000 bytes that differ from piece to piece.
    static const char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxy";
    QByteArray longLine;
    for (int i = 0; i < 20000; ++i)
        longLine += kAlphabet[(i * 7 + i / 61) % 61];
    PacedLine::Transmit(s, "long.txt", longLine + "\r\n");
    QVERIFY(!w.st.FileTransmitActive);

    // The next file goes out at once: the buffer is still full.
    QList<QByteArray> lines;
    for (int i = 0; i < 5000; ++i)
        lines << "L" + QByteArray::number(i);
    int questions = 0;
    s.prompts.escapeScript = [&] {
        // The first question forgets an earlier press; each later one is a
        // pass that sends a line, this one included.
        return ++questions == 301;
    };
    PacedLine::Transmit(s, "short.txt", PacedLine::Joined(lines));
    s.prompts.escapeScript = {};
    QVERIFY(!w.st.FileTransmitActive);

    const QByteArray expected =
        PacedLine::Plain({longLine}) + PacedLine::Plain(lines.mid(0, 300)) + "TClear\r";
    const QByteArray got = PacedLine::Arrived(s, expected);
    QVERIFY2(got.size() >= expected.size(),
             qPrintable(QString("%1 of %2 bytes arrived").arg(got.size()).arg(expected.size())));
    QVERIFY(got.left(expected.size()) == expected);
    // Nothing of the file after the clear.
    QVERIFY2(!got.mid(expected.size()).contains("L300\r"), got.mid(expected.size()).constData());
    QVERIFY2(s.prompts.Boxes().isEmpty(), qPrintable(s.prompts.Boxes().join('\n')));
}

QTEST_MAIN(PacedLineTest)
#include "tst_pacedline.moc"
