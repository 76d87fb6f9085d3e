// The pure parts of Morse, ASCII, NAVTEX and packet: the NAVTEX collector,
// the status replies of the four modes, packet link messages and frames,
// the modes' settings and their ADIF modes.
#include <QtTest>

#include "host/StatusDecode.h"
#include "logbook/Adif.h"
#include "modes/ModeSettings.h"
#include "modes/ModeState.h"
#include "modes/NavtexCollector.h"
#include "modes/PacketLink.h"

namespace {
const QDateTime kNoon(QDate(2026, 12, 8), QTime(12, 5), QTimeZone::utc());
const QByteArray kPa12 = "ZCZC PA12\r\nNAV WARNING 123\r\nLIGHT BUOY UNLIT.\r\nNNNN\r\n";
} // namespace

class ModesUnitsTest : public QObject {
    Q_OBJECT
private slots:
    void navtexMessagesInAnyBlocksOnceEach();
    void navtexDamagedTextLosesNothingElse();
    void statusRepliesOfTheFourModes();
    void packetLinkMessagesAndFrames();
    void settingsAndAdifModes();
};

void ModesUnitsTest::navtexMessagesInAnyBlocksOnceEach() {
    NavtexCollector c;
    // Text before it, and blocks cut anywhere, the 0x17 of a monitor block
    // among them.
    QList<NavtexMessage> got;
    const QByteArray stream = "noise ZCZ\rZC" + kPa12;
    for (qsizetype i = 0; i < stream.size(); i += 7)
        got += c.Feed(stream.mid(i, 7) + (i % 14 == 0 ? "\x17" : ""), kNoon);
    QCOMPARE(got.size(), 1);
    const NavtexMessage& m = got.first();
    QCOMPARE(m.id, QString("PA12"));
    QCOMPARE(QString(m.station) + m.messageClass + m.serial, QString("PA12"));
    QCOMPARE(m.firstLine, QString("NAV WARNING 123"));
    QCOMPARE(m.text, kPa12.left(kPa12.size() - 2));
    QCOMPARE(m.FileName(), QString("navtex/PA12-20261208-1205.txt"));

    // The repeat, a day later: not again. Three days on the serial may be
    // new. Serial 00 always comes.
    QVERIFY(c.Feed(kPa12, kNoon).isEmpty());
    QVERIFY(c.Feed(kPa12, kNoon.addDays(1)).isEmpty());
    QCOMPARE(c.Feed(kPa12, kNoon.addDays(3)).size(), 1);
    const QByteArray all = "ZCZC SB00\rGALE\rNNNN\r";
    QCOMPARE(c.Feed(all + all, kNoon).size(), 2);

    // Kept ids come back from the file names.
    const auto idAndTime = NavtexCollector::FromFileName("TB03-20261208-1130.txt");
    QVERIFY(idAndTime);
    QCOMPARE(idAndTime->first, QString("TB03"));
    QCOMPARE(idAndTime->second, QDateTime(QDate(2026, 12, 8), QTime(11, 30), QTimeZone::utc()));
    for (const char* bad : {"tb03-20261208-1130.txt", "TB03-2026120-1130.txt", "TB03.txt", "x"})
        QVERIFY2(!NavtexCollector::FromFileName(bad), bad);
    NavtexCollector fresh;
    fresh.MarkKept(idAndTime->first, idAndTime->second);
    QVERIFY(fresh.Feed("ZCZC TB03\rX\rNNNN\r", kNoon).isEmpty());
}

void ModesUnitsTest::navtexDamagedTextLosesNothingElse() {
    NavtexCollector c;
    // A message that lost its end is dropped when the next one starts; a
    // header that is no id is passed over; "NNNN" inside a line does not end.
    const QList<NavtexMessage> got =
        c.Feed("ZCZC SE45\rCUT OFF\rZCZC XX1\rBAD\rNNNN\rZCZC TB03\rA NNNN B\rNNNN\r", kNoon);
    QCOMPARE(got.size(), 1);
    QCOMPARE(got.first().id, QString("TB03"));
    QVERIFY(got.first().text.contains("A NNNN B"));
    // A message that never ends is given up, and the next one still comes.
    QVERIFY(c.Feed("ZCZC SE45\r" + QByteArray(NavtexCollector::kMaxMessage + 10, 'x'), kNoon).isEmpty());
    QCOMPARE(c.Feed("ZCZC SE46\rOK\rNNNN\r", kNoon).size(), 1);
}

void ModesUnitsTest::statusRepliesOfTheFourModes() {
    struct Case {
        const char* reply;
        const char* mode;
        const char* state;
        bool transmitting;
    };
    const Case cases[] = {
        {"OPMOR22", "MORSE", "22 WPM", false}, {"OPMOS05", "MORSE", "5 WPM", true},
        {"OPMOR", "MORSE", "", false},         {"OPASR", "ASCII", "STANDBY", false},
        {"OPASS", "ASCII", "", true},          {"OPNA0", "NAVTEX", "STANDBY", false},
        {"OPNA4", "NAVTEX", "TRAFFIC", false}, {"OPNA", "NAVTEX", "", false},
        {"OPPA", "PACKET", "", false},
    };
    for (const Case& k : cases) {
        LinkStatus st;
        st.LinkPhaseText = "TRAFFIC";
        st.StatusReplyText = k.reply;
        StatusDecode::MakeMode(st);
        QCOMPARE(st.ModeName, QString(k.mode));
        QCOMPARE(st.LinkStateText, QString(k.state));
        QCOMPARE(st.Transmitting, k.transmitting);
        QCOMPARE(st.LinkPhaseText, QString());
    }
    // A packet link stays up through the replies; PACTOR's still decode.
    LinkStatus st;
    st.IsConnected = true;
    st.StatusReplyText = "OPPA";
    StatusDecode::MakeMode(st);
    QVERIFY(st.IsConnected);
    QCOMPARE(st.LinkStateText, QString("CONNECT"));
    st.StatusReplyText = "OPPt0-";
    StatusDecode::MakeMode(st);
    QCOMPARE(st.ModeName, QString("PACTOR"));
    QVERIFY(!st.IsConnected);
}

