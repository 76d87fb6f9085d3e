#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class Prompts;

// All persistent settings, as they live in "Dervalo.INI". Colours are
// Windows colour values: low byte red, then green, then blue; negative values
// name system colours.
struct SettingsFields {
    QString StoredPortName;
    quint16 StoredBaudRate = 0;
    QString PortName;
    quint16 BaudRate = 0;
    QString RxFontName;
    quint8 RxFontSize = 0;
    QString TxFontName;
    quint8 TxFontSize = 0;
    qint32 RxWindowColor = 0;
    qint32 TxWindowColor = 0;
    QString RxFontStyle; // at most 6 characters
    QString TxFontStyle; // at most 6 characters
    qint32 RxFontColor = 0;
    qint32 TxFontColor = 0;
    QString ButtonFontName;
    quint16 ButtonFontSize = 0;
    quint8 ButtonFontStyle = 0; // 1 regular, 2 italic, 3 bold, 4 bold italic
    QString StatusFontName;
    quint16 StatusFontSize = 0;
    quint8 StatusFontStyle = 0;
    qint32 ReceiveBarColor = 0;
    qint32 TransmitBarColor = 0;
    quint16 SplitPerMille = 0;
    QString DefaultMyCall;
    QString MySelCall; // at most 4 characters
    bool WindowMaximized = false;
    bool MaildropOn = false;
    bool PkInitOn = false;
    bool LogBookOn = false;
};

inline const QString kSettingsFileName = QStringLiteral("Dervalo.INI");

// Reads the 31 items from the bytes of a settings file into `fields`.
// `IniStatus` is 0 when every item was read; otherwise reading stopped at the
// failing item and the fields read before it keep their values. The four
// switches are set in every case (a switch line not read counts as off).
// Returns true exactly when IniStatus is 0.
bool ParseSettings(const QByteArray& content, SettingsFields& fields, quint8& IniStatus);

// The 31 lines, each ended by CR LF.
QByteArray FormatSettings(const SettingsFields& fields);

// Reads "Dervalo.INI" (any letter case) from `folder`.
bool ReadSettings(const QString& folder, SettingsFields& fields, quint8& IniStatus);

// Writes "Dervalo.INI" into `folder` (replacing the file found in any letter
// case). A file that cannot be created is silently not written; a line or the
// close failing shows "Error writing file to disk" (caption "Warning", OK and
// Cancel).
void WriteSettings(const QString& folder, const SettingsFields& fields, quint8& IniStatus,
                   Prompts& prompts);

// The built-in defaults over `fields`; leaves the stored port and rate, the
// general-button and status-line fonts and the four switches alone.
void ApplyBuiltInDefaults(SettingsFields& fields);
