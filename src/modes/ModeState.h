#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

#include "modes/NavtexCollector.h"

class QToolButton;

// What the main window keeps for the modes beyond PACTOR, AMTOR and RTTY.
struct ModeState {
    // Settings, kept in "Dervalo-extra.ini" (ModeSettings).
    int MorseSpeed = 20;                 // MSPEED, 5 to 99 WPM
    int AsciiBaud = 110;                 // ABAUD, 45 to 9600
    int MonitorLevel = 4;                // MONITOR, 0 to 6
    QString NavStations = QStringLiteral("ALL"); // NAVSTN
    QString NavClasses = QStringLiteral("ALL");  // NAVMSG

    // Packet: the channel of the link that is up (-1: none), the channel of
    // the link message being read, the typed line not yet sent.
    int PacketChannel = -1;
    int MessageChannel = 0;
    QByteArray PacketLine;

    // NAVTEX: the collector and the messages kept this run, oldest first.
    NavtexCollector Navtex;
    QList<NavtexMessage> NavtexKept;
    bool NavtexFolderRead = false;

    // The pages' buttons, one row per page, laid out like the others.
    QVector<QVector<QToolButton*>> Rows;
};
