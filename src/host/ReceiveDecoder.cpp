// Reading what the controller sends: one HOST frame per call, dispatched by
// its control byte, and the frames waiting at a write-timer tick; the
// dumb-terminal reader; and the small read helpers.
#include <utility>

#include "host/Frames.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"

bool THoofdForm::V24Data() {
    return poort.PoortBytesAvailable() > 0;
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

THoofdForm::PayloadByte THoofdForm::V24Payload(bool escapes) {
    // A slow controller is waited for, but only within the call's time.
    while (!V24Data() && !CallTimeUp())
        Delay(1);
    int b = V24Read();
    if (!escapes || b != Frames::kDle) return {b, false};
    // The byte behind a DLE is data, whatever it is; it follows the DLE
    // straight away, so it is waited for a moment even when the call's time
    // is up. A DLE with nothing after it is dropped.
    for (quint32 waited = 0; !V24Data() && waited < kDleWaitMs; ++waited)
        Delay(1);
    b = V24Read();
    return {b, b != kNoByte};
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
    schryfText(std::exchange(frameText_, QByteArray()), frameTextKind_);
}

void THoofdForm::ReadFrame() {
    StartCallClock();
    // 2. Between frames: skip to the start byte; a lone end byte ends the
    // call. With nothing more waiting there is no frame to read.
    if (framePart_ == FramePart::None) {
        for (;;) {
            const int b = V24input();
            if (b == kNoByte || b == Frames::kEnd) return;
            if (b == Frames::kStart) break;
            if (CallTimeUp()) return;
        }
        framePart_ = FramePart::Control;
    }

    // 3. The frame, from where the last call left it, up to its end byte.
    // When the call's time is up first, the next call reads on. A start byte
    // that no DLE makes data begins a new frame: a frame that lost its end
    // byte does not swallow the next one.
    for (;;) {
        // The control byte is taken as it is; in the payload a DLE escapes.
        const PayloadByte p = V24Payload(framePart_ != FramePart::Control);
        if (p.value == kNoByte) {
            if (CallTimeUp()) return;
            // A device that has gone returns from every read at once.
            Delay(1);
            continue;
        }
        if (!p.escaped && p.value == Frames::kStart) {
            FlushFrameText(); // the cut frame's text, before the next one's
            framePart_ = FramePart::Control;
        } else if (TakeFrameByte(p)) {
            framePart_ = FramePart::None;
            return; // one frame per call
        }
        if (CallTimeUp()) return;
    }
}

void THoofdForm::ReadWaitingFrames() {
    const quint32 start = clock_.TickCount();
    do {
        GETV24Data();
    } while (framePart_ == FramePart::None && V24Data() && captureError_.isEmpty() &&
             clock_.TickCount() - start < kTickBudgetMs);
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
        framePart_ = FramePart::None;
    }
    StartTimers();
}
