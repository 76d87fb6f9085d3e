#include "Pk232Model.h"

#include "ModelShared.h"

using namespace pk232sim;

// ---------------------------------------------------------------- modes and links

QByteArray Pk232Model::ModeCode() const {
    switch (mode_) {
    case Mode::PactorStandby:
        return "Pt";
    case Mode::PactorListen:
        return "PN";
    case Mode::PactorUnproto:
        return "PD";
    case Mode::PactorArq:
        return "PG";
    case Mode::AmtorStandby:
        return "AM";
    case Mode::AmtorListen:
        return "AL";
    case Mode::AmtorFec:
        return "FE";
    case Mode::AmtorArq:
        return "AC";
    case Mode::Rtty:
        return "BA";
    case Mode::Fax:
        return "FA";
    }
    return "Pt";
}

QByteArray Pk232Model::StatusBody() const {
    const bool airBusy = (CanTransmit() && SendableTx() > 0) || (CanHear() && !rxAir_.isEmpty());
    const bool traffic =
        airBusy || (lastTrafficAt_ && qint32(now_ - *lastTrafficAt_) < qint32(kTrafficShowMs));
    char phase = '0';
    char mark = '-';
    switch (mode_) {
    case Mode::PactorStandby:
    case Mode::AmtorStandby:
        break;
    case Mode::PactorListen:
    case Mode::AmtorListen:
        phase = traffic ? '4' : '3';
        break;
    case Mode::PactorUnproto:
    case Mode::AmtorFec:
        phase = '4';
        mark = 'S';
        break;
    case Mode::PactorArq:
    case Mode::AmtorArq:
        if (link_ == Link::Calling) {
            phase = '1';
            mark = 'S';
        } else if (link_ == Link::Connected) {
            // The program takes calling followed by idle as the sign of a
            // connection: until one '3' was reported, only the opening
            // phases come before it.
            if (!opening_.isEmpty()) {
                phase = opening_.at(0);
            } else if (!idleReported_) {
                phase = '3';
            } else if (fadeEndAt_) {
                phase = fadeReports_ % 2 == 0 ? '5' : '6';
            } else if (overAt_ && qint32(now_ - *overAt_) < qint32(kOverShowMs)) {
                phase = '2';
            } else {
                phase = traffic ? '4' : '3';
            }
            mark = weSend_ ? 'S' : '-';
        }
        break;
    case Mode::Rtty:
        phase = rttyTransmit_ ? 'S' : '0';
        break;
    case Mode::Fax:
        return QByteArray("OPFA") + (FaxRunning() ? '4' : '0') + 'R';
    }
    const bool huffman = IsPactor() && link_ == Link::Connected && IsOn(Param("PTHUFF"));
    QByteArray body = "OP" + ModeCode();
    body.append(phase);
    body.append(mark);
    body.append('-');
    body.append(huffman ? '1' : '0');
    return body;
}

bool Pk232Model::IsPactor() const {
    return mode_ == Mode::PactorStandby || mode_ == Mode::PactorListen ||
           mode_ == Mode::PactorUnproto || mode_ == Mode::PactorArq;
}

bool Pk232Model::IsListening() const {
    return mode_ == Mode::PactorListen || mode_ == Mode::AmtorListen ||
           (mode_ == Mode::Rtty && !rttyTransmit_);
}

bool Pk232Model::CanTransmit() const {
    if (fadeEndAt_) return false;
    return (link_ == Link::Connected && weSend_ && !disconnectAt_) ||
           mode_ == Mode::PactorUnproto || mode_ == Mode::AmtorFec ||
           (mode_ == Mode::Rtty && rttyTransmit_);
}

bool Pk232Model::CanHear() const {
    if (fadeEndAt_) return false;
    if (link_ == Link::Connected) return !weSend_;
    return link_ == Link::None && hostMode_ && IsListening();
}

