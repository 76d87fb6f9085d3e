#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <vector>

// The weather-fax chart the simulated PK-232 "receives" in FAX mode, drawn
// with plain code into an array of dots (the simulator links only Qt Core),
// and the Epson 9-pin stream the unit sends it in.
namespace pk232sim {

class FaxChart {
public:
    static constexpr int kWidth = 960;  // GRAPHICS 1
    static constexpr int kHeight = 800; // 100 bands of 8 rows

    // The chart: a frame, a title and a date line in text, a grid, isobars
    // and a coast, and a grey scale of dither patterns with its labels.
    static const FaxChart& Chart();

    bool Black(int x, int y) const { return dots_[size_t(y) * kWidth + size_t(x)] != 0; }
    int Bands() const { return kHeight / 8; }

    // One band: `ESC A 8` (the separator), then `ESC L` with 960 columns
    // (C0 03), bit 7 the top dot, 1 black.
    QByteArray Band(int band) const;
    // Every band, in order.
    QByteArray Stream() const;

private:
    FaxChart();
    void Set(int x, int y);
    void Line(int x0, int y0, int x1, int y1, int thickness = 1);
    void Text(int x, int y, const char* text, int scale);
    void Dither(int x, int y, int w, int h, int level); // level 0 (white) to 16 (black)
    std::vector<quint8> dots_;
};

} // namespace pk232sim
