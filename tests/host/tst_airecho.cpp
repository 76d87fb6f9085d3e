// What the controller echoes of sent text in each mode, with EAS on and off,
// and that the simulated controller (EAS off) echoes exactly that, byte for
// byte.
#include <QtTest>

#include "Pk232Model.h"
#include "host/AirEcho.h"
#include "host/Frames.h"

using AirEcho::Air;

namespace {
// The echoed text the model gives back for one data frame, in the mode the
// command `start` puts it in, with no air time.
struct Echoes {
    Pk232Model pk;
    quint32 now = 0;
    explicit Echoes(const QByteArray& start) {
        pk.SetBandPace(Pk232Model::BandPace::Off);
        pk.SetAirSpeed(0);
        // Each line after the unit has answered the one before, as a unit
        // wants it.
        for (const QByteArray& line : {QByteArray("*\r"), QByteArray("host on\r")}) {
            Put(line);
            now += 2000;
        }
        Put(Frames::CommandFrame(start));
    }
    QByteArray Put(const QByteArray& bytes) {
        for (const char b : bytes)
            pk.FromHost(quint8(b), now);
        now += 50;
        pk.Tick(now);
        const QByteArray out = pk.ToHost(now);
        // The payloads of the echo frames (0x2F, as a real unit sends the
        // echo of transmitted text); a DLE takes the next byte as it is.
        QByteArray echoed;
        char control = 0;
        for (qsizetype i = 0; i < out.size(); ++i) {
            const char b = out.at(i);
            if (b == Frames::kStart && i + 1 < out.size())
                control = out.at(++i);
            else if (b == Frames::kEnd)
                control = 0;
            else if (control == Frames::kRxEcho)
                echoed += b == Frames::kDle && i + 1 < out.size() ? out.at(++i) : b;
        }
        return echoed;
    }
};
} // namespace

class AirEchoTest : public QObject {
    Q_OBJECT
private slots:
    void countsWhatGoesOnTheAir();
    void simulatedControllerAgrees();
};

void AirEchoTest::countsWhatGoesOnTheAir() {
    const QByteArray odd("\t@*<_|~[]{}%^\\`\x1B\x80\xFF");
    const QByteArray text = "cq de PA0ABC -?:().,'/=+$!&#\";\x07\r\n";
    for (const Air baudot : {Air::Amtor, Air::Rtty}) {
        QCOMPARE(AirEcho::EchoedCount(odd, baudot, false, false), 0);
        QCOMPARE(AirEcho::EchoedCount(odd + text + odd, baudot, false, false), int(text.size()));
        QCOMPARE(AirEcho::EchoedCount("\x04\x19", baudot, false, false), 0);
    }
    // PACTOR carries every byte but the two orders.
    QCOMPARE(AirEcho::EchoedCount(odd + text + "\x04\x19", Air::Pactor, true, false),
             int(odd.size() + text.size()));
    // On an AMTOR link "+?" hands the turn over; elsewhere it is text.
    QCOMPARE(AirEcho::EchoedCount("ok +? +", Air::Amtor, true, false), 5);
    QCOMPARE(AirEcho::EchoedCount("ok +? +", Air::Amtor, false, false), 7);
    QCOMPARE(AirEcho::EchoedCount("ok +? +", Air::Rtty, true, false), 7);
    // With EAS on no carriage return comes back, in any mode.
    for (const Air air : {Air::Pactor, Air::Amtor, Air::Rtty})
        QCOMPARE(AirEcho::EchoedCount("AB\rC\r\r", air, true, true), 3);
    QCOMPARE(AirEcho::ForMode("AMTOR"), Air::Amtor);
    QCOMPARE(AirEcho::ForMode("RTTY"), Air::Rtty);
    QCOMPARE(AirEcho::ForMode("PACTOR"), Air::Pactor);
    QCOMPARE(AirEcho::ForMode(""), Air::Pactor);
}

void AirEchoTest::simulatedControllerAgrees() {
    // Each byte alone in a data frame, in unproto, FEC and Baudot transmit:
    // the model echoes one character exactly when it is counted (0x04 would
    // end the transmission and is counted as nothing).
    const QList<QPair<QByteArray, Air>> modes{
        {"PD", Air::Pactor}, {"FE", Air::Amtor}, {"XM", Air::Rtty}};
    for (const auto& [start, air] : modes) {
        Echoes e(start);
        for (int b = 0; b < 256; ++b) {
            if (b == 0x04) continue;
            const QByteArray byte(1, char(b));
            const QByteArray echoed = e.Put(Frames::DataFrame(byte));
            QVERIFY2(echoed.size() == AirEcho::EchoedCount(byte, air, false, false),
                     qPrintable(QStringLiteral("%1 byte %2 echoed as '%3'")
                                    .arg(QString(start))
                                    .arg(b)
                                    .arg(QString::fromLatin1(echoed.toHex()))));
        }
    }
}

QTEST_MAIN(AirEchoTest)
#include "tst_airecho.moc"
