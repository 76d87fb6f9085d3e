#include "Pk232Model.h"

#include "ModelShared.h"
#include "ReadableBytes.h"

using namespace pk232sim;

Pk232Model::Pk232Model(quint32 seed) : random_(seed) {
    params_["ECHO"] = "ON";
    params_["MAILDROP"] = "OFF";
    params_["AWLEN"] = "8";
    params_["PARITY"] = "0";
    params_["PRFAX"] = "ON";
    params_["FSPEED"] = "2";
    params_["ASPECT"] = "2";
    messages_.append(Message{"PA3XYZ", "ALL", "Welcome",
                             "Welcome to the maildrop of this simulated PK-232.\r"
                             "Messages written here stay until the simulator ends.\r"});
}

// ---------------------------------------------------------------- time

quint32 Pk232Model::Random(quint32 below) {
    return below == 0 ? 0 : quint32(random_() % below);
}

quint32 Pk232Model::Jitter(quint32 mean) {
    return mean / 2 + Random(mean + 1); // half to one and a half times
}

void Pk232Model::Advance(quint32 nowMs) {
    if (!started_) {
        started_ = true;
        now_ = nowMs;
        lastByteAt_ = nowMs;
        airAt_ = nowMs;
    }
    // A clock that steps back is held where it was.
    const quint32 target = Before(now_, nowMs) ? nowMs : now_;
    for (int stop = 0; stop < kMaxStops; ++stop) {
        RunDueEvents();
        quint32 next = target;
        const std::optional<quint32> event = NextStop();
        if (event && Before(*event, next)) next = *event;
        WorkAir(next);
        now_ = next;
        if (next == target) break;
    }
    RunDueEvents();
    WorkAir(now_);
    WorkFax();
}

bool Pk232Model::Due(std::optional<quint32> at) const {
    return at && !Before(now_, *at);
}

std::optional<quint32> Pk232Model::NextStop() const {
    std::optional<quint32> best;
    auto consider = [&](std::optional<quint32> at) {
        if (at && Before(now_, *at) && (!best || Before(*at, *best))) best = at;
    };
    consider(answerAt_);
    consider(failAt_);
    consider(disconnectAt_);
    consider(remoteTalkAt_);
    consider(handBackAt_);
    consider(fadeEndAt_);
    consider(bandAt_);
    consider(maildropAt_);
    consider(otherAt_);
    consider(AirDrainAt());
    return best;
}

bool Pk232Model::RunDueEvents() {
    bool any = false;
    // Each pass handles one event; an event may schedule the next one.
    for (int pass = 0; pass < kMaxEventsPerStop; ++pass) {
        if (link_ == Link::Calling && answerCalls_ && callingReports_ >= 1 && Due(answerAt_)) {
            Connect(true);
        } else if (link_ == Link::Calling && Due(failAt_)) {
            FailCall();
        } else if (Due(disconnectAt_)) {
            EndLink(true);
        } else if (Due(fadeEndAt_)) {
            Fade();
        } else if (Due(remoteTalkAt_)) {
            remoteTalkAt_.reset();
            RemoteTalk();
        } else if (Due(handBackAt_)) {
            handBackAt_.reset();
            ChangeOver(true);
        } else if (Due(bandAt_)) {
            bandAt_.reset();
            BandTraffic();
        } else if (Due(maildropAt_)) {
            maildropAt_.reset();
            MaildropVisit();
        } else if (Due(otherAt_)) {
            otherAt_.reset();
            OtherAirStep();
            ScheduleOtherAir();
        } else {
            return any;
        }
        any = true;
    }
    return any;
}

// ---------------------------------------------------------------- SerialPeer

void Pk232Model::FromHost(quint8 byte, quint32 nowMs) {
    Advance(nowMs);
    byte = FromLine(byte);
    if (cold_) {
        // Only the autobaud character wakes it; anything else goes unheard.
        if (byte == '*') {
            cold_ = false;
            EmitPrompt(Banner());
        }
    } else if (hostMode_) {
        HostByte(byte);
    } else if (converse_) {
        ConverseByte(byte);
    } else if (lineMode_ == LineMode::Compose) {
        ComposeByte(byte);
    } else {
        LineByte(byte);
    }
    lastByteAt_ = now_;
    WorkAir(now_); // with no air time, what was given goes out at once
}

void Pk232Model::Tick(quint32 nowMs) {
    Advance(nowMs);
}

QByteArray Pk232Model::ToHost(quint32 nowMs) {
    Advance(nowMs);
    QByteArray out;
    if (hardwareFlow_ && !rts_) return out; // held until RTS comes up
    out.swap(out_);
    return out;
}

QList<QByteArray> Pk232Model::TakeNotes() {
    NoteOutside();
    QList<QByteArray> notes;
    notes.swap(notes_);
    return notes;
}

// ---------------------------------------------------------------- output

void Pk232Model::Emit(const QByteArray& bytes) {
    // A program that stops reading loses whole replies, never parts of one.
    if (out_.size() + bytes.size() > kMaxOutput) return;
    out_.append(ToLine(bytes));
}

void Pk232Model::EmitFrame(quint8 control, const QByteArray& body) {
    QByteArray frame;
    frame.reserve(body.size() + 8);
    frame.append(char(kSoh));
    frame.append(char(control));
    for (char c : body) {
        // Start, pass and end bytes in the body travel behind a DLE.
        if (quint8(c) == kSoh || quint8(c) == kDle || quint8(c) == kEtb) frame.append(char(kDle));
        frame.append(c);
    }
    frame.append(char(kEtb));
    if (HeldForPoll(control)) {
        if (polled_.size() < kMaxOutput / 4) polled_.append(frame);
        return;
    }
    Emit(frame);
}

void Pk232Model::EmitText(quint8 control, const QByteArray& text) {
    if (!hostMode_) {
        Emit(text);
        return;
    }
    // One frame per line, and none longer than kMaxTextFrame (one character).
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype lineEnd = text.indexOf(char(kLf), at);
        qsizetype length = lineEnd < 0 ? text.size() - at : lineEnd + 1 - at;
        length = qMin<qsizetype>(length, kMaxTextFrame);
        EmitFrame(control, text.mid(at, length));
        at += length;
    }
}

void Pk232Model::EmitLinkMessage(const QByteArray& text) {
    FlushEcho();
    FlushHeard();
    if (hostMode_) {
        EmitFrame(kCtlLink, text);
    } else {
        Emit("\r\n" + text + "\r\n");
    }
}

void Pk232Model::EmitPrompt(const QByteArray& reply) {
    QByteArray out = "\r\n";
    if (!reply.isEmpty()) out += reply + "\r\n";
    out += lineMode_ == LineMode::Command ? kPrompt : kMailboxPrompt;
    Emit(out);
    Answered(int(out.size()));
}

void Pk232Model::Note(const QByteArray& text) {
    AppendBounded(notes_, text, kMaxNotes);
}

void Pk232Model::NoteOutside() {
    if (outside_.isEmpty()) return;
    Note(kIgnoredOutsideFrame + ReadableBytes(outside_));
    outside_.clear();
}
