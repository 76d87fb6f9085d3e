// Fuzz target: the fax stream reader. Well-formed bands (any count, ESC and
// the separator's bytes in the data, other printer codes between them) with
// random damage, and noise, read in blocks cut anywhere. Each band gives
// eight rows of the width, the rows the same however the blocks fall, and a
// picture's end gives at most one band more.
#include "FuzzDriver.h"
#include "fax/FaxStream.h"

namespace {

QByteArray MakeStream(Fuzz::Random& r) {
    QByteArray how(4, '\0');
    for (char& c : how)
        c = r.Byte();
    if (r.OneIn(6)) return how + r.Bytes(r.Length(300, 20000));
    QByteArray s;
    for (qint64 n = r.Below(8); n > 0; --n) {
        if (r.OneIn(2)) s += QByteArray("\x1B" "A\x08", 3);
        const int count = r.OneIn(4) ? int(r.Below(1200)) : 960;
        s += QByteArray("\x1BL", 2) + char(count & 0xFF) + char(count >> 8);
        QByteArray data = r.Bytes(count);
        for (int k = 0; k < 3 && count > 0; ++k)
            data[qsizetype(r.Below(quint64(count)))] = 0x1B;
        s += data;
        if (r.OneIn(3)) s += r.LineEnds();
        if (r.OneIn(5)) s += QByteArray("\x1B") + r.Byte() + r.Byte();
    }
    return how + r.Mutate(s, int(r.Below(3)));
}

QString Check(const QByteArray& input) {
    if (input.size() < 4) return QString();
    const int width = 8 + (quint8(input[0]) | (quint8(input[1]) & 3) << 8);
    const int step = 1 + quint8(input[2]);
    const QByteArray stream = input.mid(4);

    FaxStream whole(width);
    QList<QByteArray> all;
    const int bands = whole.Feed(stream, all);
    FUZZ_EXPECT(all.size() == qsizetype(bands) * 8, QString::number(all.size()));
    for (const QByteArray& row : all)
        FUZZ_EXPECT(row.size() == whole.RowBytes(), QString::number(row.size()));
    FUZZ_EXPECT(bands <= stream.size() / 4, QStringLiteral("more bands than commands"));

    FaxStream pieces(width);
    QList<QByteArray> rows;
    for (qsizetype at = 0; at < stream.size(); at += step)
        pieces.Feed(QByteArrayView(stream).sliced(at, qMin<qsizetype>(step, stream.size() - at)), rows);
    FUZZ_EXPECT(rows == all, QStringLiteral("blocks change the rows"));

    const int more = pieces.Finish(rows);
    FUZZ_EXPECT(more == 0 || more == 8, QString::number(more));
    FUZZ_EXPECT(more == 0 || whole.InBand(), QStringLiteral("a band out of nothing"));
    FUZZ_EXPECT(!pieces.InBand() && pieces.Finish(rows) == 0, QStringLiteral("not afresh"));
    return QString();
}

} // namespace

DERVALO_FUZZ_MAIN(Fuzz::NoSetup, MakeStream, Check, 0xFA58, 3000)
