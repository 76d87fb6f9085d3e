#include "link/ComBaudConfig.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "link/LineBackend.h"
#include "link/SerialDevices.h"
#include "link/TcpName.h"

TComBaudConfig::TComBaudConfig(const QString& StoredPortName, quint16 StoredBaudRate,
                               QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("ComBaudConfig"));
    setWindowTitle(QStringLiteral("Dervalo"));
    // Room for the device list, the path field and the network field under
    // the two groups.
    setFixedSize(440, 484);
    setModal(true);

    Poorten = new QGroupBox(QStringLiteral("Com Port"), this);
    Poorten->setObjectName(QStringLiteral("Poorten"));
    Poorten->setGeometry(8, 8, 208, 150);
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
    Baudrates->setGeometry(224, 8, 208, 150);
    BaudratesGroup = new QButtonGroup(this);
    auto* bl = new QVBoxLayout(Baudrates);
    const QStringList rates = {QStringLiteral("4800"), QStringLiteral("9600"),
                               QStringLiteral("19200"), QStringLiteral("38400")};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QRadioButton(rates[i], Baudrates);
        BaudratesGroup->addButton(b, i);
        bl->addWidget(b);
    }

    Apparaten = new QGroupBox(QStringLiteral("Serial devices"), this);
    Apparaten->setObjectName(QStringLiteral("Apparaten"));
    Apparaten->setGeometry(8, 164, 424, 150);
    ApparatenLijst = new QListWidget(Apparaten);
    ApparatenLijst->setObjectName(QStringLiteral("ApparatenLijst"));
    ApparatenLijst->setSelectionMode(QAbstractItemView::SingleSelection);
    // A long stable name loses its middle; the hint shows it whole.
    ApparatenLijst->setTextElideMode(Qt::ElideMiddle);
    ApparatenLijst->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    (new QVBoxLayout(Apparaten))->addWidget(ApparatenLijst);

    Pad = new QGroupBox(QStringLiteral("Device path"), this);
    Pad->setObjectName(QStringLiteral("Pad"));
    Pad->setGeometry(8, 320, 424, 56);
    ApparaatPad = new QLineEdit(Pad);
    ApparaatPad->setObjectName(QStringLiteral("ApparaatPad"));
    ApparaatPad->setPlaceholderText(QStringLiteral("/dev/..."));
    ApparaatPad->setToolTip(QStringLiteral("A serial device not in the list, for example the "
                                           "simulator's link /home/ham/pk232"));
    (new QVBoxLayout(Pad))->addWidget(ApparaatPad);

    Netwerk = new QGroupBox(QStringLiteral("Network (ser2net)"), this);
    Netwerk->setObjectName(QStringLiteral("Netwerk"));
    Netwerk->setGeometry(8, 382, 424, 56);
    NetwerkAdres = new QLineEdit(Netwerk);
    NetwerkAdres->setObjectName(QStringLiteral("NetwerkAdres"));
    NetwerkAdres->setPlaceholderText(QStringLiteral("host:port"));
    NetwerkAdres->setToolTip(
        QStringLiteral("A serial bridge in raw mode: host name or address and port, "
                       "for example 192.168.1.20:4001 or [::1]:4001"));
    (new QVBoxLayout(Netwerk))->addWidget(NetwerkAdres);

    // One port at a time: a COM item, a list pick or typing in one of the
    // two fields clears the others.
    connect(PoortenGroup, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (!checked) return;
        devicePick_.clear();
        ApparatenLijst->clearSelection();
        ApparaatPad->clear();
        NetwerkAdres->clear();
    });
    connect(ApparatenLijst, &QListWidget::itemSelectionChanged, this, [this] {
        const QString pick = DevicePick();
        if (pick.isEmpty()) return;
        devicePick_ = pick;
        SetPortIndex(-1);
        ApparaatPad->clear();
        NetwerkAdres->clear();
    });
    for (QLineEdit* field : {ApparaatPad, NetwerkAdres})
        connect(field, &QLineEdit::textEdited, this, [this, field](const QString& text) {
            if (text.trimmed().isEmpty()) return;
            SetPortIndex(-1);
            devicePick_.clear();
            ApparatenLijst->clearSelection();
            (field == ApparaatPad ? NetwerkAdres : ApparaatPad)->clear();
        });

    PoortOkKnop = new QPushButton(QStringLiteral("OK"), this);
    PoortOkKnop->setObjectName(QStringLiteral("PoortOkKnop"));
    PoortOkKnop->setGeometry(128, 446, 85, 28);
    PoortOkKnop->setDefault(true);
    PoortCancelknop = new QPushButton(QStringLiteral("Cancel"), this);
    PoortCancelknop->setObjectName(QStringLiteral("PoortCancelknop"));
    PoortCancelknop->setGeometry(227, 446, 85, 28);
    connect(PoortOkKnop, &QPushButton::clicked, this, &TComBaudConfig::PoortOkKnopClick);
    connect(PoortCancelknop, &QPushButton::clicked, this, &TComBaudConfig::PoortCancelknopClick);

    // Preselection from the port and rate stored in the settings file.
    SetPortIndex(PortIndexFor(StoredPortName));
    SetNetworkPick(TcpName::HostPort(StoredPortName));
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
    // The fourth character "1" to "4" picks the port; a network name is none.
    if (portName.size() < 4 || TcpName::Is(portName)) return -1;
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

