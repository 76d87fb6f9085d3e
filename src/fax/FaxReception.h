#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include "fax/FaxPicture.h"
#include "fax/FaxSettings.h"
#include "fax/FaxStream.h"

class TFaxWindow;
class TFaxSettingsForm;

// What the main window keeps of the weather fax: whether the FAX mode is on,
// the stream reader, the picture being received (or the last one), when its
// last byte came, the settings, the fax window and the settings dialog.
class FaxReception : public QObject {
    Q_OBJECT
public:
    explicit FaxReception(QObject* parent) : QObject(parent) {}

    // A picture ends after this long with no fax data.
    static constexpr quint32 kSilenceEndMs = 60000;
    static constexpr int kSilenceCheckMs = 1000;

    bool modeOn = false;    // the FAX page is showing and the unit receives fax
    bool receiving = false; // a picture is under way
    bool saved = false;     // the picture in hand is in a file
    quint32 lastDataAt = 0;
    FaxStream reader;
    FaxPicture picture;
    FaxSettings settings;
    QString lastSavedPath;
    QList<QByteArray> rows; // scratch for the reader's rows
    QTimer silence;
    TFaxWindow* window = nullptr;
    TFaxSettingsForm* settingsForm = nullptr;
};
