// Fuzz target: the settings reader. Settings files as the program writes
// them, damaged (lines missing, huge, binary, NUL, CR only, no last line end,
// numbers out of range, thousands of lines, texts in UTF-8), and noise. After
// reading (and the defaults where reading failed, as at start) the texts keep
// their bounds, the values serve where the program uses them (colours, the
// split of the window); writing and reading again gives the same settings.
#include <QApplication>

#include "FuzzDriver.h"
#include "link/Settings.h"
#include "shell/Appearance.h"
#include "shell/Layout.h"

namespace {

QByteArray Number(Fuzz::Random& r) {
    static const char* const kOdd[] = {"4294967295",
                                       "4294967296",
                                       "-2147483648",
                                       "-2147483649",
                                       "99999999999999999999999999999999999",
                                       "+",
                                       "-",
                                       "12a",
                                       "0x10",
                                       " 7 8",
                                       "\t-1",
                                       "65536",
                                       "256",
                                       "264"};
    if (r.OneIn(4)) return r.Pick(kOdd);
    return QByteArray::number(r.Between(-70000, 70000));
}

QByteArray Text(Fuzz::Random& r) {
    // Plain, Latin-1, UTF-8 (also of characters below 0x100), a BOM.
    static const char* const kTexts[] = {"terminal",
                                         "System",
                                         "Bold",
                                         "Bolder2",
                                         "PA3XYZ",
                                         "\xC3\xA9t\xC3\xA9",
                                         "\xE4\xB8\x80\xE4\xBA\x8C",
                                         "\xE9\xE8",
                                         "\xEF\xBB\xBFZ\xE2\x82\xAC",
                                         "ON",
                                         "OFF",
                                         ("\xC3\xA4\xC2\xB8\xC2\x80"
                                          "abc\xE2\x82\xAC"),
                                         ""};
    QByteArray t = r.Pick(kTexts);
    if (r.OneIn(3)) t += r.Pick(kTexts);
    return t;
}

QByteArray MakeFile(Fuzz::Random& r) {
    if (r.OneIn(20)) return r.Bytes(r.Length(200, 20000));
    static const bool kIsNumber[31] = {0, 0, 0, 1, 0, 0, 1, 0, 1, 1, 1, 0, 0, 1, 1, 0,
                                       1, 1, 0, 1, 1, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0};
    QByteArray file;
    for (int line = 0; line < 31; ++line) {
        if (line >= 27)
            file += r.OneIn(2) ? "ON" : (r.OneIn(2) ? "OFF" : "on");
        else
            file += kIsNumber[line] ? Number(r) : Text(r);
        file += r.OneIn(10) ? r.LineEnds() : QByteArray("\r\n");
    }
    if (r.OneIn(30)) file += QByteArray(r.Between(1, 5000) * 2, '\n'); // thousands of lines
    if (r.OneIn(10)) file.chop(2);                                     // no last line end
    return r.OneIn(2) ? r.Mutate(file, int(r.Between(1, 4))) : file;
}

// As the program holds the fields after a start: what was read, the
// built-in defaults where reading failed, the stored port and rate in use.
SettingsFields Start(const QByteArray& file, bool& read) {
    SettingsFields f;
    quint8 status = 0;
    read = ParseSettings(file, f, status);
    if (!read) ApplyBuiltInDefaults(f);
    f.PortName = f.StoredPortName;
    f.BaudRate = f.StoredBaudRate;
    return f;
}

QStringList Texts(const SettingsFields& f) {
    return {f.StoredPortName, f.RxFontName,     f.TxFontName,    f.RxFontStyle, f.TxFontStyle,
            f.ButtonFontName, f.StatusFontName, f.DefaultMyCall, f.MySelCall};
}

QList<qint64> Numbers(const SettingsFields& f) {
    return {f.StoredBaudRate,   f.RxFontSize,     f.TxFontSize,      f.RxWindowColor,
            f.TxWindowColor,    f.RxFontColor,    f.TxFontColor,     f.ButtonFontSize,
            f.ButtonFontStyle,  f.StatusFontSize, f.StatusFontStyle, f.ReceiveBarColor,
            f.TransmitBarColor, f.SplitPerMille,  f.WindowMaximized, f.MaildropOn,
            f.PkInitOn,         f.LogBookOn};
}

QString Check(const QByteArray& file) {
    bool read = false;
    const SettingsFields first = Start(file, read);
    FUZZ_EXPECT(first.RxFontStyle.size() <= 6 && first.TxFontStyle.size() <= 6, first.RxFontStyle);
    FUZZ_EXPECT(first.MySelCall.size() <= 4, first.MySelCall);
    for (const QString& t : Texts(first))
        FUZZ_EXPECT(!t.contains(QLatin1Char('\r')) && !t.contains(QLatin1Char('\n')), t);
    // Both bar colours come from one line.
    FUZZ_EXPECT(first.ReceiveBarColor == first.TransmitBarColor, QString());
    for (const qint32 colour : {first.RxWindowColor, first.TxWindowColor, first.RxFontColor,
                                first.TxFontColor, first.ReceiveBarColor})
        FUZZ_EXPECT(Appearance::FromWinColor(colour).isValid(), QString::number(colour));
    // The split places the transmit bar, whatever its value, without overflow.
    const Layout::Result layout = Layout::Compute({1024, 768, 700, first.SplitPerMille});
    FUZZ_EXPECT(layout.transmitBar.top() == layout.TransmitBarTop,
                QString::number(first.SplitPerMille));

    const QByteArray written = FormatSettings(first);
    FUZZ_EXPECT(written.count('\n') == 31, QString::fromLatin1(written));
    bool readAgain = false;
    const SettingsFields second = Start(written, readAgain);
    FUZZ_EXPECT(readAgain, QStringLiteral("a written file does not read back"));
    FUZZ_EXPECT(Texts(first) == Texts(second), QStringLiteral("texts %1 / %2")
                                                   .arg(Texts(first).join(QLatin1Char('|')),
                                                        Texts(second).join(QLatin1Char('|'))));
    FUZZ_EXPECT(Numbers(first) == Numbers(second), QStringLiteral("numbers change"));
    FUZZ_EXPECT(FormatSettings(second) == written, QStringLiteral("second writing differs"));
    return QString();
}

// The system colours come from the application's palette.
void Setup(int& argc, char** argv) {
    new QApplication(argc, argv);
}

} // namespace

DERVALO_FUZZ_MAIN(Setup, MakeFile, Check, 0x1A1, 30000)
