#include "Pk232Model.h"

#include "ReadableBytes.h"

namespace {

constexpr quint8 kSoh = 0x01;
constexpr quint8 kEot = 0x04;
constexpr quint8 kBs = 0x08;
constexpr quint8 kLf = 0x0A;
constexpr quint8 kCr = 0x0D;
constexpr quint8 kDle = 0x10; // inside a frame: the next byte is data
constexpr quint8 kEtb = 0x17;
constexpr quint8 kEm = 0x19; // PACTOR change-over character (PTO $19)
constexpr quint8 kSub = 0x1A;
constexpr quint8 kDel = 0x7F;

// Control bytes of the HOST frames.
constexpr quint8 kCtlData = ' ';    // program -> controller: text to transmit
constexpr quint8 kCtlCommand = 'O'; // both ways: command and its reply
constexpr quint8 kCtlHeard = '/';   // controller -> program: text received
constexpr quint8 kCtlEcho = '0';    // controller -> program: echo of sent text
constexpr quint8 kCtlLink = 'P';    // controller -> program: link message

// What the Baudot alphabet (ITA2, and CCIR 476 in AMTOR) carries: letters
// (small ones go out as capitals), digits, blank, carriage return, line feed,
// the bell, and the figures of both the international and the US teleprinter
// variant. Nothing else ever goes on the air in AMTOR and RTTY.
bool InBaudot(quint8 c) {
    static const QByteArray kFigures = "-?:$!&#'().,;/\"=+";
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ' ||
           c == 0x07 || c == kCr || c == kLf || kFigures.contains(char(c));
}

constexpr char kPrompt[] = "cmd:";
constexpr char kMailboxPrompt[] = "MBX>";
constexpr char kConnected[] = "*** CONNECTED to ";
constexpr char kDisconnected[] = "*** DISCONNECTED";
constexpr char kRetriesOut[] = "*** RETRY COUNT EXCEEDED";
constexpr int kMaxOutsideNote = 64;
constexpr int kMaxSubject = 28;
constexpr int kMaxEventsPerStop = 32;
constexpr int kMaxStops = 4096; // per Advance; a stop is an event or the air running dry

// Command-line commands: the full name and the shortest abbreviation taken.
enum class Kind { Param, Host, Restart, Daytime, Mailbox, Display, Clear };
struct Command {
    const char* name;
    int minLength;
    Kind kind;
};
const Command kCommands[] = {
    {"8BITCONV", 2, Kind::Param},  {"ACRREPT", 4, Kind::Param},   {"AWLEN", 3, Kind::Param},
    {"CM", 2, Kind::Param},        {"DAYTIME", 2, Kind::Daytime}, {"DISPLAY", 4, Kind::Display},
    {"EAS", 3, Kind::Param},       {"ECHO", 2, Kind::Param},      {"EXPERT", 3, Kind::Param},
    {"HOST", 2, Kind::Host},       {"HPOLL", 2, Kind::Param},     {"MAILDROP", 4, Kind::Param},
    {"MDCHECK", 3, Kind::Mailbox}, {"MDM", 3, Kind::Param},       {"MYCALL", 2, Kind::Param},
    {"MYSELCAL", 3, Kind::Param},  {"MYPTCALL", 4, Kind::Param},  {"PARITY", 3, Kind::Param},
    {"PTHUFF", 4, Kind::Param},    {"PTOVER", 3, Kind::Param},    {"RESTART", 7, Kind::Restart},
    {"TCLEAR", 2, Kind::Clear},
};

const Command* FindCommand(const QByteArray& word) {
    const QByteArray upper = word.toUpper();
    for (const Command& c : kCommands) {
        if (upper.size() >= c.minLength && QByteArray(c.name).startsWith(upper)) return &c;
    }
    return nullptr;
}

bool IsOn(const QByteArray& value) {
    const QByteArray v = value.trimmed().toUpper();
    return v == "ON" || v == "Y" || v == "YES";
}

bool IsOff(const QByteArray& value) {
    const QByteArray v = value.trimmed().toUpper();
    return v == "OFF" || v == "N" || v == "NO";
}

bool IsTenDigits(const QByteArray& text) {
    if (text.size() != 10) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// CR becomes CR LF, the way the controller ends lines towards the terminal.
QByteArray WithLineFeeds(const QByteArray& text) {
    QByteArray out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        out.append(c);
        if (quint8(c) == kCr) out.append(char(kLf));
    }
    return out;
}

template <typename T> void AppendBounded(QList<T>& list, const T& item, int max) {
    if (list.size() >= max) list.removeFirst();
    list.append(item);
}

void AppendAirLog(QByteArray& log, const QByteArray& bytes) {
    log.append(bytes);
    // Cut in large steps, so a long run does not move the log at every byte.
    if (log.size() > 2 * Pk232Model::kMaxAirLog) {
        log.remove(0, log.size() - Pk232Model::kMaxAirLog);
    }
}

// Whether text holds "73" or "SK" as a word: the sign-off of a contact.
bool SaysGoodbye(const QByteArray& text) {
    QByteArray word;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text.at(i) : ' ';
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            word.append(c);
            continue;
        }
        if (word == "73" || word.toUpper() == "SK") return true;
        word.clear();
    }
    return false;
}

