#pragma once

#include <QDialog>

#include "rig/RigSetting.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

// Station / Rig…: none, rigctld at HOST:PORT, or a Hamlib model on a
// serial device at a rate.
class TRigForm : public QDialog {
    Q_OBJECT
public:
    explicit TRigForm(const RigSetting& setting, QWidget* parent = nullptr);
    // The choice as the boxes hold it; nothing when a field does not read.
    std::optional<RigSetting> Chosen() const;

    QRadioButton *NoneButton, *RigctldButton, *HamlibButton;
    QLineEdit *RigctldEdit, *ModelEdit, *DeviceEdit, *RateEdit;
};

// Station / Logging…: where logged contacts go, and the UTC time at the
// start of received lines.
class TLoggingForm : public QDialog {
    Q_OBJECT
public:
    TLoggingForm(const QString& wsjtx, const QString& adifUdp, bool utcStamp,
                 QWidget* parent = nullptr);
    QCheckBox *WsjtxCheck, *AdifCheck, *UtcStampCheck;
    QLineEdit *WsjtxEdit, *AdifEdit;
    // "HOST:PORT", or empty when switched off.
    QString Wsjtx() const;
    QString AdifUdp() const;
};

// Station / My station…: "My locator" and the operator.
class TMyStationForm : public QDialog {
    Q_OBJECT
public:
    TMyStationForm(const QString& locator, const QString& operatorCall, QWidget* parent = nullptr);
    QLineEdit *LocatorEdit, *OperatorEdit;
};

// Macros / Edit macros…: the ten texts.
class TMacroEditForm : public QDialog {
    Q_OBJECT
public:
    TMacroEditForm(const QStringList& texts, QWidget* parent = nullptr);
    QList<QLineEdit*> Edits;
};
