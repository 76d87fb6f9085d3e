#include "link/ComBaudConfig.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TComBaudConfig::TComBaudConfig(const QString& StoredPortName, quint16 StoredBaudRate,
                               QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("ComBaudConfig"));
    setWindowTitle(QStringLiteral("Dervalo"));
    setFixedSize(278, 214);
    setModal(true);

    Poorten = new QGroupBox(QStringLiteral("Com Port"), this);
    Poorten->setObjectName(QStringLiteral("Poorten"));
    Poorten->setGeometry(8, 8, 125, 150);
    PoortenGroup = new QButtonGroup(this);
    auto* pl = new QVBoxLayout(Poorten);
    const QStringList ports = {QStringLiteral("COM 1"), QStringLiteral("COM 2"),
                               QStringLiteral("COM 3"), QStringLiteral("COM 4 ")};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QRadioButton(ports[i], Poorten);
        PoortenGroup->addButton(b, i);
        pl->addWidget(b);
    }

    Baudrates = new QGroupBox(QStringLiteral("Baudrate"), this);
    Baudrates->setObjectName(QStringLiteral("Baudrates"));
    Baudrates->setGeometry(145, 8, 125, 150);
    BaudratesGroup = new QButtonGroup(this);
    auto* bl = new QVBoxLayout(Baudrates);
    const QStringList rates = {QStringLiteral("4800"), QStringLiteral("9600"),
                               QStringLiteral("19200"), QStringLiteral("38400")};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QRadioButton(rates[i], Baudrates);
        BaudratesGroup->addButton(b, i);
        bl->addWidget(b);
    }

    PoortOkKnop = new QPushButton(QStringLiteral("OK"), this);
    PoortOkKnop->setObjectName(QStringLiteral("PoortOkKnop"));
    PoortOkKnop->setGeometry(40, 172, 85, 28);
    PoortOkKnop->setDefault(true);
    PoortCancelknop = new QPushButton(QStringLiteral("Cancel"), this);
    PoortCancelknop->setObjectName(QStringLiteral("PoortCancelknop"));
    PoortCancelknop->setGeometry(153, 172, 85, 28);
    connect(PoortOkKnop, &QPushButton::clicked, this, &TComBaudConfig::PoortOkKnopClick);
    connect(PoortCancelknop, &QPushButton::clicked, this, &TComBaudConfig::PoortCancelknopClick);

    // Preselection from the port and rate stored in the settings file.
    SetPortIndex(PortIndexFor(StoredPortName));
    SetRateIndex(RateIndexFor(StoredBaudRate));
}

int TComBaudConfig::PortIndex() const {
    return PoortenGroup->checkedId();
}
int TComBaudConfig::RateIndex() const {
    return BaudratesGroup->checkedId();
}

namespace {
void Select(QButtonGroup* group, int index) {
    if (index >= 0 && index < 4) {
        group->button(index)->setChecked(true);
        return;
    }
    // No selection: radio buttons in an exclusive group cannot all be
    // unchecked directly.
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(false);
    group->setExclusive(true);
}
} // namespace

void TComBaudConfig::SetPortIndex(int index) {
    Select(PoortenGroup, index);
}
void TComBaudConfig::SetRateIndex(int index) {
    Select(BaudratesGroup, index);
}

int TComBaudConfig::PortIndexFor(const QString& portName) {
    // The fourth character "1" to "4" picks the port.
    if (portName.size() < 4) return -1;
    const QChar c = portName.at(3);
    if (c >= QLatin1Char('1') && c <= QLatin1Char('4')) return c.unicode() - '1';
    return -1;
}

int TComBaudConfig::RateIndexFor(quint16 baudRate) {
    switch (baudRate) {
    case 4800:
        return 0;
    case 9600:
        return 1;
    case 19200:
        return 2;
    case 38400:
        return 3;
    default:
        return -1;
    }
}

QString TComBaudConfig::PortNameFor(int index) {
    return index >= 0 && index < 4 ? QStringLiteral("COM%1").arg(index + 1) : QString();
}

quint16 TComBaudConfig::BaudRateFor(int index) {
    static const quint16 rates[] = {4800, 9600, 19200, 38400};
    return index >= 0 && index < 4 ? rates[index] : 0;
}

void TComBaudConfig::PoortOkKnopClick() {
    if (OnOk) OnOk();
    accept();
}

void TComBaudConfig::PoortCancelknopClick() {
    reject();
}
