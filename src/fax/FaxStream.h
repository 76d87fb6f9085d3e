#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The reader of the PK-232's weather-fax picture: the Epson 9-pin printer
// stream that arrives in the payload of its 0x3F frames. Bytes in, rows out;
// the state is kept across calls, so a block may end anywhere, inside an
// escape sequence or a band's column data included.
//
// The stream: `ESC L n1 n2` and then n1 + 256 * n2 column bytes, one byte a
// column of eight dots, bit 7 the top one, 1 black; `ESC A n` (line
// spacing, n/72 inch; `ESC A 8` stands between the bands) and the other
// codes of the printer are passed over. Column data is read by its length:
// an ESC inside it is a column like any other. The graphics commands `ESC K`,
// `ESC Y` and `ESC Z` are read like `ESC L`.
//
// Each graphics command gives one band of eight rows when its last column
// has come. A row is `RowBytes()` bytes, the dots packed from the left, the
// most significant bit first, 1 black (the layout of a one-bit picture);
// columns beyond the width are dropped, a band with fewer is white to the
// right.
class FaxStream {
public:
    static constexpr int kDefaultWidth = 960; // GRAPHICS 1: 8 inches at 120 dots
    static constexpr int kBandRows = 8;

    explicit FaxStream(int width = kDefaultWidth);

    int Width() const { return width_; }
    int RowBytes() const { return (width_ + 7) / 8; }

    // Reads a block; the rows of every band completed in it are appended to
    // `rows` (eight per band). Returns how many bands were completed.
    int Feed(QByteArrayView bytes, QList<QByteArray>& rows);

    // The picture ends here: the band under way, if any column of it came,
    // is given as far as it came (white for the rest), and the reader starts
    // afresh. Returns the number of rows appended (0 or 8).
    int Finish(QList<QByteArray>& rows);

    // True while a band's columns are coming.
    bool InBand() const { return state_ == State::Columns; }

private:
    enum class State { Text, Escape, Argument, CountLow, CountHigh, Columns };
    void StartBand();
    void EndBand(QList<QByteArray>& rows);

    int width_;
    State state_ = State::Text;
    int count_ = 0;      // columns the graphics command announced
    int received_ = 0;   // columns of it read so far
    int arguments_ = 0;  // argument bytes still to pass over
    QByteArray band_;    // eight rows being filled
};
