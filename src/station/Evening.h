#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>

#include "logbook/WorkedBefore.h"
#include "logout/LogOutSender.h"
#include "macros/Macros.h"
#include "rig/Rig.h"
#include "rig/RigSetting.h"
#include "terminal/LinkEvents.h"

class QAction;
class TPane;

// What the main window keeps for the operator's evening: link events,
// worked before, macros, the rig, the own station and the contacts handed
// to the main logger. Its settings live in "Dervalo-extra.ini".
struct Evening {
    // Keys in "Dervalo-extra.ini".
    static constexpr const char* kUtcStampKey = "UtcStamp";
    static constexpr const char* kRigKey = "Rig";
    static constexpr const char* kLogWsjtxKey = "LogWsjtx";
    static constexpr const char* kLogAdifUdpKey = "LogAdifUdp";
    static constexpr const char* kMyLocatorKey = "MyLocator";
    static constexpr const char* kOperatorKey = "Operator";
    static constexpr const char* kBandKey = "Band";

    WorkedBeforeIndex index;
    LinkEvents events;
    QString macros[Macros::kCount];
    QList<QAction*> macroActions;

    bool utcStamp = false;
    bool atLineStart = true; // received text stands at the start of a line
    qint64 eventChars = 0; // characters of event lines shown so far
    // Event lines for the capture file that came while a received line was
    // half written to it: they follow at that line's end.
    QByteArray captureHeld;

    RigSetting rigSetting;
    std::unique_ptr<Rig> rig;
    TPane* rigPane = nullptr;

    QString myLocator, operatorCall;
    QString band; // the last band chosen in the entry window

    QString logWsjtx, logAdifUdp;
    LogOutSender sender;
    bool logOutFailureShown = false;
};
