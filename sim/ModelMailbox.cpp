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