namespace {
constexpr int kPathRole = Qt::UserRole;
constexpr int kInUseRole = Qt::UserRole + 1;
} // namespace

void TComBaudConfig::FormShow(const QString& portInUse) {
    // A COM name is no device of the list; its item is chosen as ever. A
    // network name shows in its field.
    const bool inUseIsNetwork = TcpName::Is(portInUse);
    const bool inUseIsDevice = PortIndexFor(portInUse) < 0 && !inUseIsNetwork;
    const QList<SerialDevice> devices =
        ListSerialDevices(PortsOfSystem(), SystemRoot, inUseIsDevice ? portInUse : QString());
    const QString keep = devicePick_;
    ApparatenLijst->clear();
    for (const SerialDevice& d : devices) {
        auto* item = new QListWidgetItem(d.Text(), ApparatenLijst);
        item->setData(kPathRole, d.path);
        item->setData(kInUseRole, d.inUse);
        item->setToolTip(d.Details());
    }
    if (!keep.isEmpty()) {
        SetDevicePick(keep);
        if (!DevicePick().isEmpty()) return;
    }
    devicePick_.clear();
    if (PortIndex() >= 0 || !NetworkPick().isEmpty() || !PathPick().isEmpty()) return;
    if (inUseIsNetwork) {
        SetNetworkPick(TcpName::HostPort(portInUse));
        return;
    }
    for (int row = 0; row < ApparatenLijst->count(); ++row)
        if (ApparatenLijst->item(row)->data(kInUseRole).toBool())
            ApparatenLijst->setCurrentRow(row);
}

QString TComBaudConfig::DevicePick() const {
    const QList<QListWidgetItem*> picked = ApparatenLijst->selectedItems();
    return picked.isEmpty() ? QString() : picked.first()->data(kPathRole).toString();
}

void TComBaudConfig::SetDevicePick(const QString& path) {
    const QString device = LineBackend::DevicePath(path);
    for (int row = 0; row < ApparatenLijst->count(); ++row) {
        const QString listed = ApparatenLijst->item(row)->data(kPathRole).toString();
        if (listed == path ||
            (!device.isEmpty() && LineBackend::DevicePath(listed) == device)) {
            ApparatenLijst->setCurrentRow(row);
            return;
        }
    }
    ApparatenLijst->clearSelection();
}

QString TComBaudConfig::NetworkPick() const {
    return NetwerkAdres->text().trimmed();
}

void TComBaudConfig::SetNetworkPick(const QString& hostPort) {
    NetwerkAdres->setText(hostPort);
}

QString TComBaudConfig::PathPick() const {
    return ApparaatPad->text().trimmed();
}

void TComBaudConfig::SetPathPick(const QString& path) {
    ApparaatPad->setText(path);
}

QString TComBaudConfig::ChosenPortName() const {
    const int port = PortIndex();
    if (port >= 0) return PortNameFor(port);
    // A "HOST:PORT" never holds a slash: a path typed into the network
    // field is the device path it plainly is.
    const QString network = NetworkPick();
    if (network.contains(QLatin1Char('/'))) return network;
    if (!network.isEmpty()) return TcpName::FromHostPort(network);
    if (!PathPick().isEmpty()) return PathPick();
    return DevicePick();
}

void TComBaudConfig::PoortOkKnopClick() {
    if (OnOk) OnOk();
    accept();
}

void TComBaudConfig::PoortCancelknopClick() {
    reject();
}
