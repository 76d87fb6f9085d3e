#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <functional>
#include <sys/resource.h>

#include "ScriptedPrompts.h"
#include "link/Settings.h"

Q_DECLARE_METATYPE(SettingsFields)

namespace {

// The file written after a start without a settings file.
const QByteArray kDefaultFile = ";Port Number\r\nCOM4\r\n;Baudrate\r\n9600\r\n"
                                ";Do NOT change the values below\r\n"
                                "terminal\r\n8\r\nSystem\r\n8\r\n12632256\r\n16711680\r\n"
                                "Normal\r\nnormal\r\n0\r\n65535\r\n"
                                "\r\n0\r\n0\r\n\r\n0\r\n0\r\n"
                                "11203312\r\nSystem\r\nSystem\r\n263\r\nHello\r\nUser\r\n"
                                "OFF\r\nOFF\r\nOFF\r\nOFF\r\n";

// A complete file in which every item differs from its neighbours, so an item
// read from the wrong line shows.
QList<QByteArray> SampleLines() {
    return QByteArray(";Port Number|COM2|;Baudrate|19200|;Do NOT change the values below|"
                      "Courier|10|Fixedsys|12|255|-16|Bold|Italic|65280|-2147483648|"
                      "Arial|9|3|Tahoma|11|2|4242|System|System|500|PA3XYZ|ABCD|ON|OFF|ON|ON")
        .split('|');
}

QByteArray Join(const QList<QByteArray>& lines, const QByteArray& end = "\r\n") {
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + end;
    return out;
}

// Values no file line holds, to see which fields a read touched.
SettingsFields Sentinels() {
    SettingsFields f;
    const QString text = QStringLiteral("untouched");
    f.StoredPortName = f.PortName = f.RxFontName = f.TxFontName = f.RxFontStyle = text;
    f.TxFontStyle = f.ButtonFontName = f.StatusFontName = f.DefaultMyCall = f.MySelCall = text;
    f.StoredBaudRate = f.BaudRate = f.ButtonFontSize = f.StatusFontSize = f.SplitPerMille = 77;
    f.RxFontSize = f.TxFontSize = f.ButtonFontStyle = f.StatusFontStyle = 77;
    f.RxWindowColor = f.TxWindowColor = f.RxFontColor = f.TxFontColor = 77;
    f.ReceiveBarColor = f.TransmitBarColor = 77;
    f.WindowMaximized = f.MaildropOn = f.PkInitOn = f.LogBookOn = true;
    return f;
}

// Every field with the file line it is read from (0: not read).
struct FieldInfo {
    QString name;
    int line;
    std::function<QString(const SettingsFields&)> value;
};

#define FIELD(name, line)                                                                          \
    {                                                                                              \
        QStringLiteral(#name), line,                                                               \
            [](const SettingsFields& f) { return QVariant(f.name).toString(); }                    \
    }
const QList<FieldInfo> kFields = {
    FIELD(StoredPortName, 2),    FIELD(StoredBaudRate, 4),   FIELD(PortName, 0),
    FIELD(BaudRate, 0),          FIELD(RxFontName, 6),       FIELD(RxFontSize, 7),
    FIELD(TxFontName, 8),        FIELD(TxFontSize, 9),       FIELD(RxWindowColor, 10),
    FIELD(TxWindowColor, 11),    FIELD(RxFontStyle, 12),     FIELD(TxFontStyle, 13),
    FIELD(RxFontColor, 14),      FIELD(TxFontColor, 15),     FIELD(ButtonFontName, 16),
    FIELD(ButtonFontSize, 17),   FIELD(ButtonFontStyle, 18), FIELD(StatusFontName, 19),
    FIELD(StatusFontSize, 20),   FIELD(StatusFontStyle, 21), FIELD(ReceiveBarColor, 22),
    FIELD(TransmitBarColor, 22), FIELD(SplitPerMille, 25),   FIELD(DefaultMyCall, 26),
    FIELD(MySelCall, 27),        FIELD(WindowMaximized, 28), FIELD(MaildropOn, 29),
    FIELD(PkInitOn, 30),         FIELD(LogBookOn, 31),
};
#undef FIELD

QStringList Describe(const SettingsFields& f) {
    QStringList out;
    for (const FieldInfo& info : kFields)
        out << info.name + QLatin1Char('=') + info.value(f);
    return out;
}

// The sentinel fields after reading SampleLines() up to, not including, line
// `failLine`: items before it read, the rest untouched, switches not read off.
QStringList ExpectedBefore(int failLine) {
    SettingsFields sample = Sentinels();
    quint8 status = 0;
    ParseSettings(Join(SampleLines()), sample, status);
    const QStringList read = Describe(sample);
    const QStringList untouched = Describe(Sentinels());
    QStringList out;
    for (int i = 0; i < kFields.size(); ++i) {
        const FieldInfo& info = kFields[i];
        if (info.line != 0 && info.line < failLine)
            out << read[i];
        else if (info.line >= 28)
            out << info.name + QStringLiteral("=false");
        else
            out << untouched[i];
    }
    return out;
}

void SetField(QStringList& described, const QString& name, const QString& value) {
    for (QString& entry : described)
        if (entry.startsWith(name + QLatin1Char('='))) entry = name + QLatin1Char('=') + value;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void defaultsGiveTheDefaultFile() {
        SettingsFields fields;
        ApplyBuiltInDefaults(fields);
        QCOMPARE(FormatSettings(fields), kDefaultFile);

        QTemporaryDir dir;
        ScriptedPrompts prompts;
        quint8 status = 99;
        WriteSettings(dir.path(), fields, status, prompts);
        QCOMPARE(status, quint8(0));
        QVERIFY(prompts.log.isEmpty());
        QCOMPARE(ReadFile(dir.filePath(kSettingsFileName)), kDefaultFile);

        // The defaults leave the stored port and rate, the general-button and
        // status-line fonts and the switches alone.
        SettingsFields over = Sentinels();
        ApplyBuiltInDefaults(over);
        QStringList expected = Describe(fields);
        for (const QString& name :
             QStringList{"StoredPortName", "StoredBaudRate", "ButtonFontName", "ButtonFontSize",
                         "ButtonFontStyle", "StatusFontName", "StatusFontSize", "StatusFontStyle"})
            SetField(expected, name,
                     name.contains("Name") ? QStringLiteral("untouched") : QStringLiteral("77"));
        for (const QString& name :
             QStringList{"WindowMaximized", "MaildropOn", "PkInitOn", "LogBookOn"})
            SetField(expected, name, QStringLiteral("true"));
        QCOMPARE(Describe(over), expected);
    }

    void writeThenReadGivesTheFields_data() {
        QTest::addColumn<SettingsFields>("source");
        SettingsFields sample = Sentinels();
        sample.StoredPortName = "COM9"; // lines 2 and 4 come from the values in use
        sample.StoredBaudRate = 1200;
        sample.PortName = "COM3";
        sample.BaudRate = 38400;
        sample.RxFontName = " Courier New ";
        sample.RxFontSize = 10;
        sample.TxFontSize = 255;
        sample.RxWindowColor = -2147483647 - 1;
        sample.TxWindowColor = 2147483647;
        sample.RxFontStyle = "Bold";
        sample.TxFontStyle = "Bolder";
        sample.RxFontColor = -16;
        sample.ButtonFontName = QString::fromLatin1("\xC6r\xF8 \xBD");
        sample.ButtonFontSize = 65535;
        sample.ButtonFontStyle = 4;
        sample.StatusFontSize = 12;
        sample.StatusFontStyle = 2;
        sample.ReceiveBarColor = 11203312;
        sample.TransmitBarColor = 5; // written from the receive bar colour only
        sample.SplitPerMille = 999;
        sample.DefaultMyCall = "PA3XYZ";
        sample.MySelCall = "PXYZ";
        sample.MaildropOn = false;
        QTest::newRow("varied") << sample;
        // Texts with characters beyond one byte come back as chosen, not as
        // question marks.
        SettingsFields wide = sample;
        wide.RxFontName = QString::fromUtf8("\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91");
        wide.StatusFontName = QString::fromUtf8("Noto Sans \xD0\x9A\xD0\xB8\xD1\x80 \xC3\xA9");
        wide.DefaultMyCall = QString::fromUtf8("\xCE\xA3X1");
        QTest::newRow("beyond one byte") << wide;
        QTest::newRow("zero") << SettingsFields();
        SettingsFields defaults;
        ApplyBuiltInDefaults(defaults);
        defaults.PkInitOn = true;
        QTest::newRow("defaults") << defaults;
    }
    void writeThenReadGivesTheFields() {
        QFETCH(SettingsFields, source);
        QTemporaryDir dir;
        ScriptedPrompts prompts;
        quint8 status = 99;
        WriteSettings(dir.path(), source, status, prompts);
        QCOMPARE(status, quint8(0));

        SettingsFields read = Sentinels();
        QVERIFY(ReadSettings(dir.path(), read, status));
        QCOMPARE(status, quint8(0));
        SettingsFields expected = source;
        expected.StoredPortName = source.PortName;
        expected.StoredBaudRate = source.BaudRate;
        expected.PortName = read.PortName;
        expected.BaudRate = read.BaudRate;
        expected.TransmitBarColor = source.ReceiveBarColor;
        QCOMPARE(Describe(read), Describe(expected));
        QVERIFY(prompts.log.isEmpty());
    }

    // One line of the sample file changed; the whole file still reads.
    void lineValues_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QString>("value");
        const auto row = [](const char* name, int line, const QByteArray& text, const char* fields,
                            const QString& value) {
            QTest::newRow(name) << line << text << QString(fields) << value;
        };
        row("switch in lower case", 28, "on", "WindowMaximized", "false");
        row("switch with blank after", 30, "ON ", "PkInitOn", "false");
        row("switch with blank before", 31, " ON", "LogBookOn", "false");
        row("switch mixed case", 31, "On", "LogBookOn", "false");
        row("switch on", 29, "ON", "MaildropOn", "true");
        row("style cut to six", 12, "Bolder2", "RxFontStyle", "Bolder");
        row("style of six kept", 13, "Bolder", "TxFontStyle", "Bolder");
        row("selective call cut to four", 27, "PAXYZA", "MySelCall", "PAXY");
        row("Latin-1 text", 6, "Z\xFCrich", "RxFontName", QString::fromLatin1("Z\xFCrich"));
        row("empty text", 26, "", "DefaultMyCall", "");
        row("8-bit keeps low bits", 7, "264", "RxFontSize", "8");
        row("negative in 8 bits", 9, "-1", "TxFontSize", "255");
        row("16-bit keeps low bits", 4, "+65537", "StoredBaudRate", "1");
        row("rest of line skipped", 25, "  42  and more", "SplitPerMille", "42");
        row("tabs around", 18, "\t7\t", "ButtonFontStyle", "7");
        row("minus zero", 20, "-0", "StatusFontSize", "0");
        row("colour above 31 bits", 10, "2147483648", "RxWindowColor", "-2147483648");
        row("colour of all ones", 11, "4294967295", "TxWindowColor", "-1");
        row("lowest colour", 15, "-2147483648", "TxFontColor", "-2147483648");
        row("leading zeros", 14, "-" + QByteArray(30, '0') + "1", "RxFontColor", "-1");
        // A text that has no one-byte form was written as UTF-8.
        row("text beyond one byte", 16, "\xE5\xBE\xAE\xE8\xBD\xAF Sans", "ButtonFontName",
            QString::fromUtf8("\xE5\xBE\xAE\xE8\xBD\xAF Sans"));
        row("UTF-8 call cut to four characters", 27, "\xCE\xA3\xCE\xA3\xCE\xA3\xCE\xA3\xCE\xA3",
            "MySelCall", QString::fromUtf8("\xCE\xA3\xCE\xA3\xCE\xA3\xCE\xA3"));
        // Bytes that only look like UTF-8 of one-byte characters stay bytes.
        row("one-byte text that is UTF-8 too", 8, "Z\xC3\xBC", "TxFontName",
            QString::fromLatin1("Z\xC3\xBC"));
        // A cut keeps the text as the file gives it back once written: the
        // kept bytes E4 B8 80 read as one character.
        row("cut leaves UTF-8 of a wide character", 12,
            "\xC3\xA4\xC2\xB8\xC2\x80"
            "abc\xE2\x82\xAC",
            "RxFontStyle",
            QString::fromUtf8("\xE4\xB8\x80"
                              "abc"));
        row("cut of one-byte text does the same", 27,
            "\xE4\xB8\x80"
            "A\xFF",
            "MySelCall",
            QString::fromUtf8("\xE4\xB8\x80"
                              "A"));
        row("line 22 into both bars", 22, "-3", "ReceiveBarColor,TransmitBarColor", "-3");
        row("lines 23 and 24 ignored", 23, "anything", "", "");
    }
    void lineValues() {
        QFETCH(int, line);
        QFETCH(QByteArray, text);
        QFETCH(QString, fields);
        QFETCH(QString, value);
        QList<QByteArray> lines = SampleLines();
        lines[line - 1] = text;
        SettingsFields read = Sentinels();
        quint8 status = 99;
        QVERIFY(ParseSettings(Join(lines), read, status));
        QCOMPARE(status, quint8(0));
        QStringList expected = ExpectedBefore(32);
        for (const QString& name : fields.split(QLatin1Char(','), Qt::SkipEmptyParts))
            SetField(expected, name, value);
        QCOMPARE(Describe(read), expected);
    }

    // A number line that does not convert stops the read there.
    void badNumbers_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("word") << 7 << QByteArray("abc");
        QTest::newRow("digits then letters") << 9 << QByteArray("12abc");
        QTest::newRow("sign only") << 10 << QByteArray("+");
        QTest::newRow("minus only") << 4 << QByteArray("- 5");
        QTest::newRow("hexadecimal") << 17 << QByteArray("0x10");
        QTest::newRow("fraction") << 18 << QByteArray("1.5");
        QTest::newRow("thousands") << 25 << QByteArray("1,000");
        QTest::newRow("double sign") << 21 << QByteArray("--1");
        QTest::newRow("control byte") << 20 << QByteArray("1\x01");
        QTest::newRow("in line 22") << 22 << QByteArray("blue");
        // A number must fit 32 bits; nothing wraps.
        QTest::newRow("beyond 32 bits") << 14 << QByteArray("4294967296");
        QTest::newRow("below 32 bits") << 10 << QByteArray("-2147483649");
        QTest::newRow("40 digits") << 15 << QByteArray("1" + QByteArray(39, '0'));
        QTest::newRow("32 digits then letter") << 15 << QByteArray("1" + QByteArray(31, '0') + "x");
        QTest::newRow("font size far beyond") << 7 << QByteArray("99999999999");
    }
    void badNumbers() {
        QFETCH(int, line);
        QFETCH(QByteArray, text);
        QList<QByteArray> lines = SampleLines();
        lines[line - 1] = text;
        SettingsFields read = Sentinels();
        quint8 status = 0;
        QVERIFY(!ParseSettings(Join(lines), read, status));
        QVERIFY(status != 0);
        QCOMPARE(Describe(read), ExpectedBefore(line));
    }

