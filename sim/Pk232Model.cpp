#include "Pk232Model.h"

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

constexpr char kPrompt[] = "cmd:";
constexpr char kMailboxPrompt[] = "MBX>";

// Command-line commands: the full name and the shortest abbreviation taken.
enum class Kind { Param, Host, Restart, Daytime, Mailbox, Display };
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

template <typename T> void AppendBounded(QList<T>& list, const T& item) {
    if (list.size() >= Pk232Model::kMaxLog) list.removeFirst();
    list.append(item);
}

} // namespace

Pk232Model::Pk232Model() {
    params_["ECHO"] = "ON";
    params_["MAILDROP"] = "OFF";
    messages_.append(Message{"ALL", "Welcome to the maildrop of this simulated PK-232.\r"
                                    "Messages written here stay until the simulator ends.\r"});
}

// ---------------------------------------------------------------- time

void Pk232Model::Advance(quint32 nowMs) {
    if (!started_) {
        started_ = true;
        now_ = nowMs;
        lastByteAt_ = nowMs;
    } else if (qint32(nowMs - now_) > 0) {
        now_ = nowMs; // a clock that steps back is held where it was
    }
    RunDueEvents();
}

bool Pk232Model::Due(std::optional<quint32> at) const {
    return at && qint32(now_ - *at) >= 0;
}

void Pk232Model::RunDueEvents() {
    // Each pass handles one event; an event may schedule the next one.
    for (int pass = 0; pass < 16; ++pass) {
        if (link_ == Link::Calling && answerCalls_ && callingReports_ >= 1 &&
            Due(callStart_ + kConnectDelayMs)) {
            Connect(true);
        } else if (Due(disconnectAt_)) {
            EndLink(true);
        } else if (Due(remoteTalkAt_)) {
            remoteTalkAt_.reset();
            RemoteTalk();
        } else if (Due(handBackAt_)) {
            handBackAt_.reset();
            ChangeOver(true);
        } else if (Due(nextCqAt_)) {
            nextCqAt_ = now_ + kCqIntervalMs;
            if (unsolicited_ && hostMode_ && IsListening()) HeardCq();
        } else {
            return;
        }
    }
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
    if (hostMode_) {
        EmitFrame(kCtlLink, text);
    } else {
        Emit("\r\n***" + text + "\r\n");
    }
}

void Pk232Model::EmitPrompt(const QByteArray& reply) {
    QByteArray out = "\r\n";
    if (!reply.isEmpty()) out += reply + "\r\n";
    out += lineMode_ == LineMode::Command ? kPrompt : kMailboxPrompt;
    Emit(out);
}

// ---------------------------------------------------------------- command line

