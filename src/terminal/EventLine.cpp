// Link events as lines of their own in the receive window, and the UTC time
// at the start of received lines.
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCharFormat>
#include <QTextBlock>
#include <QTextCursor>

#include <QFileInfo>

#include "host/CharTable.h"
#include "host/Frames.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"
#include "station/Evening.h"
#include "terminal/ReceiveLines.h"

namespace {
// Event lines stand out in dark blue.
const QColor kEventColour(0x00, 0x30, 0xA0);
} // namespace

QDateTime THoofdForm::NowUtc() {
    return clock().Now().toUTC();
}

void THoofdForm::ShowLinkEvent(const QString& text) {
    // A line of its own, in the window and the capture file. A received line
    // half shown is not cut in two: in the window the event stands just
    // above it, and the received text goes on where it was; the capture
    // file, written as the text comes, gets the event once that line ends
    // (or when the capture closes).
    const QString line = LinkEvents::Line(NowUtc(), text);
    // The window itself tells whether its last line holds anything (it may
    // have been cleared or filled by other means).
    const bool midLine = !ReceiveWindow->document()->lastBlock().text().isEmpty();
    // A window showing its end keeps showing it; one read back stays put.
    QScrollBar* bar = ReceiveWindow->verticalScrollBar();
    const bool following = bar->value() >= bar->maximum() - 1;
    QTextCharFormat format;
    format.setForeground(kEventColour);
    ReceiveLines::InsertLine(ReceiveWindow->document(), line, format);
    if (following) bar->setValue(bar->maximum());
    evening_->eventChars += line.size() + 1;
    const QByteArray bytes = CharTable::ToBytes(line) + '\r';
    if (!midLine) {
        evening_->atLineStart = true;
        if (st.LogFileOpen) CaptureText(bytes);
    } else if (st.LogFileOpen) {
        evening_->captureHeld += bytes;
    }
}

QByteArray THoofdForm::StampLines(const QByteArray& text, TextKind kind) {
    QByteArray out;
    out.reserve(text.size());
    const QByteArray stamp =
        evening_->utcStamp ? NowUtc().toString(QStringLiteral("HH:mm ")).toLatin1() : QByteArray();
    for (const char c : text) {
        const bool lineEnd = c == '\r' || c == '\n';
        if (!lineEnd && evening_->atLineStart && kind == TextKind::Received) out += stamp;
        out += c;
        if (Frames::IsShown(quint8(c))) evening_->atLineStart = lineEnd;
    }
    return out;
}

void THoofdForm::WatchLinkEvents() {
    const auto events = evening_->events.Step(
        {st.ModeName, st.LinkStateText, st.IsConnected, st.HisCall}, NowUtc());
    for (const LinkEvents::Event& e : events) {
        if (e.kind == LinkEvents::Event::Kind::Connected)
            ShowLinkEvent(e.text + QStringLiteral(": ") + WorkedBeforeText(e.call));
        else
            ShowLinkEvent(e.text);
    }
}

void THoofdForm::ShowTransmissionEvent(bool started, const QString& file) {
    const QString what = st.SendingCQ ? QStringLiteral("CQ")
                                      : QStringLiteral("FILE %1").arg(QFileInfo(file).fileName());
    ShowLinkEvent(what + (started ? QStringLiteral(" started") : QStringLiteral(" ended")));
}

QString THoofdForm::WorkedBeforeText(const QString& call) {
    EnsureWorkedBeforeIndex();
    return WorkedBeforeIndex::Describe(evening_->index.Lookup(call));
}
