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
    // A line of its own: it goes wherever received text goes (window and
    // capture file), so the saved buffer still equals the capture file. It
    // is ended like a received line, with a CR.
    QByteArray line;
    // The window itself tells whether its last line holds anything (it may
    // have been cleared or filled by other means).
    if (!ReceiveWindow->document()->lastBlock().text().isEmpty()) line += '\r';
    line += CharTable::ToBytes(LinkEvents::Line(NowUtc(), text)) + '\r';
    QString shown = CharTable::ToString(line);
    shown.replace(QLatin1Char('\r'), QChar::ParagraphSeparator);
    // A window showing its end keeps showing it; one read back stays put.
    QScrollBar* bar = ReceiveWindow->verticalScrollBar();
    const bool following = bar->value() >= bar->maximum() - 1;
    QTextCursor end(ReceiveWindow->document());
    end.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setForeground(kEventColour);
    ReceiveLines::Append(end, shown, format);
    if (following) bar->setValue(bar->maximum());
    if (st.LogFileOpen) CaptureText(line);
    evening_->atLineStart = true;
    evening_->eventChars += shown.size();
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
