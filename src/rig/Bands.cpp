#include "rig/Bands.h"

namespace Bands {
namespace {
struct Band {
    const char* name;
    qint64 lowHz, highHz;
};
// The HF to UHF part of ADIF's band enumeration.
constexpr Band kBands[] = {
    {"2190m", 135700, 137800},       {"630m", 472000, 479000},       {"160m", 1800000, 2000000},
    {"80m", 3500000, 4000000},       {"60m", 5060000, 5450000},      {"40m", 7000000, 7300000},
    {"30m", 10100000, 10150000},     {"20m", 14000000, 14350000},    {"17m", 18068000, 18168000},
    {"15m", 21000000, 21450000},     {"12m", 24890000, 24990000},    {"10m", 28000000, 29700000},
    {"6m", 50000000, 54000000},      {"4m", 70000000, 71000000},     {"2m", 144000000, 148000000},
    {"1.25m", 222000000, 225000000}, {"70cm", 420000000, 450000000},
};
} // namespace

QString FromHz(qint64 hz) {
    for (const Band& b : kBands)
        if (hz >= b.lowHz && hz <= b.highHz) return QString::fromLatin1(b.name);
    return {};
}

QStringList Names() {
    QStringList out;
    for (const Band& b : kBands)
        out << QString::fromLatin1(b.name);
    return out;
}

QString Mhz4(qint64 hz) {
    return QString::number(double(hz) / 1e6, 'f', 4);
}

QByteArray AdifFreq(qint64 hz) {
    return QByteArray::number(double(hz) / 1e6, 'f', 6);
}

QString PaneText(qint64 hz) {
    const QString band = FromHz(hz);
    return Mhz4(hz) + QStringLiteral(" MHz") + (band.isEmpty() ? QString() : "  " + band);
}

} // namespace Bands
