#include "Pk232Model.h"

#include "ModelShared.h"

using namespace pk232sim;

void Pk232Model::MailboxLine(const QByteArray& line) {
    if (line.isEmpty()) {
        EmitPrompt();
        return;
    }
    const QByteArray command = line.left(1).toUpper();
    const QByteArray arg = line.mid(1).trimmed();
    // R, K and S take their argument behind a blank: "R1" is no command.
    const bool blank = line.size() > 1 && line.at(1) == ' ';
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
    } else if (command == "R" && blank) {
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
    } else if (command == "K" && blank) {
        if (!validNumber) {
            EmitPrompt("No such message: " + arg);
        } else {
            messages_.removeAt(number - 1);
            EmitPrompt("Message " + QByteArray::number(number) + " killed");
        }
    } else if (command == "S" && blank && !arg.isEmpty()) {
        if (messages_.size() >= kMaxMessages) {
            EmitPrompt("Maildrop full");
        } else {
            composeTo_ = arg.left(10).toUpper();
            compose_.clear();
            lineMode_ = LineMode::Compose;
            Emit("\r\nEnter message to " + composeTo_ + ", end with /EX\r\n");
            Answered(0);
        }
    } else {
        RefuseLine(line);
    }
}

void Pk232Model::ComposeByte(quint8 byte) {
    // "/EX" at the start of a line ends the message. Every other byte is
    // stored as it came: a Ctrl-Z, and the bytes of HOST frames sent
    // meanwhile (a unit out of HOST mode has no frame reader).
    if (byte == kCr) {
        const qsizetype lineStart = compose_.lastIndexOf(char(kCr), compose_.size() - 1) + 1;
        if (compose_.mid(lineStart).trimmed().toUpper() == "/EX") {
            const QByteArray text = compose_.left(lineStart);
            compose_.clear();
            lineMode_ = LineMode::Mailbox;
            if (AddMessage(OwnCall(), composeTo_, text)) {
                Note("mailbox: message " + QByteArray::number(messages_.size()) + " to " +
                     composeTo_ + " stored");
                EmitPrompt("Message " + QByteArray::number(messages_.size()) + " saved");
            } else {
                EmitPrompt("Maildrop full");
            }
            return;
        }
    }
    ComposeText(byte);
}

void Pk232Model::ComposeText(quint8 byte) {
    if (byte == kBs || byte == kDel) {
        if (!compose_.isEmpty() && quint8(compose_.back()) != kCr) {
            compose_.chop(1);
            if (EchoOn()) Emit("\b \b");
        }
        return;
    }
    if (byte == kLf || compose_.size() >= kMaxMessageSize) return;
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
