#pragma once

#include <QByteArray>

class QIODevice;

// The lines of a text file, one at a time, as bytes. A line ends at a
// carriage return and line feed, a lone line feed or a lone carriage return;
// the line end is not part of the line. A last line without a line end is a
// line all the same; a file that ends with a line end has no empty line after
// it. Every other byte is kept as it is, so binary content comes through
// unchanged. The file is read in blocks. A whole line (Next) takes memory
// as long as the line; handed out in pieces (NextPiece) the memory stays
// below a block and a piece whatever the file, a line without end included.
class FileLines {
public:
    // At most a given number of bytes of a line, and whether the line ends
    // right after them.
    struct Piece {
        QByteArray bytes;
        bool endsLine = true;
    };

    explicit FileLines(QIODevice& device) : device_(device) {}

    // True when no line is left (or the device could not be read further).
    bool AtEnd();
    // The next line; empty at the end.
    QByteArray Next();
    // The next piece of at most `most` bytes of the current line. A line of
    // exactly `most` bytes is one piece that ends the line.
    Piece NextPiece(qsizetype most);
    // The bytes held in memory now.
    qsizetype BufferSize() const { return buffer_.size(); }
    // True when reading the device failed before its end.
    bool Failed() const { return failed_; }

private:
    // Reads one more block; false when nothing more came.
    bool Fill();

    static constexpr qint64 kBlock = 64 * 1024;
    QIODevice& device_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    bool exhausted_ = false;
    bool failed_ = false;
};