    // An empty line where a number belongs is skipped: the number comes from
    // the next item's line, and the read fails where a text meets a number.
    void emptyLineWhereNumberBelongs() {
        QList<QByteArray> lines = SampleLines();
        lines[8] = ""; // line 9: TxFontSize
        SettingsFields read = Sentinels();
        quint8 status = 0;
        QVERIFY(!ParseSettings(Join(lines), read, status));
        QVERIFY(status != 0);
        QStringList expected = ExpectedBefore(9);
        SetField(expected, "TxFontSize", "255");    // line 10 taken
        SetField(expected, "RxWindowColor", "-16"); // line 11 taken; line 12 is "Bold"
        QCOMPARE(Describe(read), expected);

        lines = SampleLines();
        lines[24] = "   "; // line 25: SplitPerMille meets "PA3XYZ"
        read = Sentinels();
        QVERIFY(!ParseSettings(Join(lines), read, status));
        QVERIFY(status != 0);
        QCOMPARE(Describe(read), ExpectedBefore(25));

        // Only blank lines left where a number belongs: the end of the file.
        read = Sentinels();
        QVERIFY(!ParseSettings(Join(SampleLines().mid(0, 21)) + "\r\n \r\n\t", read, status));
        QCOMPARE(status, quint8(1));
        QCOMPARE(Describe(read), ExpectedBefore(22));
    }