// a is before b on a clock that may wrap.
bool Before(quint32 a, quint32 b) {
    return qint32(a - b) < 0;
}

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

QByteArray Fill(QByteArray text, const QByteArray& my, const QByteArray& his,
                const QByteArray& other = {}) {
    const Station& op = OperatorOf(his);
    text.replace("{my}", my);
    text.replace("{his}", his);
    text.replace("{other}", other);
    text.replace("{name}", op.name);
    text.replace("{qth}", op.qth);
    text.replace("{othername}", OperatorOf(other).name);
    return text;
}

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

Pk232Model::Pk232Model(quint32 seed) : random_(seed) {
    params_["ECHO"] = "ON";
    params_["MAILDROP"] = "OFF";
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
    if (hostMode_) {
        HostByte(byte);
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
    out_.append(bytes);
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
    Emit(frame);
}

void Pk232Model::EmitText(quint8 control, const QByteArray& text) {
    if (!hostMode_) {
        Emit(text);
        return;
    }
    // One frame per line, and none longer than kMaxTextFrame.
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
}

void Pk232Model::Note(const QByteArray& text) {
    AppendBounded(notes_, text, kMaxNotes);
}

void Pk232Model::NoteOutside() {
    if (outside_.isEmpty()) return;
    Note(kIgnoredOutsideFrame + ReadableBytes(outside_));
    outside_.clear();
}

// ---------------------------------------------------------------- command line

void Pk232Model::LineByte(quint8 byte) {
    if (swallowCr_) {
        swallowCr_ = false;
        if (byte == kCr) return;
    }
    if (byte == kCr) {
        const QByteArray line = line_;
        line_.clear();
        AppendBounded(lines_, line, kMaxLog);
        if (lineMode_ == LineMode::Mailbox) {
            MailboxLine(line.trimmed());
        } else {
            CommandLine(line.trimmed());
        }
        return;
    }
    if (byte == kBs || byte == kDel) {
        if (!line_.isEmpty()) {
            line_.chop(1);
            if (EchoOn()) Emit("\b \b");
        }
        return;
    }
    // Other control bytes (ESC, frame bytes, 0x19, line feed) do nothing here;
    // what does not fit on the line is dropped.
    if (byte < 0x20 || line_.size() >= kMaxLine) return;
    line_.append(char(byte));
    if (EchoOn()) Emit(QByteArray(1, char(byte)));
}

QByteArray Pk232Model::Banner() const {
    return "PK-232 simulator ready";
}

void Pk232Model::CommandLine(const QByteArray& line) {
    if (line.isEmpty()) {
        EmitPrompt();
        return;
    }
    if (line == "*") { // autobaud
        EmitPrompt(Banner());
        return;
    }
    const qsizetype blank = line.indexOf(' ');
    const QByteArray word = blank < 0 ? line : line.left(blank);
    const QByteArray args = blank < 0 ? QByteArray() : line.mid(blank + 1).trimmed();
    const Command* command = FindCommand(word);
    if (command == nullptr) {
        EmitPrompt("?bad");
        return;
    }
    switch (command->kind) {
    case Kind::Param:
        if (args.isEmpty()) {
            EmitPrompt(QByteArray(command->name) + " " + params_.value(command->name));
        } else {
            const bool maildropWasOn = MaildropOn();
            params_[command->name] = args;
            if (MaildropOn() != maildropWasOn) ScheduleMaildrop(true);
            EmitPrompt();
        }
        return;
    case Kind::Daytime:
        if (args.isEmpty()) {
            EmitPrompt("DAYTIME " + clockText_);
        } else if (IsTenDigits(args)) {
            clockText_ = args;
            EmitPrompt();
        } else {
            EmitPrompt("?bad");
        }
        return;
    case Kind::Host:
        if (IsOn(args)) {
            EnterHostMode(); // no prompt: frames from here on
        } else if (args.isEmpty() || IsOff(args)) {
            EmitPrompt("HOST OFF");
        } else {
            EmitPrompt("?bad");
        }
        return;
    case Kind::Restart:
        // Parameters and mailbox stay; the operating state starts afresh.
        ResetOperatingState();
        EmitPrompt(Banner());
        return;
    case Kind::Display: {
        QByteArray text;
        for (auto it = params_.cbegin(); it != params_.cend(); ++it) {
            if (!text.isEmpty()) text += "\r\n";
            text += it.key() + " " + it.value();
        }
        EmitPrompt(text);
        return;
    }
    case Kind::Clear:
        txBuffer_.clear();
        EmitPrompt();
        return;
    case Kind::Mailbox:
        lineMode_ = LineMode::Mailbox;
        EmitPrompt("Maildrop: " + QByteArray::number(messages_.size()) +
                   " message(s). Commands: L, R n, S call, K n, B");
        return;
    }
}

void Pk232Model::MailboxLine(const QByteArray& line) {
    if (line.isEmpty()) {
        EmitPrompt();
        return;
    }
    const QByteArray command = line.left(1).toUpper();
    const QByteArray arg = line.mid(1).trimmed();
    bool numberOk = false;
    const int number = arg.toInt(&numberOk);
    const bool validNumber = numberOk && number >= 1 && number <= messages_.size();
    if (command == "B" && arg.isEmpty()) {
        lineMode_ = LineMode::Command;
        EmitPrompt("Bye");
    } else if (command == "L" && arg.isEmpty()) {
        QByteArray list = "Msg From      Size Subject";
        for (int i = 0; i < messages_.size(); ++i) {
            const Message& m = messages_[i];
            list += "\r\n" + QByteArray::number(i + 1).rightJustified(3) + " " +
                    m.from.leftJustified(9) + QByteArray::number(m.text.size()).rightJustified(5) +
                    " " + m.subject;
        }
        EmitPrompt(list);
    } else if (command == "R") {
        if (!validNumber) {
            EmitPrompt("No such message: " + arg);
        } else {
            const Message& m = messages_[number - 1];
            QByteArray text = WithLineFeeds(m.text);
            while (text.endsWith("\r\n"))
                text.chop(2);
            EmitPrompt("Msg " + QByteArray::number(number) + " From: " + m.from + " To: " + m.to +
                       "\r\nSubject: " + m.subject + "\r\n" + text);
        }
    } else if (command == "K") {
        if (!validNumber) {
            EmitPrompt("No such message: " + arg);
        } else {
            messages_.removeAt(number - 1);
            EmitPrompt("Message " + QByteArray::number(number) + " killed");
        }
    } else if (command == "S" && !arg.isEmpty()) {
        if (messages_.size() >= kMaxMessages) {
            EmitPrompt("Maildrop full");
        } else {
            composeTo_ = arg.left(10).toUpper();
            compose_.clear();
            composeFrame_ = FrameState::Idle;
            lineMode_ = LineMode::Compose;
            Emit("\r\nEnter message to " + composeTo_ + ", end with Ctrl-Z\r\n");
        }
    } else {
        EmitPrompt("?bad");
    }
}

void Pk232Model::ComposeByte(quint8 byte) {
    // HOST data frames sent while composing (a text file sent from the
    // program) give their payload as text.
    switch (composeFrame_) {
    case FrameState::Control:
        composeFrame_ = FrameState::Payload;
        composeEscaped_ = false;
        return;
    case FrameState::Payload:
        if (composeEscaped_) {
            composeEscaped_ = false;
            ComposeText(byte);
        } else if (byte == kDle) {
            composeEscaped_ = true;
        } else if (byte == kEtb) {
            composeFrame_ = FrameState::Idle;
        } else if (byte == kSoh) {
            composeFrame_ = FrameState::Control;
        } else {
            ComposeText(byte);
        }
        return;
    case FrameState::Idle:
        break;
    }
    if (byte == kSoh) {
        composeFrame_ = FrameState::Control;
    } else if (byte == kSub) {
        const QByteArray text = compose_;
        compose_.clear();
        lineMode_ = LineMode::Mailbox;
        swallowCr_ = true; // the CR after the end mark
        if (AddMessage(OwnCall(), composeTo_, text)) {
            Note("mailbox: message " + QByteArray::number(messages_.size()) + " to " + composeTo_ +
                 " stored");
            EmitPrompt("Message " + QByteArray::number(messages_.size()) + " saved");
        } else {
            EmitPrompt("Maildrop full");
        }
    } else {
        ComposeText(byte);
    }
}

void Pk232Model::ComposeText(quint8 byte) {
    if (byte == kBs || byte == kDel) {
        if (!compose_.isEmpty() && quint8(compose_.back()) != kCr) {
            compose_.chop(1);
            if (EchoOn()) Emit("\b \b");
        }
        return;
    }
    if ((byte < 0x20 && byte != kCr) || compose_.size() >= kMaxMessageSize) return;
    compose_.append(char(byte));
    if (EchoOn()) Emit(byte == kCr ? QByteArray("\r\n") : QByteArray(1, char(byte)));
}

bool Pk232Model::AddMessage(const QByteArray& from, const QByteArray& to, const QByteArray& text) {
    if (messages_.size() >= kMaxMessages) return false;
    QByteArray subject;
    for (const QByteArray& line : text.split(char(kCr))) {
        subject = line.trimmed();
        if (!subject.isEmpty()) break;
    }
    QByteArray body = text.left(kMaxMessageSize);
    if (!body.isEmpty() && !body.endsWith(char(kCr))) body.append(char(kCr));
    messages_.append(
        Message{from.left(10).toUpper(), to.left(10).toUpper(), subject.left(kMaxSubject), body});
    return true;
}

// ---------------------------------------------------------------- HOST mode

void Pk232Model::EnterHostMode() {
    hostMode_ = true;
    frameState_ = FrameState::Idle;
    payload_.clear();
    line_.clear();
    ScheduleBand(true);
}

void Pk232Model::HostByte(quint8 byte) {
    // A frame whose bytes stopped coming is given up, so that the next start
    // byte begins a fresh frame.
    if (frameState_ != FrameState::Idle && qint32(now_ - lastByteAt_) > qint32(kFrameGapMs)) {
        frameState_ = FrameState::Idle;
        payload_.clear();
    }
    switch (frameState_) {
    case FrameState::Idle:
        if (byte == kSoh) {
            NoteOutside();
            frameState_ = FrameState::Control;
        } else {
            outside_.append(char(byte));
            if (byte == kCr || outside_.size() >= kMaxOutsideNote) NoteOutside();
        }
        return;
    case FrameState::Control:
        control_ = byte;
        payload_.clear();
        overlong_ = false;
        escaped_ = false;
        frameState_ = FrameState::Payload;
        return;
    case FrameState::Payload:
        if (escaped_) {
            escaped_ = false;
            AppendPayload(byte);
        } else if (byte == kDle) {
            escaped_ = true;
        } else if (byte == kSoh) {
            // An unescaped start byte: the frame before it lost its end.
            frameState_ = FrameState::Control;
        } else if (byte == kEtb) {
            frameState_ = FrameState::Idle;
            const QByteArray payload = payload_;
            payload_.clear();
            if (!overlong_) HostFrame(control_, payload);
        } else {
            AppendPayload(byte);
        }
        return;
    }
}

void Pk232Model::AppendPayload(quint8 byte) {
    if (payload_.size() < kMaxPayload) {
        payload_.append(char(byte));
    } else {
        overlong_ = true; // read on to its end, then drop it whole
    }
}

void Pk232Model::HostFrame(quint8 control, const QByteArray& payload) {
    AppendBounded(frames_, Frame{control, payload}, kMaxLog);
    if (control == kCtlCommand) {
        HostCommand(payload);
    } else if (control == kCtlData) {
        HostData(payload);
    }
}

void Pk232Model::HostCommand(const QByteArray& payload) {
    const QByteArray mnemonic = payload.left(2);
    const QByteArray code = mnemonic.toUpper();
    const QByteArray args = payload.mid(2).trimmed();
    const bool linked = link_ != Link::None;
    bool accepted = true;

    if (code == "OP") {
        ++statusRequests_;
        const QByteArray body = StatusBody();
        if (link_ == Link::Calling) ++callingReports_;
        if (link_ == Link::Connected) {
            if (!opening_.isEmpty()) {
                opening_.remove(0, 1);
            } else if (body.at(4) == '3') {
                idleReported_ = true;
            }
            if (fadeEndAt_) ++fadeReports_;
        }
        EmitFrame(kCtlCommand, body);
        return;
    }
    if (code == "HO" && IsOff(args)) {
        hostMode_ = false;
        lineMode_ = LineMode::Command;
        line_.clear();
        FlushEcho();
        FlushHeard();
        rxAir_.clear();
        EmitPrompt();
        return;
    }
    if (code == "PT" || code == "AM") { // standby; ends a link at once
        if (link_ == Link::Connected) {
            EndLink(true);
        } else if (link_ == Link::Calling) {
            EndLink(false);
        }
        SetMode(code == "PT" ? Mode::PactorStandby : Mode::AmtorStandby);
    } else if (code == "PG" || code == "AC") {
        if (link_ == Link::Connected) {
            accepted = false;
        } else {
            StartCall(code == "PG" ? Mode::PactorArq : Mode::AmtorArq, args.left(20));
        }
    } else if (code == "AG") {
        if (link_ == Link::Connected) {
            manualTurn_ = false;
            ChangeOver(!weSend_);
        }
    } else if (code == "PN" || code == "AL" || code == "PD" || code == "FE" || code == "BA" ||
               code == "XM" || code == "RC") {
        if (linked) {
            accepted = false; // a link runs: only standby ends it
        } else if (code == "PN") {
            SetMode(Mode::PactorListen);
        } else if (code == "AL") {
            SetMode(Mode::AmtorListen);
        } else if (code == "PD") {
            SetMode(Mode::PactorUnproto);
        } else if (code == "FE") {
            SetMode(Mode::AmtorFec);
        } else {
            SetMode(Mode::Rtty, code == "XM");
        }
    } else if (code == "TC") {
        txBuffer_.clear();
    } else if (code == "TL") {
        if (IsOn(args)) {
            params_["MAILDROP"] = "ON";
        } else if (IsOff(args)) {
            params_["MAILDROP"] = "OFF";
        } else {
            accepted = false;
        }
        ScheduleMaildrop(false);
    } else if (code == "DA") {
        if (IsTenDigits(args)) {
            clockText_ = args;
        } else {
            accepted = false;
        }
    } else if (code == "GG" || code == "HO") {
        // nothing to do
    } else {
        accepted = false;
    }
    // The short reply: the mnemonic and a status byte the program drops.
    EmitFrame(kCtlCommand, mnemonic + (accepted ? QByteArray(1, '\0') : QByteArray("?")));
    // An empty call fails at once, after the reply.
    if (accepted && link_ == Link::Calling && linkCall_.isEmpty()) FailCall();
}

void Pk232Model::HostData(const QByteArray& payload) {
    for (qsizetype i = 0; i < payload.size(); ++i) {
        const quint8 byte = quint8(payload.at(i));
        if (byte == kEot && link_ == Link::Calling) {
            EndLink(false); // the call is given up
            continue;
        }
        // In AMTOR and RTTY the text is taken in the Baudot alphabet: what it
        // has no sign for never enters the buffer (0x04 still ends the
        // transmission when its turn comes).
        if (!IsPactor() && byte != kEot && !InBaudot(byte)) continue;
        if (txBuffer_.size() >= kMaxTransmitBuffer) {
            Note("transmit buffer full: " + QByteArray::number(payload.size() - i) +
                 " bytes dropped");
            return;
        }
        txBuffer_.append(char(byte));
    }
}

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
    }
    const bool huffman = IsPactor() && link_ == Link::Connected && IsOn(Param("PTHUFF"));
    QByteArray body = "OP" + ModeCode();
    body.append(phase);
    body.append(mark);
    body.append('-');
    body.append(huffman ? '1' : '0');
    return body;
}

QByteArray Pk232Model::Param(const QByteArray& name) const {
    const Command* command = FindCommand(name);
    return params_.value(command ? QByteArray(command->name) : name.toUpper());
}

bool Pk232Model::EchoOn() const {
    return IsOn(params_.value("ECHO"));
}

bool Pk232Model::MaildropOn() const {
    return IsOn(params_.value("MAILDROP"));
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
    SetMode(Mode::PactorStandby);
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
    // The echo goes to the program in short runs, not character by character.
    if (!echo_.isEmpty() && (!CanTransmit() || SendableTx() == 0 ||
                             qint32(now_ - echoSince_) >= qint32(kEchoBatchMs))) {
        FlushEcho();
    }
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
        echo_.append(out);
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
        if (echo_.isEmpty()) echoSince_ = now_;
        for (char c : out) {
            echo_.append(c);
            if (quint8(c) == kCr || echo_.size() >= kMaxTextFrame) FlushEcho();
        }
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

void Pk232Model::FlushEcho() {
    if (echo_.isEmpty()) return;
    EmitText(kCtlEcho, echo_);
    echo_.clear();
    echoSince_ = now_;
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
