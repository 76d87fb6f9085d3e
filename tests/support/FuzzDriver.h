#pragma once

// A fixed-seed random driver for the fuzz targets (tests/<folder>/fuzz_*.cpp).
// Each target makes inputs from a seeded std::mt19937_64, mostly well-formed
// with random damage, some pure noise, and checks its invariants on each. The
// files in the target's folder of kept cases are replayed first. An input
// that fails (an invariant, an exception, or a sanitizer report) is saved to
// a file named in the failure message, so it can be kept as a case.
//
// DERVALO_FUZZ_SEED and DERVALO_FUZZ_COUNT in the environment give another
// seed and another number of inputs.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <random>

#if defined(__SANITIZE_ADDRESS__) && __has_include(<sanitizer/common_interface_defs.h>)
#include <sanitizer/common_interface_defs.h>
#define DERVALO_FUZZ_DEATH_CALLBACK 1
#endif

namespace Fuzz {

// The random source with the shapes of input the targets need.
class Random {
public:
    explicit Random(quint64 seed) : rng_(seed) {}

    // 0 to n - 1 (0 when n is 0).
    quint64 Below(quint64 n) { return n == 0 ? 0 : rng_() % n; }
    // lo to hi, both included.
    qint64 Between(qint64 lo, qint64 hi) { return lo + qint64(Below(quint64(hi - lo + 1))); }
    bool OneIn(quint64 n) { return Below(n) == 0; }
    char Byte() { return char(Below(256)); }
    template <typename T, size_t N> const T& Pick(const T (&items)[N]) { return items[Below(N)]; }

    // A byte the readers look at twice: frame bytes, DLE, NUL, 0xFF, line ends.
    char SpecialByte() {
        static const char kSpecial[] = {0x01, 0x10, 0x17, 0x00, char(0xFF), '\r', '\n', 0x1A};
        return Pick(kSpecial);
    }
    // A length that is mostly small, now and then large.
    qsizetype Length(qsizetype usual, qsizetype huge) {
        return OneIn(50) ? qsizetype(Between(usual, huge)) : qsizetype(Below(quint64(usual) + 1));
    }
    QByteArray Bytes(qsizetype n) {
        QByteArray out(n, '\0');
        for (char& c : out)
            c = OneIn(4) ? SpecialByte() : Byte();
        return out;
    }
    // Carriage returns and line feeds in any order and number.
    QByteArray LineEnds() {
        static const char* const kEnds[] = {"\r\n", "\n", "\r", "\n\r", "\r\r\n", ""};
        QByteArray out;
        for (qint64 n = Between(1, 3); n > 0; --n)
            out += Pick(kEnds);
        return out;
    }