void Pk232Model::LineByte(quint8 byte) {
    if (byte == kCr) {
        const QByteArray line = line_;
        line_.clear();
        AppendBounded(lines_, line);
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
            params_[command->name] = args;
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
        // Parameters stay; the operating state starts afresh.
        link_ = Link::None;
        weSend_ = false;
        txBuffer_.clear();
        disconnectAt_.reset();
        remoteTalkAt_.reset();
        handBackAt_.reset();
        SetMode(Mode::PactorStandby);
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
    if (command == "B") {
        lineMode_ = LineMode::Command;
        EmitPrompt("Bye");
    } else if (command == "L") {
        QByteArray list = "No. To       Size";
        for (int i = 0; i < messages_.size(); ++i) {
            list += "\r\n" + QByteArray::number(i + 1).leftJustified(4) +
                    messages_[i].to.leftJustified(9) + QByteArray::number(messages_[i].text.size());
        }
        EmitPrompt(list);
    } else if (command == "R") {
        if (!validNumber) {
            EmitPrompt("No such message");
        } else {
            const Message& m = messages_[number - 1];
            QByteArray text = WithLineFeeds(m.text);
            while (text.endsWith("\r\n"))
                text.chop(2);
            EmitPrompt("To: " + m.to + "\r\n" + text);
        }
    } else if (command == "K") {
        if (!validNumber) {
            EmitPrompt("No such message");
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
            lineMode_ = LineMode::Compose;
            Emit("\r\nEnter message, end with Ctrl-Z\r\n");
        }
    } else {
        EmitPrompt("?bad");
    }
}

void Pk232Model::ComposeByte(quint8 byte) {
    if (byte == kSub) {
        messages_.append(Message{composeTo_, compose_});
        compose_.clear();
        lineMode_ = LineMode::Mailbox;
        EmitPrompt("Message " + QByteArray::number(messages_.size()) + " saved");
        return;
    }
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

// ---------------------------------------------------------------- HOST mode

void Pk232Model::EnterHostMode() {
    hostMode_ = true;
    frameState_ = FrameState::Idle;
    payload_.clear();
    line_.clear();
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
        if (byte == kSoh) frameState_ = FrameState::Control; // anything else: ignored
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
    AppendBounded(frames_, Frame{control, payload});
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
        if (link_ == Link::Connected && body.at(4) == '3') idleReported_ = true;
        EmitFrame(kCtlCommand, body);
        return;
    }
    if (code == "HO" && IsOff(args)) {
        hostMode_ = false;
        lineMode_ = LineMode::Command;
        line_.clear();
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
        if (link_ == Link::Connected || args.isEmpty()) {
            accepted = false;
        } else {
            StartCall(code == "PG" ? Mode::PactorArq : Mode::AmtorArq, args.left(20));
        }
    } else if (code == "AG") {
        if (link_ == Link::Connected) ChangeOver(!weSend_);
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
}

void Pk232Model::HostData(const QByteArray& payload) {
    QByteArray text;
    for (qsizetype i = 0; i < payload.size(); ++i) {
        const quint8 byte = quint8(payload.at(i));
        const bool sendingLink = link_ == Link::Connected && weSend_;
        if (byte == kEot) {
            Transmit(text);
            text.clear();
            EndTransmission();
        } else if (byte == kEm) {
            Transmit(text);
            text.clear();
            if (sendingLink && IsPactor()) ChangeOver(false);
        } else if (byte == '+' && i + 1 < payload.size() && payload.at(i + 1) == '?' &&
                   sendingLink && !IsPactor()) {
            Transmit(text); // "+?" hands the turn over in AMTOR
            text.clear();
            ChangeOver(false);
            ++i;
        } else {
            text.append(char(byte)); // PACTOR carries every byte value
        }
    }
    Transmit(text);
}

// ---------------------------------------------------------------- modes and link

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
    const bool traffic = lastTrafficAt_ && qint32(now_ - *lastTrafficAt_) < qint32(kTrafficShowMs);
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
            // The first report of a new link is always "idle": the program
            // takes calling followed by idle as the sign of a connection.
            phase = idleReported_ && traffic ? '4' : '3';
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
    return (link_ == Link::Connected && weSend_ && !disconnectAt_) ||
           mode_ == Mode::PactorUnproto || mode_ == Mode::AmtorFec ||
           (mode_ == Mode::Rtty && rttyTransmit_);
}

void Pk232Model::SetMode(Mode mode, bool rttyTransmit) {
    mode_ = mode;
    rttyTransmit_ = mode == Mode::Rtty && rttyTransmit;
    lastTrafficAt_.reset();
    if (IsListening()) {
        nextCqAt_ = now_ + kFirstCqDelayMs;
    } else {
        nextCqAt_.reset();
    }
    FlushTransmitBuffer();
}

void Pk232Model::StartCall(Mode mode, const QByteArray& call) {
    SetMode(mode);
    link_ = Link::Calling;
    weSend_ = false;
    linkCall_ = call;
    callStart_ = now_;
    callingReports_ = 0;
}

void Pk232Model::Connect(bool weCalled) {
    link_ = Link::Connected;
    weSend_ = weCalled; // the calling side sends first
    idleReported_ = false;
    disconnectAt_.reset();
    handBackAt_.reset();
    remoteTalkAt_.reset();
    EmitLinkMessage(" CONNECTED to " + linkCall_);
    if (weSend_) {
        FlushTransmitBuffer();
    } else {
        remoteTalkAt_ = now_ + kRemoteTalkDelayMs;
    }
}

void Pk232Model::EndLink(bool announce) {
    const bool amtor = !IsPactor();
    const bool wasConnected = link_ == Link::Connected;
    link_ = Link::None;
    weSend_ = false;
    txBuffer_.clear();
    disconnectAt_.reset();
    remoteTalkAt_.reset();
    handBackAt_.reset();
    SetMode(amtor ? Mode::AmtorStandby : Mode::PactorStandby);
    if (announce && wasConnected) EmitLinkMessage(" DISCONNECTED");
}

void Pk232Model::ChangeOver(bool toUs) {
    if (link_ != Link::Connected) return;
    weSend_ = toUs;
    remoteTalkAt_.reset();
    handBackAt_.reset();
    if (toUs) {
        FlushTransmitBuffer();
    } else {
        remoteTalkAt_ = now_ + kRemoteTalkDelayMs;
    }
}

void Pk232Model::EndTransmission() {
    if (link_ == Link::Connected) {
        if (!disconnectAt_) disconnectAt_ = now_ + kDisconnectDelayMs;
    } else if (link_ == Link::Calling) {
        EndLink(false);
    } else if (mode_ == Mode::PactorUnproto) {
        SetMode(Mode::PactorStandby);
    } else if (mode_ == Mode::AmtorFec) {
        SetMode(Mode::AmtorStandby);
    } else if (mode_ == Mode::Rtty && rttyTransmit_) {
        SetMode(Mode::Rtty);
    }
}

void Pk232Model::Transmit(const QByteArray& text) {
    if (text.isEmpty()) return;
    if (CanTransmit()) {
        EmitText(kCtlEcho, WithLineFeeds(text));
        lastTrafficAt_ = now_;
    } else {
        txBuffer_.append(text.left(kMaxTransmitBuffer - txBuffer_.size()));
    }
}

void Pk232Model::FlushTransmitBuffer() {
    if (txBuffer_.isEmpty() || !CanTransmit()) return;
    QByteArray text;
    text.swap(txBuffer_);
    Transmit(text);
}

QByteArray Pk232Model::OwnCall() const {
    QByteArray call = IsPactor() ? MyPtCall() : QByteArray();
    if (call.isEmpty()) call = MyCall();
    return call.isEmpty() ? QByteArray("NOCALL") : call.toUpper();
}

void Pk232Model::RemoteTalk() {
    const QByteArray his = linkCall_.isEmpty() ? QByteArray("PA3XYZ") : linkCall_.toUpper();
    const QByteArray header = OwnCall() + " de " + his + "\r\n";
    static const char* const kTurns[] = {
        "Good day and thanks for the call. Name here is Piet, QTH Utrecht.\r\n"
        "How do you copy?",
        "All copied fine, your signal is good here.\r\n"
        "Rig is 100 W into a dipole at 10 m.",
        "Thanks for the nice contact, 73 and hope to meet you again.",
    };
    const QByteArray body = kTurns[turns_ % 3];
    ++turns_;
    EmitText(kCtlHeard, header + body + "\r\n" + OwnCall() + " de " + his + " k\r\n");
    lastTrafficAt_ = now_;
    handBackAt_ = now_ + kHandBackDelayMs;
}

void Pk232Model::HeardCq() {
    QByteArray line;
    if (mode_ == Mode::PactorListen) {
        line = "CQ CQ CQ de PA3XYZ PA3XYZ k\r\n";
    } else if (mode_ == Mode::AmtorListen) {
        line = "CQ CQ CQ de G4XYZ G4XYZ G4XYZ k\r\n";
    } else {
        line = "RYRYRY CQ CQ CQ de DL1XYZ DL1XYZ DL1XYZ pse k\r\n";
    }
    EmitText(kCtlHeard, line);
    lastTrafficAt_ = now_;
}

// ---------------------------------------------------------------- test hooks

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
        if (link_ != Link::None) return;
        linkCall_ = call.isEmpty() ? QByteArray("PA3XYZ") : call.left(20);
        SetMode(IsPactor() ? Mode::PactorArq : Mode::AmtorArq);
        Connect(false);
        return;
    case LinkEvent::RemoteDisconnect:
        if (link_ != Link::None) EndLink(true);
        return;
    }
}
