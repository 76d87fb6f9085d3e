// Reading what the controller sends: the bytes that have come go to the
// frame reader, one whole HOST frame per call is dispatched by its control
// byte, and the frames waiting at a write-timer tick; the
// dumb-terminal reader; and the small read helpers.
#include <utility>

#include "host/Frames.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"

bool THoofdForm::V24Data() {
    return frameReader_.HasFrame() || poort.PoortBytesAvailable() > 0;
}

void THoofdForm::WaitForData() {
    if (V24Data()) return;
    for (int test = 0; test < 1000; ++test) {
        Delay(1);
        if (V24Data()) return;
    }
    Delay(1);
}

int THoofdForm::V24Read() {
    quint8 byte = 0;
    if (!poort.PoortReadByte(byte)) return kNoByte;
    return byte;
}

int THoofdForm::V24input() {
    const int b = V24Read();
    return b == 0x0A ? 0 : b;
}

bool THoofdForm::FrameTimeUp() const {
    return clock_.TickCount() - frameStart_ > kFrameTimeLimitMs;
}

void THoofdForm::StartFrameClock() {
    frameStart_ = clock_.TickCount();
}

bool THoofdForm::CallTimeUp() const {
    return clock_.TickCount() - callStart_ > kCallTimeLimitMs;
}

void THoofdForm::StartCallClock() {
    callStart_ = clock_.TickCount();
}

void THoofdForm::GETV24Data() {
    // 1. Held-back text goes out first, unless the operator still reads back.
    if (!st.PendingReceiveText.isEmpty() && !st.ScrollBackMode) WritePendingText();
    // 2. - 5. One frame. Its text is shown in one step, also when the call's
    // time ends it half-way.
    ReadFrame();
    FlushFrameText();
}

void THoofdForm::WritePendingText() {
    const QByteArray text = std::exchange(st.PendingReceiveText, QByteArray());
    QByteArray kinds = std::exchange(st.PendingReceiveKinds, QByteArray());
    kinds.resize(text.size(), char(TextKind::Received));
    ModeSeesText(text);
    // One step per run of one kind.
    for (qsizetype from = 0; from < text.size();) {
        qsizetype to = from + 1;
        while (to < text.size() && kinds.at(to) == kinds.at(from))
            ++to;
        const TextKind kind =
            kinds.at(from) == char(TextKind::Echo) ? TextKind::Echo : TextKind::Received;
        schryfText(text.mid(from, to - from), kind);
        from = to;
    }
}

void THoofdForm::HoldText(quint8 c, TextKind kind) {
    if (!Frames::IsHeld(c)) return;
    st.PendingReceiveKinds.resize(st.PendingReceiveText.size(), char(TextKind::Received));
    st.PendingReceiveText.append(char(c));
    st.PendingReceiveKinds.append(char(kind));
}

void THoofdForm::FlushFrameText() {
    if (frameText_.isEmpty()) return;
    ModeSeesText(frameText_);
    schryfText(std::exchange(frameText_, QByteArray()), frameTextKind_);
}

void THoofdForm::PullLineBytes() {
    // Whatever has come goes to the frame reader, which never waits for
    // the rest of a frame: that is read on when it comes.
    char block[4096];
    for (int round = 0; round < 16 && !frameReader_.HasFrame() && poort.PoortBytesAvailable() > 0;
         ++round) {
        quint16 count = sizeof block;
        const quint16 got = poort.PoortReadBlock(block, count);
        if (got == 0) break;
        bytesHeard_ += got;
        frameReader_.Take(block, got);
    }
}

void THoofdForm::ReadFrame() {
    // 2. - 3. One whole frame, if one has come.
    if (!frameReader_.HasFrame()) PullLineBytes();
    if (frameReader_.HasFrame()) TakeFrame(frameReader_.Next());
}

void THoofdForm::TakeFrame(const FrameReader::Frame& frame) {
    // The bytes go on as they came (TakeFrameByte reads a line feed as 0
    // where text and replies are concerned).
    framePart_ = FramePart::Control;
    TakeFrameByte({frame.control, false});
    for (const char c : frame.payload)
        TakeFrameByte({quint8(c), true}); // unescaped: every byte is data
    // A frame cut by the next one's start byte shows its text but is not
    // ended: a reply without its end byte is not decoded.
    if (frame.complete) TakeFrameByte({Frames::kEnd, false});
    framePart_ = FramePart::None;
}