void ModesUnitsTest::packetLinkMessagesAndFrames() {
    using PacketLink::Event;
    const QList<QPair<QString, QPair<Event, QString>>> messages = {
        {"CONNECTED to K1ABC-1", {Event::Connected, "K1ABC-1"}},
        {"DISCONNECTED K1ABC", {Event::Disconnected, "K1ABC"}},
        {"W2XYZ busy", {Event::Busy, "W2XYZ"}},
        {"Retry count exceeded", {Event::RetryExceeded, ""}},
        {"Connect request K2DEF", {Event::Request, "K2DEF"}},
        {"LINK OUT OF ORDER possible data loss", {Event::OutOfOrder, ""}},
        {"Transmit data remaining", {Event::Other, ""}},
    };
    for (const auto& [text, expected] : messages) {
        const PacketLink::Message m = PacketLink::Read(text);
        QCOMPARE(int(m.event), int(expected.first));
        QCOMPARE(m.call, expected.second);
    }
    QVERIFY(PacketLink::EndsLink(Event::Busy) && !PacketLink::EndsLink(Event::Request));
    QCOMPARE(PacketLink::ConnectCommand("k1abc"), QByteArray("COK1ABC"));
    QCOMPARE(PacketLink::ConnectCommand(" K1ABC via w2xyz, W3ABC "),
             QByteArray("COK1ABC VIA W2XYZ,W3ABC"));
    QCOMPARE(PacketLink::ConnectCommand("K1ABC V W2XYZ W3ABC"), QByteArray("COK1ABC VIA W2XYZ,W3ABC"));
    QCOMPARE(PacketLink::ConnectCommand("  "), QByteArray());
    QCOMPARE(PacketLink::CommandFrame(2, "DI"), QByteArray("\x01" "BDI\x17"));
    QCOMPARE(PacketLink::DataFrame(1, "a\x17z"), QByteArray("\x01!a\x10\x17z\x17"));
    QCOMPARE(PacketLink::MonitorStamp(kNoon.addSecs(7)), QByteArray("12:05:07 "));
}

void ModesUnitsTest::settingsAndAdifModes() {
    QCOMPARE(ModeSettings::NavtexList(" yes p,s e "), std::optional<QString>("YES PSE"));
    QCOMPARE(ModeSettings::NavtexList("no"), std::nullopt);
    QCOMPARE(ModeSettings::NavtexList("none"), std::optional<QString>("NONE"));
    QCOMPARE(ModeSettings::NavtexList("YES ABCDEFGHIJKLMN"), std::nullopt); // 14 letters
    QCOMPARE(ModeSettings::NavtexList("YES A1"), std::nullopt);

    // Round trip; other lines stay; values out of range keep the default.
    ModeState m;
    m.MorseSpeed = 35;
    m.AsciiBaud = 300;
    m.MonitorLevel = 6;
    m.NavStations = "YES PS";
    const QByteArray file = ModeSettings::WrittenInto("EchoColour=#a00000\r\nMSPEED=7\r\n", m);
    QVERIFY(file.startsWith("EchoColour=#a00000\r\n"));
    QCOMPARE(file.count("MSPEED="), 1);
    ModeState back;
    ModeSettings::ReadFrom(file, back);
    QCOMPARE(QList<int>({back.MorseSpeed, back.AsciiBaud, back.MonitorLevel}),
             QList<int>({35, 300, 6}));
    QCOMPARE(back.NavStations, QString("YES PS"));
    QCOMPARE(back.NavClasses, QString("ALL"));
    ModeState defaults;
    ModeSettings::ReadFrom("MSPEED=100\nABAUD=x\nMONITOR=-1\nNAVMSG=MAYBE\n", defaults);
    QCOMPARE(QList<int>({defaults.MorseSpeed, defaults.AsciiBaud, defaults.MonitorLevel}),
             QList<int>({20, 110, 4}));
    QCOMPARE(defaults.NavClasses, QString("ALL"));

    QCOMPARE(Adif::ModeOf("MORSE", "").mode, QByteArray("CW"));
    QCOMPARE(Adif::ModeOf("ASCII", "").mode + "/" + Adif::ModeOf("ASCII", "").submode,
             QByteArray("RTTY/ASCI"));
    QCOMPARE(Adif::ModeOf("PACKET", "CONNECT").mode, QByteArray("PKT"));
    QVERIFY(Adif::ModeOf("NAVTEX", "").mode.isEmpty());
}

QTEST_MAIN(ModesUnitsTest)
#include "tst_modesunits.moc"
