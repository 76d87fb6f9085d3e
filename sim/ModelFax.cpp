#include "ModelFax.h"

#include <cmath>
#include <cstdio>

#include "Pk232Model.h"

#include "ModelShared.h"

using namespace pk232sim;

// ---------------------------------------------------------------- the chart

namespace {
// A 5 by 7 font: five columns a character, bit 0 the top row.
struct Glyph {
    char c;
    quint8 columns[5];
};
constexpr Glyph kFont[] = {
    {' ', {0x00, 0x00, 0x00, 0x00, 0x00}}, {'-', {0x08, 0x08, 0x08, 0x08, 0x08}},
    {'.', {0x00, 0x60, 0x60, 0x00, 0x00}}, {'/', {0x20, 0x10, 0x08, 0x04, 0x02}},
    {':', {0x00, 0x36, 0x36, 0x00, 0x00}}, {'%', {0x23, 0x13, 0x08, 0x64, 0x62}},
    {'0', {0x3E, 0x51, 0x49, 0x45, 0x3E}}, {'1', {0x00, 0x42, 0x7F, 0x40, 0x00}},
    {'2', {0x42, 0x61, 0x51, 0x49, 0x46}}, {'3', {0x21, 0x41, 0x45, 0x4B, 0x31}},
    {'4', {0x18, 0x14, 0x12, 0x7F, 0x10}}, {'5', {0x27, 0x45, 0x45, 0x45, 0x39}},
    {'6', {0x3C, 0x4A, 0x49, 0x49, 0x30}}, {'7', {0x01, 0x71, 0x09, 0x05, 0x03}},
    {'8', {0x36, 0x49, 0x49, 0x49, 0x36}}, {'9', {0x06, 0x49, 0x49, 0x29, 0x1E}},
    {'A', {0x7E, 0x11, 0x11, 0x11, 0x7E}}, {'B', {0x7F, 0x49, 0x49, 0x49, 0x36}},
    {'C', {0x3E, 0x41, 0x41, 0x41, 0x22}}, {'D', {0x7F, 0x41, 0x41, 0x22, 0x1C}},
    {'E', {0x7F, 0x49, 0x49, 0x49, 0x41}}, {'F', {0x7F, 0x09, 0x09, 0x09, 0x01}},
    {'G', {0x3E, 0x41, 0x49, 0x49, 0x7A}}, {'H', {0x7F, 0x08, 0x08, 0x08, 0x7F}},
    {'I', {0x00, 0x41, 0x7F, 0x41, 0x00}}, {'J', {0x20, 0x40, 0x41, 0x3F, 0x01}},
    {'K', {0x7F, 0x08, 0x14, 0x22, 0x41}}, {'L', {0x7F, 0x40, 0x40, 0x40, 0x40}},
    {'M', {0x7F, 0x02, 0x0C, 0x02, 0x7F}}, {'N', {0x7F, 0x04, 0x08, 0x10, 0x7F}},
    {'O', {0x3E, 0x41, 0x41, 0x41, 0x3E}}, {'P', {0x7F, 0x09, 0x09, 0x09, 0x06}},
    {'Q', {0x3E, 0x41, 0x51, 0x21, 0x5E}}, {'R', {0x7F, 0x09, 0x19, 0x29, 0x46}},
    {'S', {0x46, 0x49, 0x49, 0x49, 0x31}}, {'T', {0x01, 0x01, 0x7F, 0x01, 0x01}},
    {'U', {0x3F, 0x40, 0x40, 0x40, 0x3F}}, {'V', {0x1F, 0x20, 0x40, 0x20, 0x1F}},
    {'W', {0x3F, 0x40, 0x38, 0x40, 0x3F}}, {'X', {0x63, 0x14, 0x08, 0x14, 0x63}},
    {'Y', {0x07, 0x08, 0x70, 0x08, 0x07}}, {'Z', {0x61, 0x51, 0x49, 0x45, 0x43}},
};

const quint8* GlyphOf(char c) {
    for (const Glyph& g : kFont)
        if (g.c == c) return g.columns;
    return kFont[0].columns;
}

constexpr quint8 kCtlMonitor = 0x3F; // to the program: the fax stream

// The 4 by 4 ordered-dither matrix.
constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
} // namespace

