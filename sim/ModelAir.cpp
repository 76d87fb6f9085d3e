#include "Pk232Model.h"

#include "ModelShared.h"

using namespace pk232sim;

// ---------------------------------------------------------------- the air

int Pk232Model::AirRate() const {
    if (airSpeed_ == 0) return 0;
    const int cps = IsPactor() ? kPactorCps : mode_ == Mode::Rtty ? kRttyCps : kAmtorCps;
    return cps * airSpeed_;
}

int Pk232Model::SendableTx() const {
    // In AMTOR a '+' at the end waits for what follows: it may be "+?".
    const bool amtorLink = link_ == Link::Connected && !IsPactor();
    if (amtorLink && txBuffer_.endsWith('+')) return int(txBuffer_.size()) - 1;
    return int(txBuffer_.size());
}

std::optional<quint32> Pk232Model::AirDrainAt() const {
    const int rate = AirRate();
    if (rate == 0) return std::nullopt;
    qint64 left = 0;
    if (CanTransmit() && SendableTx() > 0) {
        left = SendableTx();
    } else if (CanHear() && !rxAir_.isEmpty()) {
        left = rxAir_.size();
    } else {
        return std::nullopt;
    }
    const qint64 milli = left * 1000 - airCredit_;
    return airAt_ + quint32((qMax<qint64>(milli, 0) + rate - 1) / rate);
}

void Pk232Model::WorkAir(quint32 until) {
    // What happens on the air between now and `until` happens at `until`.
    if (Before(now_, until)) now_ = until;
    const int rate = AirRate();
    const bool sending = CanTransmit() && SendableTx() > 0;
    const bool hearing = !sending && CanHear() && !rxAir_.isEmpty();
    if (!sending && !hearing) {
        airAt_ = until;
        airCredit_ = 0;
    } else {
        int count = 0;
        if (rate == 0) {
            count = int(sending ? SendableTx() : rxAir_.size());
        } else if (Before(airAt_, until)) {
            airCredit_ += qint64(until - airAt_) * rate;
            count = int(qMin<qint64>(airCredit_ / 1000, sending ? SendableTx() : rxAir_.size()));
            airCredit_ -= qint64(count) * 1000;
            airAt_ = until;
        }
        if (sending) {
            SendOnAir(count);
        } else {
            HearOnAir(count);
        }
        // Time with nothing left to send builds up no credit for later text.
        if (sending ? SendableTx() == 0 : rxAir_.isEmpty()) airCredit_ = 0;
    }
    // The echo goes to the program as it goes out, one character per frame.
    FlushEcho();
    if (!heardBatch_.isEmpty() &&
        (rxAir_.isEmpty() || qint32(now_ - heardSince_) >= qint32(kEchoBatchMs))) {
        FlushHeard();
    }
    if (hearing && rxAir_.isEmpty() && link_ == Link::Connected && handBackAfterText_) {
        handBackAfterText_ = false;
        handBackAt_ = until + kHandBackDelayMs;
    }
    if (hearing && rxAir_.isEmpty() && link_ == Link::Connected && endAfterText_) {
        endAfterText_ = false;
        disconnectAt_ = until + kDisconnectDelayMs;
    }
}

void Pk232Model::SendOnAir(int count) {
    const bool baudot = !IsPactor();
    const bool amtorLink = link_ == Link::Connected && baudot;
    QByteArray out;
    qsizetype pos = 0; // what went out is cut from the buffer once, at the end
    int taken = 0;
    bool stop = false;
    // Hands what went out so far to the echo, before the state changes.
    auto settle = [&] {
        txBuffer_.remove(0, pos);
        pos = 0;
        AppendAirLog(transmitted_, out);
        AppendAirLog(ourTurn_, out);
        EchoSent(out);
        out.clear();
        FlushEcho();
    };
    while (taken < count && !stop && pos < txBuffer_.size()) {
        const quint8 byte = quint8(txBuffer_.at(pos));
        const qsizetype left = txBuffer_.size() - pos;
        if (byte == '+' && amtorLink && left >= 2 && txBuffer_.at(pos + 1) == '?') {
            pos += 2; // "+?" hands the turn over in AMTOR
            taken += 2;
            stop = true;
            settle();
            ChangeOver(false);
            continue;
        }
        if (byte == '+' && amtorLink && left == 1) break; // wait for what follows
        ++pos;
        ++taken;
        if (byte == kEot) {
            settle();
            EndTransmission();
            stop = true;
        } else if (byte == kEm) {
            // The PACTOR change over; elsewhere it is not sent at all.
            if (link_ == Link::Connected && !baudot) {
                settle();
                ChangeOver(false);
                stop = true;
            }
        } else if (baudot) {
            out.append(Baudot(QByteArray(1, char(byte)), false));
        } else {
            out.append(char(byte));
        }
    }
    txBuffer_.remove(0, pos);
    if (!out.isEmpty()) {
        AppendAirLog(transmitted_, out);
        AppendAirLog(ourTurn_, out);
        EchoSent(out);
        FlushEcho();
    }
    if (taken > 0) lastTrafficAt_ = now_;
}

void Pk232Model::HearOnAir(int count) {
    if (count <= 0) return;
    const QByteArray part = rxAir_.left(count);
    rxAir_.remove(0, count);
    AppendAirLog(heard_, part);
    if (heardBatch_.isEmpty()) heardSince_ = now_;
    for (char c : part) {
        heardBatch_.append(c);
        if (quint8(c) == kLf || heardBatch_.size() >= kMaxTextFrame) FlushHeard();
    }
    lastTrafficAt_ = now_;
}

void Pk232Model::EchoSent(const QByteArray& sent) {
    // With EAS ON (echo as sent) a carriage return goes out but is not echoed.
    const bool eas = EasOn();
    for (char c : sent) {
        if (!(eas && quint8(c) == kCr)) echo_.append(c);
    }
}

void Pk232Model::FlushEcho() {
    if (echo_.isEmpty()) return;
    if (hostMode_) {
        for (char c : echo_)
            EmitFrame(kCtlEcho, QByteArray(1, c));
    } else {
        Emit(echo_);
    }
    echo_.clear();
}

void Pk232Model::FlushHeard() {
    if (heardBatch_.isEmpty()) return;
    EmitText(kCtlHeard, heardBatch_);
    heardBatch_.clear();
    heardSince_ = now_;
}

QByteArray Pk232Model::Baudot(const QByteArray& text, bool lineFeeds) const {
    QByteArray out;
    for (char c : text) {
        if (!InBaudot(quint8(c))) continue;
        if (quint8(c) == kCr) {
            out.append(lineFeeds ? "\r\n" : "\r");
        } else {
            out.append((c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c);
        }
    }
    return out;
}

void Pk232Model::QueueRemote(const QByteArray& text) {
    // The other stations' lines end in CR LF on the way to the program.
    const QByteArray wire = WithLineFeeds(text);
    rxAir_.append(IsPactor() ? wire : Baudot(text, true));
    airAt_ = Before(airAt_, now_) ? now_ : airAt_;
}
