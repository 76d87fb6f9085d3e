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

void THoofdForm::GETV24Data() {
    // 1. Held-back text goes out first, unless the operator still reads back.
    if (!st.PendingReceiveText.isEmpty() && !st.ScrollBackMode) {
        const QByteArray pending = st.PendingReceiveText;
        st.PendingReceiveText.clear();
        for (const char c : pending)
            schryf(quint8(c));
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

    // 3. The control byte.
    int control = V24input();
    while (control == kNoByte) {
        if (FrameTimeUp()) return;
        WaitForData();
        control = V24input();
    }

    auto deliver = [this](int b) {
        if (st.HoldReceive) {
            if (Frames::IsHeld(quint8(b))) st.PendingReceiveText.append(char(b));
        } else {
            schryf(quint8(b));
        }
    };

    switch (control) {
    case Frames::kRxText:
    case Frames::kRxEcho:
        for (;;) {
            WaitForData();
            const int b = V24input();
            if (b == Frames::kEnd) return;
            if (b != kNoByte) deliver(b);
            if (FrameTimeUp()) return;
        }
    case Frames::kRxMonitor:
        for (;;) {
            const int b = V24input();
            if (b == Frames::kEnd) {
                schryf(quint8(b)); // the end byte goes on too; it is not shown
                return;
            }
            if (b != kNoByte) deliver(b);
            if (FrameTimeUp()) return;
        }
    case Frames::kRxReply:
        READMODE(1);
        return;
    case Frames::kRxLinkMsg:
        READMODE(2);
        st.HisCall = Frames::HisCallFromLinkMessage(st.LinkMessageText, st.HisCall);
        return;
    default:
        // An unlisted frame is dropped up to and including its end byte.
        if (control == Frames::kEnd) return;
        for (;;) {
            const int b = V24input();
            if (b == Frames::kEnd) return;
            if (FrameTimeUp()) return;
        }
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