const FaxChart& FaxChart::Chart() {
    static const FaxChart chart;
    return chart;
}

void FaxChart::Set(int x, int y) {
    if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) dots_[size_t(y) * kWidth + size_t(x)] = 1;
}

void FaxChart::Line(int x0, int y0, int x1, int y1, int thickness) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        for (int t = 0; t < thickness; ++t)
            for (int u = 0; u < thickness; ++u)
                Set(x0 + t, y0 + u);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void FaxChart::Text(int x, int y, const char* text, int scale) {
    // Rows are 72 an inch and dots 120: letters are drawn 5/3 as wide in
    // dots as tall in rows, so they come out upright.
    const int sx = (scale * 5 + 1) / 3;
    for (; *text; ++text, x += 6 * sx) {
        const quint8* g = GlyphOf(*text);
        for (int col = 0; col < 5; ++col)
            for (int row = 0; row < 7; ++row)
                if (g[col] & (1 << row))
                    for (int a = 0; a < sx; ++a)
                        for (int b = 0; b < scale; ++b)
                            Set(x + col * sx + a, y + row * scale + b);
    }
}

void FaxChart::Dither(int x, int y, int w, int h, int level) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            if (kBayer[(y + j) & 3][(x + i) & 3] < level) Set(x + i, y + j);
}

FaxChart::FaxChart() : dots_(size_t(kWidth) * kHeight, 0) {
    // Frame and title block.
    Line(8, 4, kWidth - 9, 4, 3);
    Line(8, kHeight - 7, kWidth - 9, kHeight - 7, 3);
    Line(8, 4, 8, kHeight - 7, 3);
    Line(kWidth - 11, 4, kWidth - 11, kHeight - 7, 3);
    Text(30, 14, "DERVALO-PK232SIM  SURFACE ANALYSIS", 2);
    Text(30, 42, "VALID 12 UTC   PRESSURE IN HPA   GREY SCALE BELOW", 2);
    Line(8, 64, kWidth - 9, 64, 2);
    // The grid: every 80 dots across and 60 rows down, dashed.
    for (int gx = 80; gx < kWidth - 10; gx += 80)
        for (int y = 70; y < 660; y += 6)
            Line(gx, y, gx, y + 2);
    for (int gy = 120; gy < 660; gy += 60)
        for (int x = 12; x < kWidth - 12; x += 10)
            Line(x, gy, x + 4, gy);
    // Isobars round a low: nested ellipses, thick.
    for (int k = 1; k <= 5; ++k) {
        const double a = 70.0 * k, b = 42.0 * k;
        int px = 0, py = 0;
        for (int s = 0; s <= 360; s += 3) {
            const double t = s * 3.14159265358979 / 180.0;
            const int x = 420 + int(a * std::cos(t) + 8 * std::sin(3 * t));
            const int y = 360 + int(b * std::sin(t));
            if (s > 0 && y > 66 && py > 66 && y < 660 && py < 660) Line(px, py, x, y, 2);
            px = x;
            py = y;
        }
        char label[8];
        std::snprintf(label, sizeof label, "%d", 1010 - 4 * (6 - k));
        if (360 - int(b) > 80) Text(420 - 20, 360 - int(b) - 9, label, 1);
    }
    Text(400, 346, "L", 4);
    Text(820, 120, "H", 4);
    // A coast along the right.
    int px = 700, py = 660;
    for (int y = 660; y > 70; y -= 10) {
        const int x = 760 + int(60 * std::sin(y / 47.0)) + int(25 * std::cos(y / 13.0));
        Line(px, py, x, y, 3);
        px = x;
        py = y;
    }
    // The grey scale: nine patches, white to black, with their share.
    Line(8, 668, kWidth - 9, 668, 2);
    for (int i = 0; i <= 8; ++i) {
        const int x = 30 + i * 100;
        Dither(x, 680, 90, 70, i * 2);
        Line(x - 1, 679, x + 90, 679);
        Line(x - 1, 750, x + 90, 750);
        Line(x - 1, 679, x - 1, 750);
        Line(x + 90, 679, x + 90, 750);
        char label[8];
        std::snprintf(label, sizeof label, "%d%%", i * 125 / 10);
        Text(x + 20, 758, label, 2);
    }
}