void THoofdForm::ReadWaitingFrames() {
    const quint32 start = clock_.TickCount();
    do {
        if (!st.PendingReceiveText.isEmpty() && !st.ScrollBackMode) {
            FlushFrameText();
            WritePendingText();
        }
        ReadFrame();
        if (!TextGoesOn()) FlushFrameText();
    } while (V24Data() && captureError_.isEmpty() &&
             clock_.TickCount() - start < kTickBudgetMs);
    FlushFrameText();
}

bool THoofdForm::TextGoesOn() {
    // Not where a mode reads its frames for itself (packet's channels and
    // stamps, the fax picture), nor while a capture file is open: a failing
    // one stops the reading at the frame it failed in.
    if (frameText_.isEmpty() || st.ModeName == QLatin1String("PACKET") || FaxModeOn() ||
        st.LogFileOpen)
        return false;
    if (!frameReader_.HasFrame()) PullLineBytes();
    const FrameReader::Frame* next = frameReader_.Peek();
    if (next == nullptr || !next->complete) return false;
    const bool echo = next->control == Frames::kRxEcho;
    if (!echo && next->control != Frames::kRxText) return false;
    return echo == (frameTextKind_ == TextKind::Echo);
}

bool THoofdForm::TakeFrameByte(const PayloadByte& p) {
    // A line feed counts as nothing in text and replies; the picture of the
    // FAX mode takes the byte as it came.
    const int b = p.value == 0x0A ? 0 : p.value;
    const bool end = !p.escaped && b == Frames::kEnd;
    // Text collects for the frame's one step into the window, or is held.
    auto deliver = [this](int c) {
        if (st.HoldReceive) {
            HoldText(quint8(c), frameTextKind_);
        } else {
            frameText_.append(char(c));
        }
    };
    switch (framePart_) {
    case FramePart::None:
        return true;
    case FramePart::Control:
        if (end) return true;
        framePart_ = FramePart::Unlisted;
        frameTextKind_ = b == Frames::kRxEcho ? TextKind::Echo : TextKind::Received;
        switch (b) {
        case Frames::kRxEcho:
            framePart_ = FramePart::Echo;
            break;
        case Frames::kRxText:
            framePart_ = FramePart::Text;
            break;
        case Frames::kRxMonitor:
            framePart_ = FramePart::Monitor;
            break;
        case Frames::kRxReply:
        case Frames::kRxLinkMsg:
            framePart_ = b == Frames::kRxReply ? FramePart::Reply : FramePart::LinkMessage;
            st.StatusReplyText.clear();
            st.LinkMessageText.clear();
            break;
        default:
            break; // an unlisted frame is dropped up to and including its end byte
        }
        ModeFrameStarts(quint8(b));
        return false;
    case FramePart::Echo:
    case FramePart::Text:
        if (end) return true;
        deliver(b);
        return false;
    case FramePart::Monitor: {
        // In the FAX mode the 0x3F payload is the picture's stream, as it came.
        const char raw = char(p.value);
        if (FaxTakesFrame(Frames::kRxMonitor, end ? QByteArrayView() : QByteArrayView(&raw, 1)))
            return end;
        if (end) {
            frameText_.append(Frames::kEnd); // the end byte goes on too; it is not shown
            return true;
        }
        deliver(b);
        return false;
    }
    case FramePart::Reply:
    case FramePart::LinkMessage: {
        const int kind = framePart_ == FramePart::Reply ? 1 : 2;
        if (!end) {
            KeepReplyByte(kind, b);
            return false;
        }
        READMODE(kind);
        if (kind == 2) st.HisCall = Frames::HisCallFromLinkMessage(st.LinkMessageText, st.HisCall);
        return true;
    }
    case FramePart::Unlisted:
        return end;
    }
    return true;
}

void THoofdForm::GETV24DUMB() {
    StartCallClock();
    do {
        const int b = V24input();
        if (b != kNoByte && Frames::IsDumbPassed(quint8(b))) schryf(quint8(b));
        // A line that never falls quiet must not hold the program: the rest
        // is read at the next tick.
        if (CallTimeUp()) return;
    } while (V24Data());
}

void THoofdForm::DummiRead() {
    Delay(200);
    if (V24Data()) {
        char scratch[1024];
        quint16 count = sizeof scratch;
        poort.PoortReadBlock(scratch, count);
        // A frame being read has lost its rest with them.
        frameReader_.Reset();
        framePart_ = FramePart::None;
    }
    StartTimers();
}