    void shortFiles_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("finalLineEnd");
        for (int count : {0, 1, 4, 20, 22, 27, 28, 30})
            for (bool end : {true, false})
                QTest::addRow("%d lines%s", count, end ? "" : ", no final line end")
                    << count << end;
    }
    void shortFiles() {
        QFETCH(int, count);
        QFETCH(bool, finalLineEnd);
        QByteArray content = Join(SampleLines().mid(0, count));
        if (!finalLineEnd) content.chop(2);
        SettingsFields read = Sentinels();
        quint8 status = 0;
        QVERIFY(!ParseSettings(content, read, status));
        QCOMPARE(status, quint8(1));
        // The switches read so far keep their values (line 28 is ON, 29 OFF, 30 ON).
        QCOMPARE(Describe(read), ExpectedBefore(count + 1));
    }

    void lineEnds_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("defaults");
        QTest::newRow("CR LF") << Join(SampleLines()) << false;
        QTest::newRow("LF") << Join(SampleLines(), "\n") << false;
        QTest::newRow("CR") << Join(SampleLines(), "\r") << false;
        QByteArray noEnd = Join(SampleLines());
        noEnd.chop(2);
        QTest::newRow("no final line end") << noEnd << false;
        QTest::newRow("default file") << kDefaultFile << true;
        QByteArray lf = kDefaultFile, cr = kDefaultFile;
        QTest::newRow("default file, LF") << lf.replace("\r\n", "\n") << true;
        QTest::newRow("default file, CR") << cr.replace("\r\n", "\r") << true;
    }
    void lineEnds() {
        QFETCH(QByteArray, content);
        QFETCH(bool, defaults);
        SettingsFields read = Sentinels();
        quint8 status = 99;
        QVERIFY(ParseSettings(content, read, status));
        QCOMPARE(status, quint8(0));
        if (!defaults) {
            QCOMPARE(Describe(read), ExpectedBefore(32));
        } else {
            QCOMPARE(read.StoredPortName, QStringLiteral("COM4"));
            QCOMPARE(read.ButtonFontName, QString());
            QCOMPARE(read.ButtonFontSize, quint16(0));
            QCOMPARE(read.StatusFontName, QString());
            QCOMPARE(read.StatusFontStyle, quint8(0));
            QCOMPARE(read.ReceiveBarColor, 11203312);
            QCOMPARE(read.MySelCall, QStringLiteral("User"));
            QVERIFY(!read.WindowMaximized && !read.LogBookOn);
        }
    }

    void garbageNeverBreaksTheRead() {
        SettingsFields read = Sentinels();
        quint8 status = 0;
        QVERIFY(!ParseSettings(QByteArray(), read, status));
        QCOMPARE(status, quint8(1));
        QCOMPARE(Describe(read), ExpectedBefore(1));

        QByteArray noise;
        quint32 seed = 12345;
        for (int i = 0; i < 1 << 16; ++i) {
            seed = seed * 1103515245u + 12345u;
            noise += char(seed >> 24);
        }
        QVERIFY(!ParseSettings(noise, read, status));
        QVERIFY(status != 0);
        QVERIFY(!ParseSettings(QByteArray(4096, '\r'), read, status));
        QCOMPARE(status, quint8(1));
        QVERIFY(!ParseSettings(QByteArray(4096, '\0'), read, status));
        QVERIFY(status != 0);

        const QByteArray mega(1 << 20, 'x');
        QList<QByteArray> lines = SampleLines();
        lines[5] = mega; // a text line takes all of it
        read = Sentinels();
        QVERIFY(ParseSettings(Join(lines), read, status));
        QCOMPARE(read.RxFontName.size(), mega.size());
        lines = SampleLines();
        lines[6] = QByteArray(1 << 20, '0'); // a number takes 32 digits, the rest is skipped
        read = Sentinels();
        QVERIFY(ParseSettings(Join(lines), read, status));
        QCOMPARE(read.TxFontName, QStringLiteral("Fixedsys"));
        lines[6] = mega;
        QVERIFY(!ParseSettings(Join(lines), read, status));
        QVERIFY(status != 0);
    }

    void fileLookup() {
        QTemporaryDir dir;
        ScriptedPrompts prompts;
        quint8 status = 0;

        // No file: not read, switches off, nothing else touched.
        SettingsFields read = Sentinels();
        QVERIFY(!ReadSettings(dir.path(), read, status));
        QVERIFY(status != 0);
        QCOMPARE(Describe(read), ExpectedBefore(1));

        // A file in another letter case is the one read and replaced.
        QVERIFY(WriteFile(dir.filePath("dervalo.ini"), Join(SampleLines())));
        read = Sentinels();
        QVERIFY(ReadSettings(dir.path(), read, status));
        QCOMPARE(Describe(read), ExpectedBefore(32));
        SettingsFields fields;
        ApplyBuiltInDefaults(fields);
        WriteSettings(dir.path(), fields, status, prompts);
        QCOMPARE(status, quint8(0));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"dervalo.ini"});
        QCOMPARE(ReadFile(dir.filePath("dervalo.ini")), kDefaultFile);
        QVERIFY(prompts.log.isEmpty());
    }

    void uncreatableFileIsSilentlySkipped() {
        QTemporaryDir dir;
        QVERIFY(WriteFile(dir.filePath("plain"), "x"));
        SettingsFields fields;
        ApplyBuiltInDefaults(fields);
        ScriptedPrompts prompts;
        for (const QString& folder :
             QStringList{dir.filePath("plain"), dir.filePath("missing/deeper")}) {
            quint8 status = 0;
            WriteSettings(folder, fields, status, prompts);
            QVERIFY(status != 0);
        }
        // A folder under the file's name can be neither read nor replaced.
        QVERIFY(QDir(dir.path()).mkdir(kSettingsFileName));
        quint8 status = 0;
        WriteSettings(dir.path(), fields, status, prompts);
        QVERIFY(status != 0);
        QVERIFY(QFileInfo(dir.filePath(kSettingsFileName)).isDir());
        SettingsFields read;
        QVERIFY(!ReadSettings(dir.path(), read, status));
        QVERIFY(status != 0);
        QVERIFY(prompts.log.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"plain"});
    }

    // A write the file system refuses (here: the file size limit) shows the
    // box and leaves the previous file whole.
    void failingWriteShowsTheBox() {
        QTemporaryDir dir;
        const QByteArray old = Join(SampleLines());
        QVERIFY(WriteFile(dir.filePath(kSettingsFileName), old));
        SettingsFields fields;
        ApplyBuiltInDefaults(fields);
        ScriptedPrompts prompts;
        quint8 status = 0;

        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 16;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        WriteSettings(dir.path(), fields, status, prompts);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(status != 0);
        QCOMPARE(prompts.Boxes(), QStringList{"Warning|Error writing file to disk"});
        QCOMPARE(ReadFile(dir.filePath(kSettingsFileName)), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{kSettingsFileName});
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