QByteArray FaxChart::Band(int band) const {
    QByteArray out("\x1B"
                   "A\x08"
                   "\x1B"
                   "L\xC0\x03",
                   7);
    out.reserve(7 + kWidth);
    for (int x = 0; x < kWidth; ++x) {
        quint8 column = 0;
        for (int r = 0; r < 8; ++r)
            if (Black(x, band * 8 + r)) column |= quint8(0x80 >> r);
        out.append(char(column));
    }
    return out;
}

QByteArray FaxChart::Stream() const {
    QByteArray out;
    for (int b = 0; b < Bands(); ++b)
        out += Band(b);
    return out;
}

// ---------------------------------------------------------------- the model

std::optional<bool> Pk232Model::FaxCommand(const QByteArray& code, const QByteArray& args) {
    if (code == "FA") {
        if (link_ != Link::None) return false;
        SetMode(Mode::Fax);
        StartFax();
        return true;
    }
    bool ok = false;
    const int value = args.toInt(&ok);
    if (code == "FS") {
        if (!ok || value < 0 || value > 4) return false;
        params_["FSPEED"] = args;
        return true;
    }
    if (code == "AY") {
        if (!ok || value < 1 || value > 6) return false;
        params_["ASPECT"] = args;
        return true;
    }
    if (code == "PF") {
        if (!IsOn(args) && !IsOff(args)) return false;
        params_["PRFAX"] = IsOn(args) ? "ON" : "OFF";
        return true;
    }
    return std::nullopt;
}

quint32 Pk232Model::FaxBandMs() const {
    static constexpr int kLpm[] = {90, 60, 120, 180, 240};
    const int speed = qBound(0, Param("FSPEED").toInt(), 4);
    const int aspect = qBound(1, Param("ASPECT").toInt(), 6);
    // Rows a second = lines a minute / 60 * kept of six; a band is 8 rows.
    return quint32(8 * 60000 * 6 / (kLpm[speed] * aspect));
}

bool Pk232Model::StartFax() {
    fax_.clear();
    faxSent_ = 0;
    if (mode_ != Mode::Fax) return false;
    if (!IsOff(Param("PRFAX"))) {
        Note("FAX: PRFAX is ON, so the picture goes to the printer port, not to the program");
        return false;
    }
    fax_ = FaxChart::Chart().Stream();
    faxStartAt_ = now_;
    faxBlock_ = 1 + int(Random(256));
    return true;
}

bool Pk232Model::StartFaxPicture(quint32 nowMs) {
    Advance(nowMs);
    const bool started = StartFax();
    WorkFax();
    return started;
}

bool Pk232Model::StopFaxPicture(quint32 nowMs) {
    Advance(nowMs);
    const bool running = FaxRunning();
    fax_.clear();
    faxSent_ = 0;
    return running;
}

void Pk232Model::WorkFax() {
    if (fax_.isEmpty()) return;
    const qint64 total = fax_.size();
    qint64 due = total;
    if (airSpeed_ > 0) {
        // Spread evenly over the bands' time, at the air speed's factor.
        const qint64 spanMs = qint64(FaxBandMs()) * FaxChart::Chart().Bands() / airSpeed_;
        const qint64 elapsed = qint64(now_ - faxStartAt_);
        due = spanMs <= 0 ? total : qMin(total, elapsed * total / spanMs);
    }
    // Blocks of any length up to 256; the last may be shorter. A program
    // that does not read holds the rest back in the unit, nothing is lost.
    while (faxSent_ < due) {
        const qint64 left = total - faxSent_;
        const qint64 block = qMin<qint64>(faxBlock_, left);
        if (due - faxSent_ < block) break;
        if (out_.size() + 2 * block + 4 > kMaxOutput) break;
        EmitFrame(kCtlMonitor, fax_.mid(faxSent_, block));
        faxSent_ += block;
        faxBlock_ = 1 + int(Random(256));
    }
    if (faxSent_ >= total) {
        fax_.clear();
        faxSent_ = 0;
    }
}
