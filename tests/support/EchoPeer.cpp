#include "EchoPeer.h"

void EchoPeer::FromHost(quint8 byte, quint32 nowMs) {
    Tick(nowMs);
    switch (state_) {
    case State::Idle:
        if (byte == 0x01)
            state_ = State::Control;
        else
            plain.append(char(byte));
        return;
    case State::Control:
        control_ = char(byte);
        payload_.clear();
        state_ = State::Payload;
        if (byte == 0x17) {
            control_ = 0;
            state_ = State::Idle;
        }
        return;
    case State::Payload:
        if (byte == 0x10)
            state_ = State::Escaped;
        else if (byte == 0x17)
            FrameDone();
        else
            payload_.append(char(byte));
        return;
    case State::Escaped:
        payload_.append(char(byte));
        state_ = State::Payload;
        return;
    }
}

void EchoPeer::FrameDone() {
    state_ = State::Idle;
    if (control_ == ' ') {
        dataFrames << payload_;
        buffer_ += payload_;
        if (charsPerSecond == 0 && !silent) Echo(buffer_.size());
    } else if (control_ == 'O') {
        commands << payload_;
        if (payload_ == "TC") buffer_.clear();
    }
}

void EchoPeer::Echo(qsizetype count) {
    if (count <= 0) return;
    QByteArray frame("\x01"
                     "0");
    for (const char c : buffer_.left(count)) {
        if (easOn && c == '\r') continue;
        if (c == 0x01 || c == 0x10 || c == 0x17) frame += char(0x10);
        frame += c;
    }
    frame += char(0x17);
    out_ += frame;
    buffer_.remove(0, count);
    echoed += count;
}

void EchoPeer::Tick(quint32 nowMs) {
    if (!started_) {
        started_ = true;
        last_ = nowMs;
    }
    const quint32 passed = nowMs - last_;
    last_ = nowMs;
    if (silent) {
        credit_ = 0;
        return;
    }
    if (charsPerSecond == 0) {
        Echo(buffer_.size());
        return;
    }
    credit_ += double(passed) * charsPerSecond / 1000.0;
    const qsizetype due = qMin<qsizetype>(qsizetype(credit_), buffer_.size());
    if (due > 0) {
        credit_ -= double(due);
        Echo(due);
    }
    if (buffer_.isEmpty()) credit_ = 0;
}

QByteArray EchoPeer::ToHost(quint32 nowMs) {
    Tick(nowMs);
    QByteArray out = out_;
    out_.clear();
    return out;
}
