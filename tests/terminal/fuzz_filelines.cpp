// Fuzz target: the line reader of a file transmission. Text files with every
// mix of line ends, binary content, lines longer than a read block, read in
// whole lines or in pieces of random size from a device that hands out a
// random number of bytes per read. What it hands out, each line followed by
// its line end, gives back the file (every line end as a line feed); no piece
// is longer than asked; the memory stays below a block, a piece and its line
// end.
#include <QBuffer>

#include "FuzzDriver.h"
#include "Trickle.h"
#include "terminal/FileLines.h"

namespace {

constexpr qsizetype kBlock = 64 * 1024;

// The first 8 bytes of an input choose how it is read; the rest is the file.
QByteArray MakeFile(Fuzz::Random& r) {
    QByteArray how(8, '\0');
    for (char& c : how)
        c = r.Byte();
    QByteArray file;
    if (r.OneIn(5)) {
        file = r.Bytes(r.Length(500, 200000));
    } else {
        for (qint64 n = r.Below(20); n > 0; --n)
            file +=
                r.Bytes(r.Length(40, 150000)).replace('\r', 'r').replace('\n', 'n') + r.LineEnds();
        file = r.Mutate(file, int(r.Below(3)));
    }
    return how + file;
}

// The file with every line end a line feed, and one after a last line
// without one.
QByteArray Expected(const QByteArray& file) {
    QByteArray s = file;
    s.replace("\r\n", "\n").replace('\r', '\n');
    if (!s.isEmpty() && !s.endsWith('\n')) s += '\n';
    return s;
}

QString Check(const QByteArray& input) {
    if (input.size() < 8) return QString();
    const QByteArray file = input.mid(8);
    const quint8 mode = quint8(input[0]);
    // Piece sizes: 1 to 255, or up to twice a block.
    const qsizetype most = (mode & 1) ? 1 + quint8(input[1])
                                      : 1 + (quint16(quint8(input[1]) << 8 | quint8(input[2])) * 2);
    const qint64 step = (mode & 2) ? 1 + quint8(input[3]) * 97 : kBlock;
    Trickle device(file, step);
    FileLines lines(device);
    QByteArray out;
    int guard = 0;
    while (!lines.AtEnd()) {
        FUZZ_EXPECT(++guard <= file.size() + 1, QStringLiteral("more lines than bytes"));
        if (mode & 4) {
            const QByteArray line = lines.Next();
            FUZZ_EXPECT(!line.contains('\r') && !line.contains('\n'), QString());
            out += line + '\n';
            continue;
        }
        const FileLines::Piece piece = lines.NextPiece(most);
        FUZZ_EXPECT(piece.bytes.size() <= most, QString::number(piece.bytes.size()));
        FUZZ_EXPECT(piece.endsLine || piece.bytes.size() == most, QString());
        FUZZ_EXPECT(!piece.bytes.contains('\r') && !piece.bytes.contains('\n'), QString());
        FUZZ_EXPECT(lines.BufferSize() <= kBlock + most + 2,
                    QStringLiteral("%1 bytes held").arg(lines.BufferSize()));
        out += piece.bytes;
        if (piece.endsLine) out += '\n';
    }
    FUZZ_EXPECT(!lines.Failed(), QString());
    FUZZ_EXPECT(out == Expected(file),
                QStringLiteral("%1 bytes out of %2").arg(out.size()).arg(file.size()));
    return QString();
}

} // namespace

DERVALO_FUZZ_MAIN(Fuzz::NoSetup, MakeFile, Check, 0xF11E, 20000)
