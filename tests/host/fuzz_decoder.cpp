// Fuzz target: the receive decoder, in the real main window on the in-memory
// line and the virtual clock, run by the write-timer tick. Each input is a
// batch of 50 frames delivered at once: text, echo, monitor, status replies,
// link messages, frames with any control byte, empty frames, and damaged
// ones (bytes flipped, inserted, dropped, an unescaped start byte inside, a
// lone DLE at the end, the end byte missing, a frame many KB long without
// end), some batches read while the receive hold is on, in the dumb-terminal
// mode or during a file transmission.
//
// After every batch: every tick kept within its time, the ticks read all that
// was waiting, the state stays within its bounds, the receive buffer grew by
// no more than the batch could show, a file transmission's count only fell,
// and a good frame after the batch is shown as sent.
#include <QApplication>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "FormFixture.h"
#include "FuzzDriver.h"
#include "host/Frames.h"
#include "station/Evening.h"

namespace {

constexpr int kFramesPerBatch = 50;
// The longest a tick may take: its budget, then the frame that was begun
// (its own limit and the wait for a DLE's partner), and one 200 ms pause of a
// link coming up.
constexpr quint64 kTickLimit =
    THoofdForm::kTickBudgetMs + THoofdForm::kCallTimeLimitMs + 201 + 10;

enum Flag : quint8 { Hold = 1, ScrollBack = 2, Dumb = 4, Transmit = 8 };

QByteArray Text(Fuzz::Random& r, qsizetype n) {
    QByteArray t;
    for (qsizetype i = 0; i < n; ++i)
        t += r.OneIn(8) ? r.SpecialByte() : char(r.Between(0x20, 0x7E));
    return t;
}

QByteArray Frame(Fuzz::Random& r) {
    static const char* const kCodes[] = {"Pt", "PN", "PD", "PG", "AM", "AL", "FE", "AC", "BA"};
    switch (r.Below(12)) {
    case 0:
        return QByteArray("\x01\x17", 2); // empty
    case 1:
        return r.Bytes(r.Below(20)); // noise
    case 2: {                        // any control byte
        QByteArray f(1, Frames::kStart);
        f += r.Byte();
        return f + Frames::Escape(r.Bytes(r.Below(10))) + Frames::kEnd;
    }
    case 3:
    case 4: {
        QByteArray reply = "OP" + QByteArray(r.Pick(kCodes)) + char('0' + r.Below(7));
        reply += r.OneIn(3) ? "S" : "R";
        reply += r.OneIn(2) ? "01" : "x0-/";
        return "\x01O" + Frames::Escape(reply) + Frames::kEnd;
    }
    case 5:
        return "\x01P" + Frames::Escape(" CONNECTED to " + Text(r, r.Below(12))) + Frames::kEnd;
    default: {
        static const char kText[] = {Frames::kRxEcho, Frames::kRxText, Frames::kRxMonitor};
        QByteArray f(1, Frames::kStart);
        f += r.Pick(kText);
        return f + Frames::Escape(Text(r, r.Below(60)) + "\r") + Frames::kEnd;
    }
    }
}

QByteArray Damage(Fuzz::Random& r, QByteArray f) {
    const qsizetype at = qsizetype(r.Below(quint64(f.size()) + 1));
    switch (r.Below(6)) {
    case 0:
        if (at < f.size()) f[at] = char(f[at] ^ char(1u << r.Below(8)));
        break;
    case 1:
        f.insert(at, r.SpecialByte()); // an unescaped start or end byte, a DLE ...
        break;
    case 2:
        f.remove(at, 1);
        break;
    case 3:
        f.chop(1); // no end byte
        break;
    case 4:
        f += Frames::kDle; // a lone DLE
        break;
    default:
        f = f.left(2) + Text(r, r.Between(4000, 40000)); // many KB, no end
        break;
    }
    return f;
}

QByteArray MakeBatch(Fuzz::Random& r) {
    quint8 flags = 0;
    if (r.OneIn(4)) flags |= Hold;
    if ((flags & Hold) && r.OneIn(2)) flags |= ScrollBack;
    if (r.OneIn(16)) flags |= Dumb;
    if (r.OneIn(8)) flags |= Transmit;
    QByteArray batch(1, char(flags));
    batch += char(r.Byte()); // the count still to come back, in units of 8
    for (int i = 0; i < kFramesPerBatch; ++i) {
        QByteArray f = Frame(r);
        if (r.OneIn(6)) f = r.OneIn(60) || f.size() < 3 ? Damage(r, f) : Damage(r, f).left(200);
        batch += f;
    }
    return batch;
}

struct Window {
    FormFixture f;
    THoofdForm* form = nullptr;
    int marks = 0;
};
Window* window = nullptr;

int DocumentSize(THoofdForm& form) {
    return form.ReceiveWindow->document()->characterCount();
}

// Reads as the write timer does until nothing waits; fails when a tick takes
// too long or the ticks do not end.
QString Drain(Window& w, qsizetype fed) {
    for (qsizetype ticks = 0; w.form->V24Data(); ++ticks) {
        FUZZ_EXPECT(ticks <= fed, QStringLiteral("%1 ticks for %2 bytes").arg(ticks).arg(fed));
        const quint64 before = w.f.clock.Elapsed();
        w.form->SchryfintervalTimer();
        const quint64 spent = w.f.clock.Elapsed() - before;
        FUZZ_EXPECT(spent <= kTickLimit, QStringLiteral("a tick of %1 ms").arg(spent));
    }
    return QString();
}

QString CheckState(const DervaloState& st) {
    static const QStringList kModes = {"PACTOR", "AMTOR", "RTTY", ""};
    static const QStringList kStates = {"LISTEN", "UNPRO", "CALLING", "CONNECT",
                                        "FEC",    "R",     "STANDBY", ""};
    FUZZ_EXPECT(st.StatusReplyText.size() <= 20, st.StatusReplyText);
    FUZZ_EXPECT(st.LinkMessageText.size() <= 40, st.LinkMessageText);
    for (const QChar c : st.StatusReplyText + st.LinkMessageText)
        FUZZ_EXPECT(c.unicode() < 0x80 && Frames::IsKept(quint8(c.unicode())), st.StatusReplyText);
    FUZZ_EXPECT(kModes.contains(st.ModeName), st.ModeName);
    FUZZ_EXPECT(kStates.contains(st.LinkStateText), st.LinkStateText);
    FUZZ_EXPECT(st.LinkPhaseText.size() <= 13, st.LinkPhaseText);
    FUZZ_EXPECT(st.HisCall.size() <= 8, st.HisCall);
    FUZZ_EXPECT(st.CompressionText.isEmpty() || st.CompressionText == "Huff" ||
                    st.CompressionText == "Ascii",
                st.CompressionText);
    return QString();
}

QString Check(const QByteArray& batch) {
    if (batch.size() < 2) return QString();
    Window& w = *window;
    THoofdForm& form = *w.form;
    DervaloState& st = form.st;
    const quint8 flags = quint8(batch[0]);
    const QByteArray bytes = batch.mid(2);
    st.HoldReceive = flags & Hold;
    st.ScrollBackMode = flags & ScrollBack;
    st.DumbMode = flags & Dumb;
    st.FileTransmitActive = flags & Transmit;
    st.TxPendingCount = st.FileTransmitActive ? quint16(quint8(batch[1]) * 8) : 0;
    const quint16 pendingCount = st.TxPendingCount;
    const qsizetype docBefore = DocumentSize(form);
    const qsizetype heldBefore = st.PendingReceiveText.size();
    const qint64 eventsBefore = form.evening_->eventChars;

    w.f.serial.FeedInput(bytes);
    QString problem = Drain(w, bytes.size());
    if (!problem.isEmpty()) return problem;
    problem = CheckState(st);
    if (!problem.isEmpty()) return problem;

    // Only what the batch carried (and text held before) reaches the window
    // or the held text, besides the event lines of the links it reported; a
    // long line is kept in blocks of 1024 characters.
    qsizetype showable = 0;
    for (const char c : bytes)
        showable += Frames::IsShown(quint8(c)) || Frames::IsHeld(quint8(c));
    const qsizetype grown = DocumentSize(form) - docBefore + st.PendingReceiveText.size() -
                            heldBefore - (form.evening_->eventChars - eventsBefore);
    FUZZ_EXPECT(grown <= showable + showable / 1024 + 2,
                QStringLiteral("grew by %1, at most %2 could show").arg(grown).arg(showable));
    // A file transmission's count only falls, never wraps.
    FUZZ_EXPECT(st.TxPendingCount <= pendingCount,
                QStringLiteral("%1 after %2").arg(st.TxPendingCount).arg(pendingCount));

    // Out of the hold: a good frame after whatever came is shown as sent.
    st.HoldReceive = st.ScrollBackMode = st.DumbMode = st.FileTransmitActive = false;
    if (DocumentSize(form) > 200000) form.ReceiveWindow->clear();
    const QByteArray mark = "#" + QByteArray::number(++w.marks);
    // An end byte first: a frame the batch left open (its last byte maybe a
    // DLE whose byte is still to come) ends there.
    w.f.serial.FeedInput("\x17\x01"
                         "0\r" +
                         mark + "\r\x17");
    problem = Drain(w, 1000);
    if (!problem.isEmpty()) return problem;
    FUZZ_EXPECT(st.PendingReceiveText.isEmpty(), QString());
    QTextCursor end(form.ReceiveWindow->document());
    end.movePosition(QTextCursor::End);
    end.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor, int(mark.size()) + 2);
    const QString tail = end.selectedText();
    FUZZ_EXPECT(tail == QChar::ParagraphSeparator + QString::fromLatin1(mark) +
                            QChar::ParagraphSeparator,
                tail);
    return QString();
}

void Setup(int& argc, char** argv) {
    new QApplication(argc, argv);
    window = new Window;
    window->f.WriteFile("Dervalo.INI", FormFixture::Settings());
    window->form = &window->f.Create();
}

} // namespace

// 2000 batches of 50 frames: 100,000 frames.
DERVALO_FUZZ_MAIN(Setup, MakeBatch, Check, 0xDEC0, 2000)