void Pk232Model::SetMode(Mode mode, bool rttyTransmit) {
    const bool changed = mode != mode_ || (mode == Mode::Rtty && rttyTransmit != rttyTransmit_);
    mode_ = mode;
    rttyTransmit_ = mode == Mode::Rtty && rttyTransmit;
    if (mode != Mode::Fax) fax_.clear(); // the picture stops with the mode
    if (changed) {
        FlushEcho();
        FlushHeard();
        lastTrafficAt_.reset();
        if (link_ == Link::None) rxAir_.clear(); // the station on the band is lost
        ScheduleBand(true);
    }
    airAt_ = now_;
    airCredit_ = 0;
}

// No link, nothing to send or hear, nothing scheduled on the link.
void Pk232Model::ClearLink() {
    link_ = Link::None;
    weSend_ = false;
    manualTurn_ = false;
    handBackAfterText_ = false;
    endAfterText_ = false;
    txBuffer_.clear();
    rxAir_.clear();
    answerAt_.reset();
    failAt_.reset();
    disconnectAt_.reset();
    remoteTalkAt_.reset();
    handBackAt_.reset();
    fadeEndAt_.reset();
    overAt_.reset();
}

void Pk232Model::ResetOperatingState() {
    ClearLink();
    SetMode(pactorOption_ ? Mode::PactorStandby : Mode::AmtorStandby);
}

void Pk232Model::StartCall(Mode mode, const QByteArray& call) {
    SetMode(mode);
    link_ = Link::Calling;
    weSend_ = false;
    linkCall_ = call;
    callingReports_ = 0;
    answerAt_ =
        now_ + (answerDelayMs_ != 0 ? answerDelayMs_ : kAnswerMinMs + Random(kAnswerSpreadMs + 1));
    failAt_ = now_ + kCallTryMs * kCallTries;
    bandAt_.reset();
}

void Pk232Model::FailCall() {
    link_ = Link::None;
    answerAt_.reset();
    failAt_.reset();
    txBuffer_.clear();
    SetMode(IsPactor() ? Mode::PactorStandby : Mode::AmtorStandby);
    EmitLinkMessage(kRetriesOut);
}

void Pk232Model::Connect(bool weCalled) {
    link_ = Link::Connected;
    answerAt_.reset();
    failAt_.reset();
    disconnectAt_.reset();
    handBackAt_.reset();
    remoteTalkAt_.reset();
    fadeEndAt_.reset();
    overAt_.reset();
    bandAt_.reset();
    rxAir_.clear();
    manualTurn_ = false;
    handBackAfterText_ = false;
    endAfterText_ = false;
    ourTurn_.clear();
    idleReported_ = false;
    fadeReports_ = 0;
    turns_ = 0;
    if (nextOpening_) {
        opening_ = *nextOpening_;
        nextOpening_.reset();
    } else {
        static const char* const kOpenings[] = {"", "4", "2", "", "42"};
        opening_ = kOpenings[Random(5)];
    }
    // The other station greets first, whoever called, and hands over.
    weSend_ = false;
    airAt_ = now_;
    airCredit_ = 0;
    EmitLinkMessage(kConnected + linkCall_);
    const QByteArray greeting =
        weCalled ? "{my} de {his}\rGood day and thanks for the call. Name here is {name}, QTH "
                   "{qth}.\rHow do you copy?\r{my} de {his} k\r"
                 : "{my} de {his}\rHello, I heard you on the band and gave you a call.\rName "
                   "here is {name}, QTH {qth}.\r{my} de {his} k\r";
    QueueRemote(Fill(greeting, OwnCall(), HisCall()));
    handBackAfterText_ = true;
}

void Pk232Model::EndLink(bool announce) {
    const bool amtor = !IsPactor();
    const bool wasConnected = link_ == Link::Connected;
    FlushEcho();
    FlushHeard();
    ClearLink();
    opening_.clear();
    SetMode(amtor ? Mode::AmtorStandby : Mode::PactorStandby);
    if (announce && wasConnected) EmitLinkMessage(kDisconnected);
}

void Pk232Model::ChangeOver(bool toUs) {
    if (link_ != Link::Connected || toUs == weSend_) return;
    FlushEcho();
    FlushHeard();
    weSend_ = toUs;
    overAt_ = now_;
    airAt_ = now_;
    airCredit_ = 0;
    remoteTalkAt_.reset();
    handBackAt_.reset();
    if (toUs) {
        rxAir_.clear(); // a break-in stops the other station
        handBackAfterText_ = false;
        endAfterText_ = false;
        ourTurn_.clear();
    } else if (!manualTurn_) {
        remoteTalkAt_ = now_ + kRemoteTalkDelayMs;
    }
}

