// The receive output path: which received bytes are shown and captured, the
// character each byte shows as, and the counts on the status line.
#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include "FormFixture.h"
#include "host/CharTable.h"

namespace {

using Fixture = FormFixture;

} // namespace

class ReceiveOutputTest : public QObject {
    Q_OBJECT
private slots:
    void controlCharactersNeitherShownNorCaptured();
    void highBytes();
    void everyShownByteRoundTrips();
    void frameTextInOneStep();
    void longLineKeptWhole();
    void bufferCountMatchesSavedSize();
    void dumbModeRefreshesCountsPerCharacter();
};

void ReceiveOutputTest::controlCharactersNeitherShownNorCaptured() {
    Fixture f;
    THoofdForm& form = f.Capturing();
    QVERIFY(form.st.LogFileOpen);
    form.st.FileTransmitActive = true;
    form.st.TxPendingCount = 10;
    for (quint8 c : {0x09, 0x07, 0x1B, 0x00, 0x08, 0x7F})
        form.schryf(c);
    QCOMPARE(form.ReceiveWindow->toPlainText(), QString(QChar(0x7F)));
    QCOMPARE(f.ReadFile("capture.log"), QByteArray("\x7F"));
    // Each still counts down the file transmission.
    QCOMPARE(form.st.TxPendingCount, quint16(4));
    // Without a file transmission the count is left alone, even at 0.
    form.st.FileTransmitActive = false;
    form.st.TxPendingCount = 0;
    form.schryf('x');
    QCOMPARE(form.st.TxPendingCount, quint16(0));
}

void ReceiveOutputTest::highBytes() {
    Fixture f;
    THoofdForm& form = f.Capturing();
    for (quint8 c : {0xFF, 0xFE, 0x80, 0x93, 0x81, 0xA0})
        form.schryf(c);
    // The Windows character set: 0x80 the euro sign, 0x93 a left double
    // quote, the unassigned 0x81 itself; 0xFF is not shown.
    QCOMPARE(form.ReceiveWindow->document()->toRawText(),
             QString::fromUtf16(u"\u00FE\u20AC\u201C\u0081\u00A0"));
    QCOMPARE(f.ReadFile("capture.log"), QByteArray("\xFE\x80\x93\x81\xA0"));
}

void ReceiveOutputTest::everyShownByteRoundTrips() {
    Fixture f;
    THoofdForm& form = f.Capturing();
    QByteArray all;
    for (int c = 0x20; c <= 0xFE; ++c)
        all.append(char(c));
    // Through the decoder, as text frames, in two lines.
    f.serial.FeedInput("\x01/" + all + "\r\n\x17\x01/" + all + "\x17");
    form.GETV24Data();
    form.GETV24Data();
    QCOMPARE(form.ReceiveWindow->document()->toRawText(),
             CharTable::ToString(all) + QChar::ParagraphSeparator + CharTable::ToString(all));
    QCOMPARE(f.ReadFile("capture.log"), all + "\r" + all);
    f.prompts.fileAnswers.enqueue("rx.buf");
    form.SaveBufferClick();
    QCOMPARE(f.ReadFile("rx.buf"), all + "\r\n" + all);
}

void ReceiveOutputTest::frameTextInOneStep() {
    // A frame's shown characters go into the window in one insertion, with
    // the same filter, capture and count as one by one.
    Fixture f;
    THoofdForm& form = f.Capturing();
    form.st.FileTransmitActive = true;
    form.st.TxPendingCount = 100;
    QSignalSpy changes(form.ReceiveWindow->document(), &QTextDocument::contentsChange);
    f.serial.FeedInput("\x01"
                       "0ab\x07\r\ncd\xff\xfe\x1b"
                       "e\x17");
    form.GETV24Data();
    QCOMPARE(changes.count(), 1);
    QCOMPARE(form.ReceiveWindow->toPlainText(), QString("ab\ncd\u00FEe"));
    QCOMPARE(f.ReadFile("capture.log"), QByteArray("ab\rcd\xFE"
                                                   "e"));
    QCOMPARE(form.st.TxPendingCount, quint16(100 - 11)); // the line feed reads as 0
}

