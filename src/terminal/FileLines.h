#pragma once

#include <QByteArray>

class QIODevice;

// The lines of a text file, one at a time, as bytes. A line ends at a
// carriage return and line feed, a lone line feed or a lone carriage return;
// the line end is not part of the line. A last line without a line end is a
// line all the same; a file that ends with a line end has no empty line after
// it. Every other byte is kept as it is, so binary content comes through
// unchanged. The file is read in blocks, so memory follows the longest line,
// not the size of the file.
class FileLines {
public:
    explicit FileLines(QIODevice& device) : device_(device) {}

    // True when no line is left (or the device could not be read further).
    bool AtEnd();
    // The next line; empty at the end.
    QByteArray Next();
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