void Pk232Model::EndTransmission() {
    if (link_ == Link::Connected) {
        if (!disconnectAt_) disconnectAt_ = now_ + kDisconnectDelayMs;
    } else if (mode_ == Mode::PactorUnproto) {
        SetMode(Mode::PactorStandby);
    } else if (mode_ == Mode::AmtorFec) {
        SetMode(Mode::AmtorStandby);
    } else if (mode_ == Mode::Rtty && rttyTransmit_) {
        SetMode(Mode::Rtty);
    }
}

void Pk232Model::Fade() {
    fadeEndAt_.reset();
    EmitLinkMessage(kRetriesOut);
    EndLink(true);
}

QByteArray Pk232Model::OwnCall() const {
    const QByteArray call = MyCall().trimmed().toUpper();
    return call.isEmpty() ? QByteArray("NOCALL") : call;
}

QByteArray Pk232Model::HisCall() const {
    return linkCall_.isEmpty() ? QByteArray("PA3XYZ") : linkCall_.toUpper();
}

// ---------------------------------------------------------------- the other side

bool Pk232Model::RemoteCall(const QByteArray& call, quint32 nowMs) {
    Advance(nowMs);
    const bool arqMode = mode_ == Mode::PactorStandby || mode_ == Mode::PactorListen ||
                         mode_ == Mode::AmtorStandby || mode_ == Mode::AmtorListen;
    if (link_ != Link::None || !arqMode || call.trimmed().isEmpty()) return false;
    FlushHeard();
    rxAir_.clear();
    linkCall_ = call.trimmed().left(20).toUpper();
    SetMode(IsPactor() ? Mode::PactorArq : Mode::AmtorArq);
    Connect(false);
    return true;
}

bool Pk232Model::RemoteText(const QByteArray& text, quint32 nowMs) {
    Advance(nowMs);
    const QByteArray line = text + "\r";
    if (link_ == Link::Connected) {
        if (weSend_) { // break in, say it, hand back
            ChangeOver(false);
            remoteTalkAt_.reset();
            manualTurn_ = false;
            handBackAfterText_ = true;
        }
        QueueRemote(line);
        return true;
    }
    if (link_ != Link::None || !CanHear()) return false;
    QueueRemote(line);
    return true;
}

bool Pk232Model::RemoteChangeOver(quint32 nowMs) {
    Advance(nowMs);
    if (link_ != Link::Connected) return false;
    if (weSend_) {
        manualTurn_ = true; // takes the turn and keeps it
        ChangeOver(false);
    } else {
        manualTurn_ = false;
        ChangeOver(true);
    }
    return true;
}

bool Pk232Model::RemoteDisconnect(quint32 nowMs) {
    Advance(nowMs);
    if (link_ == Link::None) return false;
    EndLink(true);
    return true;
}

bool Pk232Model::SignalFade(quint32 nowMs) {
    Advance(nowMs);
    if (link_ != Link::Connected || fadeEndAt_) return false;
    FlushEcho();
    FlushHeard();
    fadeEndAt_ = now_ + kFadeMs;
    fadeReports_ = 0;
    remoteTalkAt_.reset();
    handBackAt_.reset();
    return true;
}

void Pk232Model::InjectRemoteText(const QByteArray& text, quint32 nowMs) {
    Advance(nowMs);
    EmitText(kCtlHeard, text);
    lastTrafficAt_ = now_;
}

void Pk232Model::InjectLinkEvent(LinkEvent event, quint32 nowMs, const QByteArray& call) {
    Advance(nowMs);
    switch (event) {
    case LinkEvent::Answer:
        if (link_ == Link::Calling) Connect(true);
        return;
    case LinkEvent::IncomingCall:
        RemoteCall(call.isEmpty() ? QByteArray("PA3XYZ") : call, nowMs);
        return;
    case LinkEvent::RemoteDisconnect:
        RemoteDisconnect(nowMs);
        return;
    }
}