void ReceiveOutputTest::longLineKeptWhole() {
    // A line without a line end is kept in blocks of its own length limit,
    // so that it costs every later frame no more; the buffer's bytes, its
    // count, the capture file and a pick know no break there.
    Fixture f;
    THoofdForm& form = f.Capturing();
    const QByteArray piece(60, 'x');
    for (int i = 0; i < 50; ++i)
        f.serial.FeedInput("\x01/" + piece + "\x17");
    f.serial.FeedInput("\x01"
                       "0\rend\x17");
    while (form.V24Data())
        form.SchryfintervalTimer();
    const QTextDocument* doc = form.ReceiveWindow->document();
    QCOMPARE(doc->blockCount(), 4); // 1024 + 1024 + 952, then "end"
    const QByteArray line = piece.repeated(50);
    QCOMPARE(f.ReadFile("capture.log"), line + "\rend");
    form.StatusAanvraagTimerTimer();
    QCOMPARE(form.Pane6->text(), QString("Buffer: 3005"));
    f.prompts.fileAnswers.enqueue("rx.buf");
    form.SaveBufferClick();
    QCOMPARE(f.ReadFile("rx.buf"), line + "\r\nend");

    // A pick over a break that only goes on with the line, and one over a
    // line end.
    form.st.LogBookOn = true;
    QTextCursor c(form.ReceiveWindow->document());
    c.setPosition(1000);
    c.setPosition(1100, QTextCursor::KeepAnchor);
    form.ReceiveWindow->setTextCursor(c);
    form.ReceiveWindowDblClick();
    QCOMPARE(form.st.PickedCall, QString(99, QLatin1Char('x')));
    c.setPosition(doc->characterCount() - 6);
    c.setPosition(doc->characterCount() - 1, QTextCursor::KeepAnchor);
    form.ReceiveWindow->setTextCursor(c);
    form.ReceiveWindowDblClick();
    QCOMPARE(form.st.PickedCall, QString("x\r\nend"));

    // Cleared, the count starts again.
    form.MenuClearRxScreenClick();
    f.serial.FeedInput("\x01/ab\r\x17");
    form.SchryfintervalTimer();
    form.StatusAanvraagTimerTimer();
    QCOMPARE(form.Pane6->text(), QString("Buffer: 4"));
}

void ReceiveOutputTest::bufferCountMatchesSavedSize() {
    Fixture f;
    THoofdForm& form = f.Capturing();
    form.RefreshCountPanes();
    QCOMPARE(form.Pane6->text(), QString("Buffer: 0"));
    for (char c : QByteArray("AB\r\rCD\r"))
        if (c) form.schryf(quint8(c));
    form.StatusAanvraagTimerTimer();
    // Four characters and three line breaks of two.
    QCOMPARE(form.Pane6->text(), QString("Buffer: 10"));
    f.prompts.fileAnswers.enqueue("rx.buf");
    form.SaveBufferClick();
    QCOMPARE(f.ReadFile("rx.buf").size(), 10);
}

void ReceiveOutputTest::dumbModeRefreshesCountsPerCharacter() {
    Fixture f;
    THoofdForm& form = f.Capturing();
    form.st.DumbMode = true;
    f.serial.FeedInput("waiting");
    form.schryf('A');
    QCOMPARE(form.Pane6->text(), QString("Buffer: 1"));
    QCOMPARE(form.Pane7->text(), QString("Data buffer 7"));
    form.schryf('\x07'); // not shown, counted all the same
    form.schryf('\r');
    QCOMPARE(form.Pane6->text(), QString("Buffer: 3"));
    // In HOST mode the status timer does it instead.
    form.st.DumbMode = false;
    form.schryf('B');
    QCOMPARE(form.Pane6->text(), QString("Buffer: 3"));
}

QTEST_MAIN(ReceiveOutputTest)
#include "tst_receiveoutput.moc"
