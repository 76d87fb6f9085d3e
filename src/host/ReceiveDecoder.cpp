// Reading what the controller sends: one HOST frame per call, dispatched by
// its control byte; the dumb-terminal reader; and the small read helpers.
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

THoofdForm::PayloadByte THoofdForm::V24Payload(bool wait) {
    if (wait) WaitForData();
    int b = V24input();
    bool escaped = false;
    if (b == Frames::kDle) {
        // The byte behind a DLE is data, whatever it is; it follows the DLE
        // straight away, so it is waited for. A DLE with nothing after it is
        // dropped.
        WaitForData();
        b = V24input();
        escaped = b != kNoByte;
    }
    // Nothing came: a short pause, so that a loop reading on does not spin
    // (a device that has gone returns from every read at once).
    if (b == kNoByte) Delay(1);
    return {b, escaped};
}

void THoofdForm::GETV24Data() {
    // 1. Held-back text goes out first, unless the operator still reads back.
    // Whatever has gone out leaves the held text even when the output fails
    // half-way (a capture file that cannot be written); the rest stays held.
    if (!st.PendingReceiveText.isEmpty() && !st.ScrollBackMode) {
        qsizetype written = 0;
        struct Trim {
            QByteArray& text;
            const qsizetype& written;
            ~Trim() { text.remove(0, written); }
        } trim{st.PendingReceiveText, written};
        const QByteArray pending = st.PendingReceiveText;
        while (written < pending.size())
            schryf(quint8(pending.at(written++)));
    }

    StartFrameClock();
    frameClockRunning_ = true;
    struct Done {
        bool& running;
        ~Done() { running = false; }
    } done{frameClockRunning_};
    // 2. Skip to the start byte; a lone end byte ends the call. With nothing
    // more waiting there is no frame to read.
    for (;;) {
        const int b = V24input();
        if (b == kNoByte) return;
        if (b == Frames::kEnd) return;
        if (b == Frames::kStart) break;
        if (FrameTimeUp()) return;
    }

    auto deliver = [this](int b) {
        if (st.HoldReceive) {
            if (Frames::IsHeld(quint8(b))) st.PendingReceiveText.append(char(b));
        } else {
            schryf(quint8(b));
        }
    };
    auto isEnd = [](const PayloadByte& p) { return !p.escaped && p.value == Frames::kEnd; };

    // 3. The control byte, and the frame by its kind. A start byte where the
    // control byte or an unlisted frame's body was due starts a new frame:
    // a frame that lost its end byte does not swallow the next one.
    for (;;) {
        if (FrameTimeUp()) return;
        int control = V24input();
        while (control == kNoByte) {
            if (FrameTimeUp()) return;
            WaitForData();
            control = V24input();
            if (control == kNoByte) Delay(1);
        }

        switch (control) {
        case Frames::kRxText:
        case Frames::kRxEcho:
            for (;;) {
                const PayloadByte p = V24Payload(true);
                if (isEnd(p)) return;
                if (p.value != kNoByte) deliver(p.value);
                if (FrameTimeUp()) return;
            }
        case Frames::kRxMonitor:
            for (;;) {
                const PayloadByte p = V24Payload(false);
                if (isEnd(p)) {
                    schryf(quint8(Frames::kEnd)); // the end byte goes on too; it is not shown
                    return;
                }
                if (p.value != kNoByte) deliver(p.value);
                if (FrameTimeUp()) return;
            }
        case Frames::kRxReply:
            READMODE(1);
            return;
        case Frames::kRxLinkMsg:
            READMODE(2);
            st.HisCall = Frames::HisCallFromLinkMessage(st.LinkMessageText, st.HisCall);
            return;
        case Frames::kEnd:
            return;
        case Frames::kStart:
            continue;
        default:
            // An unlisted frame is dropped up to and including its end byte.
            if (!SkipUnlistedFrame()) return;
            continue;
        }
    }
}

bool THoofdForm::SkipUnlistedFrame() {
    for (;;) {
        const PayloadByte p = V24Payload(false);
        if (!p.escaped && p.value == Frames::kEnd) return false;
        if (!p.escaped && p.value == Frames::kStart) return true;
        if (FrameTimeUp()) return false;
    }
}

void THoofdForm::GETV24DUMB() {
    StartFrameClock();
    do {
        const int b = V24input();
        if (b != kNoByte && Frames::IsDumbPassed(quint8(b))) schryf(quint8(b));
        // A line that never falls quiet must not hold the program for ever.
        if (FrameTimeUp()) return;
    } while (V24Data());
}

void THoofdForm::DummiRead() {
    Delay(200);
    if (V24Data()) {
        char scratch[1024];
        quint16 count = sizeof scratch;
        poort.PoortReadBlock(scratch, count);
    }
    StartTimers();
}
