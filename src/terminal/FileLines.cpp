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
    QByteArray line;
    for (;;) {
        const Piece piece = NextPiece(kBlock);
        line += piece.bytes;
        if (piece.endsLine) return line;
    }
}

FileLines::Piece FileLines::NextPiece(qsizetype most) {
    // Enough bytes to see whether a line end follows the piece: the piece, a
    // carriage return and the line feed that may come after it.
    while (buffer_.size() - pos_ < most + 2 && Fill()) {
    }
    const qsizetype left = buffer_.size() - pos_;
    const char* data = buffer_.constData() + pos_;
    const qsizetype look = qMin(left, most + 1);
    qsizetype at = 0;
    while (at < look && data[at] != '\r' && data[at] != '\n')
        ++at;
    if (at < look) {
        // The line ends within the piece or right after it.
        Piece piece{buffer_.mid(pos_, at), true};
        qsizetype next = at + 1;
        if (data[at] == '\r' && next < left && data[next] == '\n') ++next;
        pos_ += next;
        return piece;
    }
    if (left > most) {
        Piece piece{buffer_.mid(pos_, most), false};
        pos_ += most;
        return piece;
    }
    // The rest of the file is its last line, without a line end.
    Piece piece{buffer_.mid(pos_), true};
    pos_ = buffer_.size();
    return piece;
}
