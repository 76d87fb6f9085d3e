#include "fax/FaxStream.h"

namespace {
constexpr char kEsc = 0x1B;

// Argument bytes of the printer codes passed over (the rest take none that
// the unit sends).
int ArgumentsOf(char code) {
    switch (code) {
    case 'A': // line spacing n/72 inch: the band separator
    case '3': // line spacing n/216 inch
    case 'J': // advance n/216 inch
    case 'Q': // right margin
    case 'l': // left margin
    case 'C': // page length
    case 'N': // skip over perforation
    case '!': // print mode
        return 1;
    default:
        return 0;
    }
}

bool IsGraphics(char code) {
    return code == 'L' || code == 'K' || code == 'Y' || code == 'Z';
}
} // namespace

FaxStream::FaxStream(int width) : width_(width < 8 ? 8 : width) {}

void FaxStream::StartBand() {
    received_ = 0;
    band_.fill('\0', qsizetype(RowBytes()) * kBandRows);
}

void FaxStream::EndBand(QList<QByteArray>& rows) {
    const int rowBytes = RowBytes();
    for (int r = 0; r < kBandRows; ++r)
        rows.append(band_.mid(qsizetype(r) * rowBytes, rowBytes));
    state_ = State::Text;
}

int FaxStream::Feed(QByteArrayView bytes, QList<QByteArray>& rows) {
    int bands = 0;
    const int rowBytes = RowBytes();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        switch (state_) {
        case State::Text:
            if (c == kEsc) state_ = State::Escape;
            break;
        case State::Escape:
            if (IsGraphics(c)) {
                state_ = State::CountLow;
            } else if (c == kEsc) {
                state_ = State::Escape;
            } else {
                arguments_ = ArgumentsOf(c);
                state_ = arguments_ > 0 ? State::Argument : State::Text;
            }
            break;
        case State::Argument:
            if (--arguments_ <= 0) state_ = State::Text;
            break;
        case State::CountLow:
            count_ = quint8(c);
            state_ = State::CountHigh;
            break;
        case State::CountHigh:
            count_ += 256 * quint8(c);
            StartBand();
            state_ = State::Columns;
            if (count_ == 0) {
                state_ = State::Text; // an empty command prints nothing
            }
            break;
        case State::Columns: {
            // The columns of this block that belong to the band, at once.
            const qsizetype take = qMin<qsizetype>(bytes.size() - i, count_ - received_);
            const int x0 = received_;
            const int inWidth = int(qBound<qsizetype>(0, qsizetype(width_ - x0), take));
            char* data = band_.data();
            for (int k = 0; k < inWidth; ++k) {
                const quint8 column = quint8(bytes[i + k]);
                if (column == 0) continue;
                const int x = x0 + k;
                const char bit = char(0x80 >> (x & 7));
                char* at = data + (x >> 3);
                for (int r = 0; r < kBandRows; ++r)
                    if (column & (0x80 >> r)) at[qsizetype(r) * rowBytes] |= bit;
            }
            received_ += int(take);
            i += take - 1;
            if (received_ == count_) {
                EndBand(rows);
                ++bands;
            }
            break;
        }
        }
    }
    return bands;
}

int FaxStream::Finish(QList<QByteArray>& rows) {
    const bool partial = state_ == State::Columns && received_ > 0;
    if (partial) EndBand(rows);
    state_ = State::Text;
    received_ = 0;
    count_ = 0;
    arguments_ = 0;
    return partial ? kBandRows : 0;
}
