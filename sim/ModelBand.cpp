#include "Pk232Model.h"

#include "ModelShared.h"

using namespace pk232sim;

namespace {

// Stations of the band and their operators.
struct Station {
    const char* call;
    const char* name;
    const char* qth;
};
const Station kStations[] = {
    {"PA3XYZ", "Piet", "Utrecht"}, {"DL1ABC", "Hans", "Hamburg"}, {"G4KLM", "John", "Leeds"},
    {"F5NOP", "Marie", "Lyon"},    {"OZ1QRS", "Erik", "Odense"},  {"ON4TUV", "Luc", "Gent"},
    {"SM5WXY", "Anna", "Uppsala"}, {"OE3BCD", "Franz", "Krems"},  {"OH2JKL", "Mikko", "Espoo"},
    {"HB9MNO", "Urs", "Bern"},     {"EA3HIJ", "Jordi", "Girona"}, {"I2EFG", "Marco", "Milano"},
};
constexpr int kStationCount = int(sizeof kStations / sizeof kStations[0]);

// The operator behind a call: a station of the list for a known call, one
// picked by the call's letters for any other.
const Station& OperatorOf(const QByteArray& call) {
    quint32 hash = 0;
    for (int i = 0; i < kStationCount; ++i) {
        if (call == kStations[i].call) return kStations[i];
    }
    for (char c : call)
        hash = hash * 31 + quint8(c);
    return kStations[hash % kStationCount];
}

} // namespace

QByteArray pk232sim::Fill(QByteArray text, const QByteArray& my, const QByteArray& his,
                          const QByteArray& other) {
    const Station& op = OperatorOf(his);
    text.replace("{my}", my);
    text.replace("{his}", his);
    text.replace("{other}", other);
    text.replace("{name}", op.name);
    text.replace("{qth}", op.qth);
    text.replace("{othername}", OperatorOf(other).name);
    return text;
}

namespace {

const char* const kAnswers[] = {
    "Thanks, all copied fine. Rig here is a 100 W transceiver into a dipole at 10 m,\r"
    "weather is cloudy and mild. Back to you.",
    "Good to hear. I use the PK-232 most evenings on this band, PACTOR and AMTOR.\r"
    "How long have you been on the digital modes?",
    "Thanks for the nice contact, 73 and hope to meet you again.",
};

const char* const kPactorTraffic[] = {
    "CQ CQ CQ de {his} {his} {his}\rPACTOR, pse k\r",
    "{other} de {his}\rThanks for the QSO, {othername}. 73 and good DX.\r{other} de {his} sk\r",
    "QST de {his}: mailbox QRV on this frequency, connect {his}\r",
};
const char* const kAmtorTraffic[] = {
    "CQ CQ CQ DE {his} {his} {his}\rAMTOR FEC PSE K\r",
    "{other} DE {his}\rTNX FER QSO {othername} ES 73\r{other} DE {his} SK\r",
    "QST QST DE {his} BEACON TEST\r",
};
const char* const kRttyTraffic[] = {
    "RYRYRYRYRYRYRYRY\rCQ CQ CQ DE {his} {his} {his} PSE K\r",
    "... ES TNX FER NICE QSO {othername}, 73 ES GUD DX\r{other} DE {his} SK\r",
    "VVV VVV VVV DE {his} {his} BEACON\r",
};

const char* const kMaildropTexts[] = {
    "Hello, tried to reach you on the band. Will be QRV tonight on 14.070.\r73\r",
    "Thanks for the QSO last week, QSL card is on its way.\r73\r",
    "Net meeting Sunday 10 UTC on 3.580, hope to see you there.\r",
};

} // namespace

