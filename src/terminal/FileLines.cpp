#include "terminal/FileLines.h"

#include <QIODevice>

bool FileLines::Fill() {
    if (exhausted_) return false;
    // What has been handed out already is dropped before the buffer grows.
    if (pos_ > 0) {
        buffer_.remove(0, pos_);
        pos_ = 0;
    }
    const qsizetype had = buffer_.size();
    buffer_.resize(had + kBlock);
    const qint64 got = device_.read(buffer_.data() + had, kBlock);
    if (got <= 0) {
        buffer_.resize(had);
        exhausted_ = true;
        if (got < 0) failed_ = true;
        return false;
    }
    buffer_.resize(had + qsizetype(got));
    return true;
}

bool FileLines::AtEnd() {
    if (pos_ < buffer_.size()) return false;
    return !Fill();
}

QByteArray FileLines::Next() {
    qsizetype from = pos_;
    for (;;) {
        qsizetype at = from;
        const qsizetype size = buffer_.size();
        const char* data = buffer_.constData();
        while (at < size && data[at] != '\r' && data[at] != '\n')
            ++at;
        if (at < size) {
            // A carriage return at the very end of the buffer may be the
            // first half of CR LF: look at one more byte before deciding.
            if (data[at] == '\r' && at + 1 == size) {
                const qsizetype offset = at - pos_;
                if (Fill()) {
                    from = pos_ + offset;
                    continue;
                }
                at = pos_ + offset;
            }
            const QByteArray line = buffer_.mid(pos_, at - pos_);
            qsizetype next = at + 1;
            if (buffer_.at(at) == '\r' && next < buffer_.size() && buffer_.at(next) == '\n') ++next;
            pos_ = next;
            return line;
        }
        // No line end yet: read on, or the rest is the last line.
        const qsizetype offset = size - pos_;
        if (!Fill()) {
            const QByteArray line = buffer_.mid(pos_);
            pos_ = buffer_.size();
            return line;
        }
        from = pos_ + offset;
    }
}
