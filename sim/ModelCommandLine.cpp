#include "Pk232Model.h"

#include "ModelShared.h"

using namespace pk232sim;

namespace {

// Command-line commands: the full name and the shortest abbreviation taken.
enum class Kind { Param, Host, Restart, Daytime, Mailbox, Display, Clear, Converse };
struct Command {
    const char* name;
    int minLength;
    Kind kind;
};
const Command kCommands[] = {
    {"8BITCONV", 2, Kind::Param},  {"ACRREPT", 4, Kind::Param},     {"AWLEN", 3, Kind::Param},
    {"CM", 2, Kind::Param},        {"CONVERSE", 4, Kind::Converse}, {"DAYTIME", 2, Kind::Daytime},
    {"DISPLAY", 4, Kind::Display}, {"EAS", 3, Kind::Param},         {"ECHO", 2, Kind::Param},
    {"EXPERT", 3, Kind::Param},    {"HOST", 2, Kind::Host},         {"K", 1, Kind::Converse},
    {"HPOLL", 2, Kind::Param},     {"MAILDROP", 4, Kind::Param},    {"MDCHECK", 3, Kind::Mailbox},
    {"MDM", 3, Kind::Param},       {"MYCALL", 2, Kind::Param},      {"MYSELCAL", 3, Kind::Param},
    {"MYPTCALL", 4, Kind::Param},  {"PARITY", 3, Kind::Param},      {"PTHUFF", 4, Kind::Param},
    {"PTOVER", 3, Kind::Param},    {"RESTART", 7, Kind::Restart},   {"TCLEAR", 2, Kind::Clear},
};

const Command* FindCommand(const QByteArray& word) {
    const QByteArray upper = word.toUpper();
    for (const Command& c : kCommands) {
        if (upper.size() >= c.minLength && QByteArray(c.name).startsWith(upper)) return &c;
    }
    return nullptr;
}

} // namespace

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
        if (RefuseEarlyLine(line.trimmed())) return;
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
    if (byte == kCanLine) { // CANLINE: the half-typed line is thrown away
        line_.clear();
        lineEarly_ = false;
        return;
    }
    // Other control bytes (ESC, frame bytes, XON, COMMAND, 0x19, line feed)
    // do nothing here;
    // what does not fit on the line is dropped.
    if (byte < 0x20 || line_.size() >= kMaxLine) return;
    if (Answering()) lineEarly_ = true; // still answering the line before
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
    if (command == nullptr || (!pactorOption_ && IsPactorCommand(word))) {
        RefuseLine(line);
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
        // Parameters and mailbox stay; the operating state starts afresh, and
        // the line takes the word length and parity now set.
        ResetOperatingState();
        ApplyLineParams();
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
    case Kind::Converse:
        converse_ = true; // no prompt: text from here on
        return;
    case Kind::Mailbox:
        lineMode_ = LineMode::Mailbox;
        EmitPrompt("Maildrop: " + QByteArray::number(messages_.size()) +
                   " message(s). Commands: L, R n, S call, K n, B");
        return;
    }
}

QByteArray Pk232Model::Param(const QByteArray& name) const {
    const Command* command = FindCommand(name);
    return params_.value(command ? QByteArray(command->name) : name.toUpper());
}

int Pk232Model::ParamNumber(const QByteArray& name, int unset) const {
    const QByteArray value = Param(name);
    return value.isEmpty() ? unset : value.toInt();
}

bool Pk232Model::EchoOn() const {
    return IsOn(params_.value("ECHO"));
}

bool Pk232Model::EasOn() const {
    return IsOn(params_.value("EAS"));
}

bool Pk232Model::MaildropOn() const {
    return IsOn(params_.value("MAILDROP"));
}