void Pk232Model::RemoteTalk() {
    if (link_ != Link::Connected || weSend_) return;
    if (SaysGoodbye(ourTurn_)) {
        // Our 73: the other operator says goodbye and ends the link.
        QueueRemote(Fill("{my} de {his}\rThanks for the QSO and 73, hope to meet you again.\r"
                         "{my} de {his} sk\r",
                         OwnCall(), HisCall()));
        endAfterText_ = true;
        return;
    }
    const QByteArray header = "{my} de {his}\r";
    const QByteArray footer = "\r{my} de {his} k\r";
    QueueRemote(Fill(header + kAnswers[turns_ % 3] + footer, OwnCall(), HisCall()));
    ++turns_;
    handBackAfterText_ = true;
}

void Pk232Model::ScheduleBand(bool first) {
    const quint32 mean = bandIntervalMs_ != 0            ? bandIntervalMs_
                         : bandPace_ == BandPace::Busy   ? 10000
                         : bandPace_ == BandPace::Normal ? 30000
                         : bandPace_ == BandPace::Quiet  ? 90000
                                                         : 0;
    if (mean != 0 && hostMode_ && link_ == Link::None && IsListening()) {
        bandAt_ = now_ + (first ? Jitter(mean / 4) : Jitter(mean));
    } else {
        bandAt_.reset();
    }
}

void Pk232Model::ScheduleMaildrop(bool restart) {
    const quint32 mean = bandIntervalMs_ != 0            ? bandIntervalMs_
                         : bandPace_ == BandPace::Busy   ? 10000
                         : bandPace_ == BandPace::Normal ? 30000
                         : bandPace_ == BandPace::Quiet  ? 90000
                                                         : 0;
    if (mean == 0 || !MaildropOn()) {
        maildropAt_.reset();
    } else if (restart || !maildropAt_) {
        maildropAt_ = now_ + Jitter(mean * 4);
    }
}

void Pk232Model::SetBandPace(BandPace pace) {
    bandPace_ = pace;
    ScheduleBand(true);
    ScheduleMaildrop(true);
}

void Pk232Model::SetBandIntervalMs(quint32 ms) {
    bandIntervalMs_ = ms;
    ScheduleBand(true);
    ScheduleMaildrop(true);
}

void Pk232Model::BandTraffic() {
    if (!(hostMode_ && link_ == Link::None && IsListening())) return;
    if (!rxAir_.isEmpty()) { // somebody is still on the air: try later
        bandAt_ = now_ + 2000;
        return;
    }
    const quint32 kind = Random(3);
    const QByteArray his = kStations[Random(kStationCount)].call;
    QByteArray other = kStations[Random(kStationCount)].call;
    if (other == his) other = kStations[(Random(kStationCount - 1) + 1) % kStationCount].call;
    if (other == his) other = "PA0ZZZ";
    const char* const* table = mode_ == Mode::PactorListen  ? kPactorTraffic
                               : mode_ == Mode::AmtorListen ? kAmtorTraffic
                                                            : kRttyTraffic;
    QByteArray text = Fill(table[kind], OwnCall(), his, other);
    if (mode_ == Mode::Rtty) {
        // RTTY has no error correction: now and then a letter comes out wrong.
        for (char& c : text) {
            if (c >= 'A' && c <= 'Z' && Random(60) == 0) c = char('A' + Random(26));
        }
    }
    QueueRemote(text);
    ScheduleBand(false);
}

void Pk232Model::MaildropVisit() {
    if (!MaildropOn()) return;
    if (link_ != Link::None || CanTransmit() || !hostMode_) {
        maildropAt_ = now_ + 30000; // busy here: the station tries again later
        return;
    }
    const Station& station = kStations[Random(kStationCount)];
    if (AddMessage(station.call, OwnCall(), kMaildropTexts[Random(3)])) {
        const QByteArray number = QByteArray::number(messages_.size());
        FlushHeard();
        EmitText(kCtlHeard,
                 "*** Maildrop: message " + number + " from " + station.call + " stored\r\n");
        Note(QByteArray("mailbox: message ") + number + " left by " + station.call);
    }
    maildropAt_.reset();
    ScheduleMaildrop(false);
}
