// The pure parts of the operator's evening: the ASCII journal with BAND,
// FREQ, TIME_OFF and the own station, the worked-before index, bands and the
// rig setting, macro tokens, the WSJT-X datagram and the extra settings.
#include <QDataStream>
#include <QtTest>

#include "../logbook/AdiReader.h"
#include "LogBookSupport.h"
#include "logbook/Adif.h"
#include "logbook/WorkedBefore.h"
#include "logout/WsjtxDatagram.h"
#include "macros/Macros.h"
#include "rig/Bands.h"
#include "rig/RigSetting.h"
#include "shell/ExtraSettings.h"

using namespace LogBookSupport;

class EveningPartsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void journalRecordIsAsciiWithBandFreqTimeOffAndOwnStation();
    void workedBeforeFromThreeContactsStaysCurrent();
    void bandsAndRigSettings();
    void macroTokens();
    void wsjtxDatagramReadsBack();
    void extraSettingsKeepValuesExactly();
};

void EveningPartsTest::journalRecordIsAsciiWithBandFreqTimeOffAndOwnStation() {
    Adif::Contact c;
    c.call = "DL1ABC";
    c.name = QString::fromUtf8("Jürgen Øster");
    c.qth = QString::fromUtf8("Köln, Hauptstraße – Süd");
    c.stationCall = "PA0ABC";
    c.on = QDateTime(QDate(2026, 11, 2), QTime(19, 42, 5), Qt::UTC);
    c.off = QDateTime(QDate(2026, 11, 2), QTime(19, 58, 0), Qt::UTC);
    c.mode = Adif::ModeOf("PACTOR", "CONNECT");
    c.band = "20m";
    c.freq = Bands::AdifFreq(14070500);
    c.myGrid = "JO22";
    c.operatorCall = "PA0ABC";
    const QByteArray file = Adif::Header("3.01", *c.on) + Adif::Record(c);
    for (const char b : file)
        QVERIFY2(quint8(b) < 0x80, file.constData());
    const AdiFile adi = ReadAdi(file);
    QVERIFY2(adi.error.isEmpty(), adi.error.constData());
    QCOMPARE(adi.records.size(), 1);
    QCOMPARE(adi.records[0],
             QByteArrayList({"CALL=DL1ABC", "QSO_DATE=20261102", "TIME_ON=194205",
                             "TIME_OFF=195800", "BAND=20m", "FREQ=14.070500", "MODE=PAC",
                             "NAME=Jurgen Oster", "QTH=Koln, Hauptstrasse - Sud",
                             "STATION_CALLSIGN=PA0ABC", "OPERATOR=PA0ABC", "MY_GRIDSQUARE=JO22"}));
    // A character with no ASCII letter near it is left out, nothing else.
    QCOMPARE(Adif::Value(QString::fromUtf8("東京 Tokyo")), QByteArray("Tokyo"));
}

void EveningPartsTest::workedBeforeFromThreeContactsStaysCurrent() {
    const QByteArray logbook = EntryRecord("PA3XYZ", "Piet", "Utrecht", "10/1/26 ") +
                               EntryRecord("DL1ABC", "Hans", "Bonn", "10/5/26 ") +
                               EntryRecord("pa3xyz", "", "", "11/2/26 ");
    WorkedBeforeIndex index;
    index.Build(logbook, QLocale(), 2026);
    WorkedBeforeLookup f = index.Lookup(" PA3XYZ ");
    QCOMPARE(f.count, 2);
    QCOMPARE(f.last, QString("2026-11-02"));
    // The last name and QTH given, though the last record has none.
    QCOMPARE(WorkedBeforeIndex::Describe(f),
             QString("worked 2x before, last 2026-11-02, Piet, Utrecht"));
    QCOMPARE(WorkedBeforeIndex::Describe(index.Lookup("ON4AAA")), QString("first contact"));
    // Save (a new record), edit (record 1 now another call) and delete
    // (the file cut back) keep it current.
    const QByteArray added = EntryRecord("ON4AAA", "Jan", "Gent", "11/3/26 ");
    index.Set(3, added.constData());
    QCOMPARE(index.Lookup("ON4AAA").count, 1);
    const QByteArray edited = EntryRecord("PA3XYZ", "Pieter", "Zeist", "10/5/26 ");
    index.Set(1, edited.constData());
    QCOMPARE(index.Lookup("DL1ABC").count, 0);
    f = index.Lookup("PA3XYZ");
    QCOMPARE(f.count, 3);
    QCOMPARE(f.last, QString("2026-11-02"));
    QCOMPARE(f.name, QString("Pieter"));
    index.Cut(2);
    QCOMPARE(index.Size(), 2);
    QCOMPARE(index.Lookup("ON4AAA").count, 0);
    QCOMPARE(index.Lookup("PA3XYZ").count, 2);
}

