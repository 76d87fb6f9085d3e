// The operator's own text (the echo of what this side sends) in a colour of
// its own in the receive window: the same bytes everywhere as received text,
// the colour kept in "Dervalo-extra.ini", never in "Dervalo.INI".
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QtTest>

#include "FormFixture.h"
#include "shell/ExtraSettings.h"

namespace {

using Fixture = FormFixture;

// The receive window as runs of text with their colour: "own" for the echo
// colour, "text" for the window's text colour, lines split by "|".
QStringList Runs(const THoofdForm& form) {
    QStringList runs;
    for (QTextBlock b = form.ReceiveWindow->document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            QString kind = QStringLiteral("text");
            if (f.hasProperty(QTextFormat::ForegroundBrush))
                kind = f.foreground().color() == form.st.EchoColour ? QStringLiteral("own")
                                                                    : f.foreground().color().name();
            runs << kind + ":" + it.fragment().text();
        }
        if (b.next().isValid()) runs << QStringLiteral("|");
    }
    return runs;
}

} // namespace

class OwnTextTest : public QObject {
    Q_OBJECT
private slots:
    void echoShownInOwnColourSameBytes();
    void heldTextKeepsItsKind();
    void colourKeptInItsOwnFile();
    void extraFileLines();
};

void OwnTextTest::echoShownInOwnColourSameBytes() {
    Fixture f;
    THoofdForm& form = f.Capturing();
    QCOMPARE(form.st.EchoColour, ExtraSettings::DefaultEchoColour());
    // Echo (0x2F), heard text (0x30), monitor text (0x3F), echo again.
    f.serial.FeedInput("\x01/me\r\x17\x01"
                       "0you\x17\x01?mon\x17\x01/k\x17");
    form.SchryfintervalTimer();
    QCOMPARE(Runs(form), QStringList({"own:me", "|", "text:youmon", "own:k"}));
    QCOMPARE(f.ReadFile("capture.log"), QByteArray("me\ryoumonk"));
    f.prompts.fileAnswers.enqueue("rx.buf");
    form.SaveBufferClick();
    QCOMPARE(f.ReadFile("rx.buf"), QByteArray("me\r\nyoumonk"));

    // Moving the transmit bar parks the text and puts it back, colours too.
    form.TransmitbalkMouseDown();
    QVERIFY(form.ReceiveWindow->toPlainText().isEmpty());
    form.TransmitbalkMouseUp();
    QCOMPARE(Runs(form), QStringList({"own:me", "|", "text:youmon", "own:k"}));
}

void OwnTextTest::heldTextKeepsItsKind() {
    Fixture f;
    THoofdForm& form = f.Capturing();
    form.st.HoldReceive = true; // the operator reads back
    form.st.ScrollBackMode = true;
    f.serial.FeedInput("\x01/AB\x17\x01"
                       "0cd\x17\x01/E\x17");
    form.SchryfintervalTimer();
    QCOMPARE(form.st.PendingReceiveText, QByteArray("ABcdE"));
    QVERIFY(form.ReceiveWindow->toPlainText().isEmpty());
    form.st.HoldReceive = false;
    form.st.ScrollBackMode = false;
    f.serial.FeedInput("\x01"
                       "0f\x17");
    form.SchryfintervalTimer();
    QCOMPARE(Runs(form), QStringList({"own:AB", "text:cd", "own:E", "text:f"}));
    QCOMPARE(f.ReadFile("capture.log"), QByteArray("ABcdEf"));
    QVERIFY(form.st.PendingReceiveKinds.isEmpty());
}

void OwnTextTest::colourKeptInItsOwnFile() {
    const QByteArray ini = FormFixture::Settings();
    {
        FormFixture f;
        f.WriteFile("Dervalo.INI", ini);
        THoofdForm& form = f.Create();
        f.prompts.colorAnswers.enqueue(QColor(0x12, 0x34, 0x56));
        form.MenuEchoColorClick();
        QCOMPARE(f.ReadFile("Dervalo-extra.ini"), QByteArray("EchoColour=#123456\r\n"));
        f.serial.FeedInput("\x01/x\x17");
        form.SchryfintervalTimer();
        QCOMPARE(Runs(form), QStringList({"own:x"}));
        QCOMPARE(form.st.EchoColour, QColor(0x12, 0x34, 0x56));
        // Cancel keeps it.
        form.MenuEchoColorClick();
        QCOMPARE(form.st.EchoColour, QColor(0x12, 0x34, 0x56));

        // The next start takes it back; the settings file is not touched.
        f.form.reset();
        THoofdForm& again = f.Create();
        QCOMPARE(again.st.EchoColour, QColor(0x12, 0x34, 0x56));
        QCOMPARE(f.ReadFile("Dervalo.INI"), ini);
        QVERIFY(f.prompts.Boxes().isEmpty());
    }
    // A broken file, or one in another letter case, with no message.
    for (const QByteArray& broken :
         {QByteArray("EchoColour=#12345"), QByteArray("EchoColour=red"),
          QByteArray("\0\xff\x01", 3), QByteArray("EchoColour #123456")}) {
        FormFixture f;
        f.WriteFile("Dervalo.INI", ini);
        f.WriteFile("DERVALO-EXTRA.INI", broken);
        THoofdForm& form = f.Create();
        QCOMPARE(form.st.EchoColour, ExtraSettings::DefaultEchoColour());
        QVERIFY(f.prompts.Boxes().isEmpty());
    }
}

void OwnTextTest::extraFileLines() {
    // Other lines stay; the colour line is replaced; the last one counts.
    const QByteArray before = "Other=1\r\nEchoColour=#000001\n\nEchoColour = #00ff00 \r\n";
    QCOMPARE(ExtraSettings::EchoColourIn(before), QColor(0, 255, 0));
    const QByteArray after = ExtraSettings::WithEchoColour(before, QColor(1, 2, 3));
    QCOMPARE(after, QByteArray("Other=1\r\nEchoColour=#010203\r\n"));
    QCOMPARE(ExtraSettings::EchoColourIn(after), QColor(1, 2, 3));
    QCOMPARE(ExtraSettings::EchoColourIn(QByteArray()), ExtraSettings::DefaultEchoColour());
}

QTEST_MAIN(OwnTextTest)
#include "tst_owntext.moc"
