// Switching to Morse, ASCII, NAVTEX and packet, and their settings: every
// switch readies the controller as the others do, then sends the mode's
// command frame and the mode's parameters.
#include <QAction>

#include "host/Frames.h"
#include "modes/ModeSettings.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"
#include "shell/Widgets.h"

namespace {
QByteArray Number(int n) {
    return QByteArray::number(n);
}
} // namespace

void THoofdForm::SwitchToMorse() {
    ZetPkKlaar();
    ScrollNaarEnd();
    Send(Frames::CommandFrame("MO"));
    Send(Frames::CommandFrame("MP" + Number(modes.MorseSpeed)));
    st.ModeName = QStringLiteral("MORSE");
    st.LinkStateText.clear();
    MenuUnpro->setEnabled(false);
    MenuAmtorFec->setEnabled(false);
    MenuBaudotTransmit->setEnabled(false);
    StatusLine();
}

void THoofdForm::SwitchToAscii() {
    ZetPkKlaar();
    ScrollNaarEnd();
    Send(Frames::CommandFrame("AS"));
    // A rate left in XBAUD from Baudot would override ABAUD.
    Send(Frames::CommandFrame("XB0"));
    Send(Frames::CommandFrame("AB" + Number(modes.AsciiBaud)));
    st.ModeName = QStringLiteral("ASCII");
    st.LinkStateText.clear();
    MenuUnpro->setEnabled(false);
    MenuAmtorFec->setEnabled(false);
    MenuBaudotTransmit->setEnabled(false);
    StatusLine();
}

void THoofdForm::SwitchToNavtex() {
    ZetPkKlaar();
    ScrollNaarEnd();
    Send(Frames::CommandFrame("NA"));
    Send(Frames::CommandFrame("NS" + modes.NavStations.toLatin1()));
    Send(Frames::CommandFrame("NM" + modes.NavClasses.toLatin1()));
    st.ModeName = QStringLiteral("NAVTEX");
    st.LinkStateText.clear();
    MenuUnpro->setEnabled(false);
    MenuAmtorFec->setEnabled(false);
    MenuBaudotTransmit->setEnabled(false);
    ReadNavtexFolder();
    StatusLine();
}

void THoofdForm::SwitchToPacket() {
    ZetPkKlaar();
    ScrollNaarEnd();
    Send(Frames::CommandFrame("PA"));
    Send(Frames::CommandFrame("MN" + Number(modes.MonitorLevel)));
    st.ModeName = QStringLiteral("PACKET");
    st.LinkStateText.clear();
    st.IsConnected = false;
    modes.PacketChannel = -1;
    modes.PacketLine.clear();
    MenuUnpro->setEnabled(false);
    MenuAmtorFec->setEnabled(false);
    MenuBaudotTransmit->setEnabled(false);
    StatusLine();
}

void THoofdForm::MenuMorseClick() {
    if (st.ModeName != QLatin1String("MORSE")) ZetTabNaar(TabBalk->indexOf(MorsePage));
}

void THoofdForm::MenuAsciiClick() {
    if (st.ModeName != QLatin1String("ASCII")) ZetTabNaar(TabBalk->indexOf(AsciiPage));
}

void THoofdForm::MenuNavtexClick() {
    if (st.ModeName != QLatin1String("NAVTEX")) ZetTabNaar(TabBalk->indexOf(NavtexPage));
}

void THoofdForm::MenuPacketClick() {
    if (st.ModeName != QLatin1String("PACKET")) ZetTabNaar(TabBalk->indexOf(PacketPage));
}

// Keying in Morse and ASCII, as in RTTY.
void THoofdForm::ModeTransmitClick() {
    Send(Frames::CommandFrame("XM"));
}

void THoofdForm::ModeReceiveClick() {
    Send(Frames::CommandFrame("RC"));
}

namespace {
// Asks for a number in [low, high]; nothing after Cancel or a wrong entry
// (which is said).
std::optional<int> AskNumber(THoofdForm& w, const QString& caption, const QString& prompt,
                             int current, int low, int high) {
    w.StopTimers();
    const auto typed = w.prompts().InputBox(caption, prompt, QString::number(current));
    w.StartTimers();
    if (!typed) return std::nullopt;
    const auto n = ModeSettings::NumberIn(*typed, low, high);
    if (!n) w.Warning(QStringLiteral("%1 must be a number from %2 to %3.").arg(caption).arg(low).arg(high));
    return n;
}
} // namespace

void THoofdForm::MorseSpeedClick() {
    const auto n = AskNumber(*this, QStringLiteral("MSPEED"),
                             QStringLiteral("Morse sending speed, words a minute (5 to 99):"),
                             modes.MorseSpeed, 5, 99);
    if (!n) return;
    modes.MorseSpeed = *n;
    QString path;
    if (!ModeSettings::Write(folder_, modes, path)) Warning(QStringLiteral("Cannot write %1").arg(path));
    if (st.ModeName == QLatin1String("MORSE")) Send(Frames::CommandFrame("MP" + Number(*n)));
}

void THoofdForm::AsciiBaudClick() {
    const auto n = AskNumber(*this, QStringLiteral("ABAUD"),
                             QStringLiteral("ASCII rate in baud (45 to 9600):"), modes.AsciiBaud,
                             45, 9600);
    if (!n) return;
    modes.AsciiBaud = *n;
    QString path;
    if (!ModeSettings::Write(folder_, modes, path)) Warning(QStringLiteral("Cannot write %1").arg(path));
    if (st.ModeName == QLatin1String("ASCII")) Send(Frames::CommandFrame("AB" + Number(*n)));
}

void THoofdForm::PacketMonitorClick() {
    const auto n = AskNumber(*this, QStringLiteral("MONITOR"),
                             QStringLiteral("Packet monitor level (0 none, 1 unproto only ... "
                                            "6 everything with sequence numbers):"),
                             modes.MonitorLevel, 0, 6);
    if (!n) return;
    modes.MonitorLevel = *n;
    QString path;
    if (!ModeSettings::Write(folder_, modes, path)) Warning(QStringLiteral("Cannot write %1").arg(path));
    if (st.ModeName == QLatin1String("PACKET")) Send(Frames::CommandFrame("MN" + Number(*n)));
}