    // Random damage: bytes flipped, inserted, deleted, cut off, a run of one
    // byte many KB long, special bytes, line ends.
    QByteArray Mutate(QByteArray in, int rounds) {
        for (int i = 0; i < rounds; ++i) {
            const qsizetype at = qsizetype(Below(quint64(in.size()) + 1));
            switch (Below(8)) {
            case 0:
                if (at < in.size()) in[at] = char(in[at] ^ char(1u << Below(8)));
                break;
            case 1:
                in.insert(at, Byte());
                break;
            case 2:
                in.remove(at, qsizetype(Between(1, 4)));
                break;
            case 3:
                in.truncate(at);
                break;
            case 4:
                in.insert(at, QByteArray(qsizetype(Between(1000, 70000)), OneIn(2) ? Byte() : 'x'));
                break;
            case 5:
                in.insert(at, SpecialByte());
                break;
            case 6:
                in.insert(at, LineEnds());
                break;
            default:
                if (at < in.size()) in[at] = SpecialByte();
                break;
            }
        }
        return in;
    }

private:
    std::mt19937_64 rng_;
};

struct Options {
    quint64 seed;
    qint64 count;
};

inline Options FromEnvironment(quint64 seed, qint64 count) {
    bool ok = false;
    const quint64 s = qEnvironmentVariable("DERVALO_FUZZ_SEED").toULongLong(&ok, 0);
    if (ok) seed = s;
    const qint64 c = qEnvironmentVariable("DERVALO_FUZZ_COUNT").toLongLong(&ok);
    if (ok && c >= 0) count = c;
    return {seed, count};
}

namespace detail {
inline QByteArray& Current() {
    static QByteArray input;
    return input;
}
inline QString& CurrentFile() {
    static QString name;
    return name;
}
inline void Save() {
    QFile f(CurrentFile());
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(Current());
}
inline void SaveOnDeath() {
    Save();
    std::fprintf(stderr, "FUZZ: the input in hand is saved to %s\n",
                 qPrintable(QFileInfo(CurrentFile()).absoluteFilePath()));
}
} // namespace detail

// Checks one input; returns what went wrong, or an empty text.
using Check = std::function<QString(const QByteArray&)>;
// Makes the next input.
using Make = std::function<QByteArray(Random&)>;

// Replays every file in `casesDir`, then checks `options.count` made inputs.
// Returns the exit code of the test program: 0 when all passed.
inline int Run(const QString& name, const QString& casesDir, const Options& options,
               const Make& make, const Check& check) {
    detail::CurrentFile() = QStringLiteral("fuzz-failure-%1-%2.bin").arg(name).arg(options.seed);
#ifdef DERVALO_FUZZ_DEATH_CALLBACK
    __sanitizer_set_death_callback(&detail::SaveOnDeath);
#endif
    auto fail = [&](const QString& where, const QString& what) {
        detail::Save();
        std::fprintf(stderr,
                     "FUZZ %s: %s: %s\nThe input is saved to %s; to keep it as a regression case "
                     "copy it into %s/\n",
                     qPrintable(name), qPrintable(where), qPrintable(what),
                     qPrintable(QFileInfo(detail::CurrentFile()).absoluteFilePath()),
                     qPrintable(casesDir));
        return 1;
    };
    auto one = [&](const QByteArray& input, const QString& where) -> int {
        detail::Current() = input;
        QString problem;
        try {
            problem = check(input);
        } catch (const std::exception& e) {
            problem = QStringLiteral("exception: %1").arg(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            problem = QStringLiteral("unknown exception");
        }
        return problem.isEmpty() ? 0 : fail(where, problem);
    };

    const QDir cases(casesDir);
    int replayed = 0;
    for (const QFileInfo& file : cases.entryInfoList(QDir::Files, QDir::Name)) {
        QFile f(file.absoluteFilePath());
        if (!f.open(QIODevice::ReadOnly))
            return fail(file.fileName(), QStringLiteral("unreadable"));
        if (one(f.readAll(), QStringLiteral("case %1").arg(file.fileName())) != 0) return 1;
        ++replayed;
    }
    Random random(options.seed);
    for (qint64 i = 0; i < options.count; ++i) {
        if (one(make(random), QStringLiteral("seed %1, input %2").arg(options.seed).arg(i)) != 0)
            return 1;
    }
    std::printf("FUZZ %s: %d kept cases and %lld inputs (seed %llu) passed\n", qPrintable(name),
                replayed, static_cast<long long>(options.count),
                static_cast<unsigned long long>(options.seed));
    return 0;
}

// The entry of a target: `setup(argc, argv)` (an application, a window),
// then the fixed-seed run of `make` and `check`. Built with DERVALO_LIBFUZZER
// (clang), the same setup and check become libFuzzer's entry points; an input
// that fails its check aborts, and libFuzzer saves it.
inline void NoSetup(int&, char**) {}

} // namespace Fuzz

#ifdef DERVALO_LIBFUZZER
#define DERVALO_FUZZ_MAIN(setup, make, check, seed, count)                                         \
    [[maybe_unused]] static auto* const dervaloFuzzMake = &make; /* libFuzzer makes its own */     \
    extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {                                 \
        setup(*argc, *argv);                                                                       \
        return 0;                                                                                  \
    }                                                                                              \
    extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {                \
        const QString problem =                                                                    \
            check(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));               \
        if (!problem.isEmpty()) {                                                                  \
            std::fprintf(stderr, "FUZZ %s: %s\n", DERVALO_FUZZ_NAME, qPrintable(problem));         \
            std::abort();                                                                          \
        }                                                                                          \
        return 0;                                                                                  \
    }
#else
#define DERVALO_FUZZ_MAIN(setup, make, check, seed, count)                                         \
    int main(int argc, char** argv) {                                                              \
        setup(argc, argv);                                                                         \
        return Fuzz::Run(DERVALO_FUZZ_NAME, DERVALO_FUZZ_CASES,                                    \
                         Fuzz::FromEnvironment(seed, count), make, check);                         \
    }
#endif

// Where the failure of a check is described: `FUZZ_EXPECT(cond, text)`
// returns the text from the check when the condition does not hold.
#define FUZZ_EXPECT(cond, text)                                                                    \
    do {                                                                                           \
        if (!(cond)) return QStringLiteral("%1 (%2)").arg(QString(text), QStringLiteral(#cond));   \
    } while (0)
