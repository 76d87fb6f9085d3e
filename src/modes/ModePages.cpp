// The pages and Mode menu items of Morse, ASCII, NAVTEX and packet.
#include <QAction>
#include <QMenu>
#include <QToolButton>

#include "shell/HoofdForm.h"
#include "shell/Widgets.h"

void THoofdForm::BuildModePages() {
    // Inserted before DUMB, in this order.
    const auto insert = [this](const char* title) {
        auto* page = new QWidget;
        TabBalk->insertTab(TabBalk->indexOf(DumbPage), page, QLatin1String(title));
        return page;
    };
    MorsePage = insert("MORSE");
    AsciiPage = insert("ASCII");
    NavtexPage = insert("NAVTEX");
    PacketPage = insert("PACKET");

    using H = THoofdForm;
    modes.Rows = {
        {ModeButton(MorsePage, "MorseReceive", QStringLiteral("Receive"),
                    QStringLiteral("MORSE RECEIVE"), &H::ModeReceiveClick),
         ModeButton(MorsePage, "MorseTransmit", QStringLiteral("Transmit"),
                    QStringLiteral("MORSE TRANSMIT"), &H::ModeTransmitClick),
         ModeButton(MorsePage, "MorseSpeed", QStringLiteral("Speed"),
                    QStringLiteral("MORSE SENDING SPEED (MSPEED)"), &H::MorseSpeedClick),
         ModeButton(MorsePage, "MorseHiscall", QStringLiteral("His call"),
                    QStringLiteral("Make Hiscall Known to the program"),
                    &H::MenuCallAstationClick)},
        {ModeButton(AsciiPage, "AsciiReceive", QStringLiteral("Receive"),
                    QStringLiteral("ASCII RECEIVE"), &H::ModeReceiveClick),
         ModeButton(AsciiPage, "AsciiTransmit", QStringLiteral("Transmit"),
                    QStringLiteral("ASCII TRANSMIT"), &H::ModeTransmitClick),
         ModeButton(AsciiPage, "AsciiBaud", QStringLiteral("Baud"),
                    QStringLiteral("ASCII BAUD RATE (ABAUD)"), &H::AsciiBaudClick),
         ModeButton(AsciiPage, "AsciiHiscall", QStringLiteral("His call"),
                    QStringLiteral("Make Hiscall Known to the program"),
                    &H::MenuCallAstationClick)},
        {ModeButton(NavtexPage, "NavtexMessages", QStringLiteral("Messages"),
                    QStringLiteral("NAVTEX MESSAGES KEPT"), &H::NavtexMessagesClick),
         ModeButton(NavtexPage, "NavtexStations", QStringLiteral("Stations"),
                    QStringLiteral("NAVTEX STATIONS AND CLASSES (NAVSTN, NAVMSG)"),
                    &H::NavtexSettingsClick)},
        {ModeButton(PacketPage, "PacketConnect", QStringLiteral("Connect"),
                    QStringLiteral("CONNECT"), &H::MenuCallAstationClick),
         ModeButton(PacketPage, "PacketDisconnect", QStringLiteral("Disc"),
                    QStringLiteral("DISCONNECT"), &H::PacketDisconnectClick),
         ModeButton(PacketPage, "PacketMonitor", QStringLiteral("Monitor"),
                    QStringLiteral("MONITOR LEVEL 0 TO 6"), &H::PacketMonitorClick)}};
}

void THoofdForm::BuildModeMenuItems(QMenu* mode) {
    mode->addSeparator();
    MenuMorse = Item(mode, "MenuMorse", QStringLiteral("&Morse"), {}, &THoofdForm::MenuMorseClick);
    MenuAscii =
        Item(mode, "MenuAscii", QStringLiteral("A&SCII"), {}, &THoofdForm::MenuAsciiClick);
    MenuNavtex =
        Item(mode, "MenuNavtex", QStringLiteral("&NAVTEX"), {}, &THoofdForm::MenuNavtexClick);
    MenuPacket =
        Item(mode, "MenuPacket", QStringLiteral("Pac&ket"), {}, &THoofdForm::MenuPacketClick);
}

void THoofdForm::LayOutModePages(const QVector<int>& lefts, int top, int width, int height) {
    for (const auto& row : modes.Rows)
        for (int i = 0; i < row.size() && i < lefts.size(); ++i)
            row[i]->setGeometry(lefts[i], top, width, height);
}