void EveningPartsTest::bandsAndRigSettings() {
    QCOMPARE(Bands::PaneText(14070500), QString("14.0705 MHz  20m"));
    QCOMPARE(Bands::FromHz(3580000), QString("80m"));
    QCOMPARE(Bands::FromHz(144800000), QString("2m"));
    QCOMPARE(Bands::FromHz(11000000), QString());
    QCOMPARE(Bands::PaneText(11000000), QString("11.0000 MHz"));

    QCOMPARE(RigSetting::Parse("")->kind, RigSetting::Kind::None);
    QCOMPARE(RigSetting::Parse("none")->ToText(), QString("none"));
    const auto net = RigSetting::Parse("rigctld:[::1]:4533");
    QVERIFY(net);
    QCOMPARE(net->Path(), QString("[::1]:4533"));
    QCOMPARE(net->model, 2);
    const auto serial = RigSetting::Parse("hamlib:3073:/dev/ttyUSB0:19200");
    QVERIFY(serial);
    QCOMPARE(serial->model, 3073);
    QCOMPARE(serial->device, QString("/dev/ttyUSB0"));
    QCOMPARE(serial->rate, 19200);
    QCOMPARE(serial->ToText(), QString("hamlib:3073:/dev/ttyUSB0:19200"));
    for (const char* bad : {"rigctld:host", "rigctld:host:0", "hamlib:x:/dev/a:9600",
                            "hamlib:1::9600", "hamlib:1:/dev/a:", "yaesu"})
        QVERIFY2(!RigSetting::Parse(bad), bad);
}

void EveningPartsTest::macroTokens() {
    Macros::Values v;
    v.myCall = "PA0ABC";
    v.call = "PA3XYZ  ";
    v.name = "Piet";
    v.utc = QDateTime(QDate(2026, 11, 2), QTime(19, 42), Qt::UTC);
    v.band = "20m";
    QCOMPARE(Macros::Expand(Macros::Default(0), v), QString("PA3XYZ de PA0ABC "));
    QCOMPARE(Macros::Expand(Macros::Default(2), v), QString("73 PA3XYZ de PA0ABC SK"));
    // No value: nothing, and no error; unknown tokens stay as typed.
    QCOMPARE(Macros::Expand("<qth>|<FREQ>|<UTC> <DATE> <BAND><CR><FOO>", v),
             QString("||19:42 2026-11-02 20m\r<FOO>"));
    QCOMPARE(Macros::KeyText(9), QString("Ctrl+0"));
    QCOMPARE(Macros::SettingKey(9), QByteArray("Macro10"));
}

void EveningPartsTest::wsjtxDatagramReadsBack() {
    Adif::Contact c;
    c.call = "PA3XYZ";
    c.band = "20m";
    const QByteArray adif = Adif::Header("3.01", QDateTime::currentDateTimeUtc()) + Adif::Record(c);
    const QByteArray d = LogOut::WsjtxLoggedAdif(adif);
    // Our own reader: big-endian words, strings as a 32-bit length and bytes.
    const auto word = [&d](int at) {
        return (quint32(quint8(d[at])) << 24) | (quint32(quint8(d[at + 1])) << 16) |
               (quint32(quint8(d[at + 2])) << 8) | quint32(quint8(d[at + 3]));
    };
    QCOMPARE(word(0), 0xadbccbdaU);
    QCOMPARE(word(4), 3U);
    QCOMPARE(word(8), 12U);
    QCOMPARE(word(12), 7U);
    QCOMPARE(d.mid(16, 7), QByteArray("Dervalo"));
    QCOMPARE(word(23), quint32(adif.size()));
    QCOMPARE(d.mid(27), adif);
    const AdiFile read = ReadAdi(d.mid(27));
    QVERIFY2(read.error.isEmpty(), read.error.constData());
    QCOMPARE(read.records.value(0), QByteArrayList({"CALL=PA3XYZ", "BAND=20m"}));

    QString host;
    quint16 port = 0;
    QVERIFY(LogOut::ParseTarget("127.0.0.1:2237", host, port));
    QCOMPARE(host, QString("127.0.0.1"));
    QCOMPARE(port, quint16(2237));
    QVERIFY(LogOut::ParseTarget("[::1]:2333", host, port) && host == "::1");
    QVERIFY(!LogOut::ParseTarget("localhost", host, port));
    QVERIFY(!LogOut::ParseTarget("localhost:99999", host, port));
}

void EveningPartsTest::extraSettingsKeepValuesExactly() {
    QByteArray file = "EchoColour=#a00000\r\n; a note\r\nMacro1=old\r\n";
    file = ExtraSettings::WithValue(file, "Macro1", "<CALL> de <MYCALL> ");
    file = ExtraSettings::WithValue(file, "Macro2", QString::fromUtf8("Grüße\nline"));
    QCOMPARE(file, QByteArray("EchoColour=#a00000\r\n; a note\r\nMacro1=<CALL> de <MYCALL> \r\n"
                              "Macro2=Gr\xC3\xBC\xC3\x9F"
                              "e line\r\n"));
    QCOMPARE(ExtraSettings::ValueIn(file, "Macro1"), std::optional<QString>("<CALL> de <MYCALL> "));
    QCOMPARE(ExtraSettings::ValueIn(file, "Macro2"),
             std::optional<QString>(QString::fromUtf8("Grüße line")));
    QVERIFY(!ExtraSettings::ValueIn(file, "Macro3"));
    QCOMPARE(ExtraSettings::EchoColourIn(file), QColor("#a00000"));
}

QTEST_MAIN(EveningPartsTest)
#include "tst_eveningparts.moc"
