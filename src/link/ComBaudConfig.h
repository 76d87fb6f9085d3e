#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "link/SerialDevices.h"

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// The port and baud-rate dialog: four ports, the serial devices the system
// has, four rates. It is made once at start and keeps its selections between
// showings. The port is one of the four COM items, one device of the list, a
// device path typed in ("Device path"), or a serial bridge on the network ("HOST:PORT" in the field "Network
// (ser2net)", the port name "tcp:HOST:PORT"), never two of them.
class TComBaudConfig : public QDialog {
    Q_OBJECT
public:
    // Preselects from the port and rate read from the settings file.
    TComBaudConfig(const QString& StoredPortName, quint16 StoredBaudRate,
                   QWidget* parent = nullptr);

    // The selections, 0 to 3, or -1 for none.
    int PortIndex() const;
    int RateIndex() const;
    void SetPortIndex(int index);
    void SetRateIndex(int index);

    static int PortIndexFor(const QString& portName);
    static int RateIndexFor(quint16 baudRate);
    static QString PortNameFor(int index);
    static quint16 BaudRateFor(int index);

    // Run right before each showing: lists the serial devices the system has
    // now (`PortsOfSystem`, the stable names under `SystemRoot`), with
    // `portInUse` among them when it is a device path, and selects the device chosen last, or else the one in
    // use when no COM item is chosen.
    void FormShow(const QString& portInUse);
    // The device chosen in the list, as it goes on line 2; empty for none.
    QString DevicePick() const;
    // Chooses the list row of this device (none for a name not listed).
    void SetDevicePick(const QString& path);
    // The bridge's "HOST:PORT" as the field holds it; empty for none.
    QString NetworkPick() const;
    void SetNetworkPick(const QString& hostPort);
    // A device path typed into the field "Device path"; empty for none.
    QString PathPick() const;
    void SetPathPick(const QString& path);
    // The port chosen: a COM name, a device path (picked or typed), a
    // "tcp:" name, or empty for none.
    QString ChosenPortName() const;

    // The folder that holds dev/serial/by-id, and the system's serial ports;
    // tests give their own.
    QString SystemRoot = QStringLiteral("/");
    std::function<QList<PortFacts>()> PortsOfSystem = &PortFacts::OfSystem;

    // Set by the main window: runs when OK is pressed, before the dialog
    // closes (the port is reopened there).
    std::function<void()> OnOk;

    QGroupBox* Poorten;
    QGroupBox* Baudrates;
    QButtonGroup* PoortenGroup;
    QButtonGroup* BaudratesGroup;
    QGroupBox* Apparaten;
    QListWidget* ApparatenLijst;
    QGroupBox* Pad;
    QLineEdit* ApparaatPad;
    QGroupBox* Netwerk;
    QLineEdit* NetwerkAdres;
    QPushButton* PoortOkKnop;
    QPushButton* PoortCancelknop;

    void PoortOkKnopClick();
    void PoortCancelknopClick();

private:
    // The list pick, kept between showings while the list is made anew.
    QString devicePick_;
};
