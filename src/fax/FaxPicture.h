#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QList>
#include <QString>

// One received weather-fax picture: its rows of dots as the stream reader
// gives them (each `RowBytes()` bytes, packed from the left, most
// significant bit first, 1 black) and the UTC moment its first byte came.
// Dots are 120 per inch across and 72 per inch down.
class FaxPicture {
public:
    static constexpr int kDotsPerInchAcross = 120;
    static constexpr int kDotsPerInchDown = 72;

    explicit FaxPicture(int width = 960) : width_(width) {}

    void Start(const QDateTime& utc) {
        rows_.clear();
        started_ = utc;
    }
    void Append(const QList<QByteArray>& rows) { rows_.append(rows); }

    int Width() const { return width_; }
    int RowBytes() const { return (width_ + 7) / 8; }
    int RowCount() const { return int(rows_.size()); }
    const QByteArray& Row(int y) const { return rows_.at(y); }
    bool IsEmpty() const { return rows_.isEmpty(); }
    const QDateTime& Started() const { return started_; }
    bool Black(int x, int y) const {
        return (quint8(rows_.at(y).at(x >> 3)) >> (7 - (x & 7))) & 1;
    }

    // The picture a dot a pixel, black on white, one bit deep, with its
    // resolution (120 by 72 dots an inch) recorded.
    QImage Image() const;

    // "fax/2026-12-08_163012Z.png": the name of a picture started at `utc`,
    // in the folder "fax" of the working folder.
    static QString FileName(const QDateTime& utc);

private:
    int width_;
    QList<QByteArray> rows_;
    QDateTime started_;
};
