#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QButtonGroup;
class QGroupBox;
class QPushButton;

// The port and baud-rate dialog: four ports, four rates. It is made once at
// start and keeps its selections between showings.
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

    // Set by the main window: runs when OK is pressed, before the dialog
    // closes (the port is reopened there).
    std::function<void()> OnOk;

    QGroupBox* Poorten;
    QGroupBox* Baudrates;
    QButtonGroup* PoortenGroup;
    QButtonGroup* BaudratesGroup;
    QPushButton* PoortOkKnop;
    QPushButton* PoortCancelknop;

    void PoortOkKnopClick();
    void PoortCancelknopClick();
};
