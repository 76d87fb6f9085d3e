#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QtGlobal>

#include "host/StatusDecode.h"
#include "link/Settings.h"
#include "logbook/LogBookRecord.h"

// The program-wide state, owned by the main window. The settings fields and
// the link state come in through the two bases, so every field is reached by
// the name the rest of the program knows it by (`PortName`, `ModeName` ...).
struct DervaloState : SettingsFields, LinkStatus {
    static constexpr const char* kVersion = "3.01";

    // The settings file
    quint8 IniStatus = 0;

    // Calls
    QString MyCall;  // own call as last entered
    QString HisCall; // the other station

    // Controller and window flags
    bool PkStarted = false;
    bool PkParametersLoaded = false;
    bool HostModeActive = false;
    bool DumbMode = false;
    bool Closing = false;

    // Receive hold
    bool HoldReceive = false;
    bool ScrollBackMode = false;
    QByteArray PendingReceiveText;
    // The kind of each held character (a THoofdForm::TextKind), so that the
    // echo keeps its colour when it is written out later. Characters held
    // without a kind are received text.
    QByteArray PendingReceiveKinds;
    // The colour of the operator's own text (the echo) in the receive
    // window, kept in "Dervalo-extra.ini".
    QColor EchoColour;
    // Scroll positions of the receive window, in lines. Wider than 16 bits:
    // a buffer of more than 65535 lines must not wrap them, or reading back
    // would never end.
    quint32 RxScrollPos = 0;
    quint32 RxMaxScrollPos = 0;

    // File transmission
    quint16 TxPendingCount = 0;
    bool FileTransmitActive = false;
    bool FileTransmitAbort = false;
    bool SendingCQ = false;

    // Capture file and logbook
    bool LogFileOpen = false;
    QString PickedCall;

    // Logbook: the number of whole records in the file, the record the
    // viewer and editor are at (the count when none is selected), and the
    // record buffer every read fills and every write takes its bytes from.
    qint32 LogBookRecordCount = 0;
    qint32 LogBookPosition = 0;
    TLogBookRecord LogBookRecord;
    // Receive window: the name the save dialog offers, the last one chosen
    QString BufferFileName = QStringLiteral("Dervalo.buf");

    // Layout
    int TransmitBarTop = 0;
    bool BarDragging = false;
    bool BarHitTop = false;
    bool BarHitBottom = false;
};
