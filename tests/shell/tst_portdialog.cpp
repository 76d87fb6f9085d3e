// The port and baud-rate dialog.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

#include <unistd.h>

#include "FormFixture.h"
#include "link/ComBaudConfig.h"

class PortDialogTest : public QObject {
    Q_OBJECT
private slots:
    void preselectionFromStoredSettings_data();
    void preselectionFromStoredSettings();
    void okReopensAndUpdatesPane();
    void cancelKeepsEverything();
    void okWithoutSelectionKeepsWhatIsInUse();
    void deviceListPickReachesTheSettingsFile();
    void networkBridgeNameRoundTrip();
    void typedDevicePathOkTwiceAndOffline();
};

void PortDialogTest::preselectionFromStoredSettings_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("rate");
    QTest::newRow("COM2 19200") << FormFixture::Settings("COM2", "19200") << 1 << 2;
    QTest::newRow("COM7 57600") << FormFixture::Settings("COM7", "57600") << -1 << -1;
    QTest::newRow("device path") << FormFixture::Settings("/dev/ttyUSB0", "4800") << -1 << 0;
    QTest::newRow("no file") << QByteArray() << -1 << -1;
    QTest::newRow("network") << FormFixture::Settings("tcp:pk232.local:4001", "9600") << -1 << 1;
}

void PortDialogTest::preselectionFromStoredSettings() {
    QFETCH(QByteArray, file);
    QFETCH(int, port);
    QFETCH(int, rate);
    FormFixture f;
    if (!file.isEmpty()) f.WriteFile("Dervalo.INI", file);
    THoofdForm& form = f.Start();
    QCOMPARE(form.ComBaudConfig->PortIndex(), port);
    QCOMPARE(form.ComBaudConfig->RateIndex(), rate);
}

void PortDialogTest::okReopensAndUpdatesPane() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings("COM2", "19200"));
    THoofdForm& form = f.Start();
    const int opens = f.serial.OpenCount();
    f.prompts.modalActions.enqueue([](QDialog& d) {
        auto& dlg = static_cast<TComBaudConfig&>(d);
        dlg.SetPortIndex(0);
        dlg.SetRateIndex(0);
        dlg.PoortOkKnopClick();
        return dlg.result();
    });
    form.MenuComPortClick();
    QCOMPARE(f.prompts.Calls("modal"), QStringList{"modal|ComBaudConfig"});
    QCOMPARE(form.Pane8->text(), QString("COM1: 4800"));
    QCOMPARE(f.serial.OpenCount(), opens + 1);
    QCOMPARE(f.serial.OpenedDevice(), QString("COM1"));
    QCOMPARE(f.serial.Baud(), quint16(4800));
    QVERIFY(form.StatusAanvraagTimer.isActive());
    form.close();
    const QList<QByteArray> lines = f.ReadFile("Dervalo.INI").split('\n');
    QCOMPARE(lines.at(1), QByteArray("COM1\r"));
    QCOMPARE(lines.at(3), QByteArray("4800\r"));
}

void PortDialogTest::cancelKeepsEverything() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings("COM2", "19200"));
    THoofdForm& form = f.Start();
    const int opens = f.serial.OpenCount();
    f.prompts.modalActions.enqueue([](QDialog& d) {
        auto& dlg = static_cast<TComBaudConfig&>(d);
        dlg.SetPortIndex(3);
        dlg.PoortCancelknopClick();
        return dlg.result();
    });
    form.MenuComPortClick();
    QCOMPARE(form.Pane8->text(), QString("COM2: 19200"));
    QCOMPARE(f.serial.OpenCount(), opens);
    QVERIFY(form.StatusAanvraagTimer.isActive());
    // The cancelled choice shows next time.
    QCOMPARE(form.ComBaudConfig->PortIndex(), 3);
    form.close();
    QCOMPARE(f.ReadFile("Dervalo.INI").split('\n').at(1), QByteArray("COM2\r"));
}

void PortDialogTest::okWithoutSelectionKeepsWhatIsInUse() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings("/dev/ttyUSB0", "57600"));
    THoofdForm& form = f.Start();
    f.prompts.modalActions.enqueue([](QDialog& d) {
        auto& dlg = static_cast<TComBaudConfig&>(d);
        dlg.SetRateIndex(1); // the port group stays without a selection
        dlg.PoortOkKnopClick();
        return dlg.result();
    });
    form.MenuComPortClick();
    QCOMPARE(form.Pane8->text(), QString("ttyUSB0: 9600"));
    QCOMPARE(f.serial.OpenedDevice(), QString("/dev/ttyUSB0"));
}

void PortDialogTest::deviceListPickReachesTheSettingsFile() {
    // A system with one USB adapter, its stable name, and the simulator's
    // link in use.
    QTemporaryDir system;
    const QString root = system.path();
    const QString byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0";
    QDir().mkpath(root + "/dev/serial/by-id");
    QDir().mkpath(root + "/run");
    QFile(root + "/dev/ttyUSB0").open(QIODevice::WriteOnly);
    QCOMPARE(::symlink("../../ttyUSB0", qPrintable(root + byId)), 0);
    QCOMPARE(::symlink("/dev/pts/3", qPrintable(root + "/run/pk232")), 0);

    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings("/run/pk232", "19200"));
    THoofdForm& form = f.Start();
    form.ComBaudConfig->SystemRoot = root;
    form.ComBaudConfig->PortsOfSystem = [] {
        PortFacts adapter;
        adapter.location = "/dev/ttyUSB0";
        return QList<PortFacts>{adapter};
    };
    QStringList shown;
    f.prompts.modalActions.enqueue([&](QDialog& d) {
        auto& dlg = static_cast<TComBaudConfig&>(d);
        for (int row = 0; row < dlg.ApparatenLijst->count(); ++row)
            shown << dlg.ApparatenLijst->item(row)->text();
        // The device in use is the one chosen.
        if (dlg.PortIndex() != -1 || dlg.DevicePick() != "/run/pk232") return 0;
        // A COM item and a device are never chosen at once.
        dlg.ApparatenLijst->setCurrentRow(1);
        dlg.PoortenGroup->button(2)->click();
        if (!dlg.DevicePick().isEmpty() || dlg.ChosenPortName() != "COM3") return 0;
        dlg.ApparatenLijst->setCurrentRow(1);
        if (dlg.PortIndex() != -1) return 0;
        dlg.PoortOkKnopClick();
        return dlg.result();
    });
    form.MenuComPortClick();
    QCOMPARE(shown, QStringList({"/dev/ttyUSB0", byId + " \u2192 /dev/ttyUSB0",
                                 "/run/pk232 \u2192 /dev/pts/3 \u2014 in use"}));
    QCOMPARE(f.serial.OpenedDevice(), byId);
    QCOMPARE(form.Pane8->text(), QString("usb-FTDI_FT232R_USB_UART_A1-if00-port0: 19200"));
    // The next showing has the new device in use, chosen.
    form.ComBaudConfig->FormShow(byId);
    QCOMPARE(form.ComBaudConfig->DevicePick(), byId);
    form.close();
    QCOMPARE(f.ReadFile("Dervalo.INI").split('\n').at(1), (byId + "\r").toUtf8());
}

void PortDialogTest::networkBridgeNameRoundTrip() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings("tcp:pk232.local:4001", "9600"));
    THoofdForm& form = f.Start();
    QCOMPARE(f.serial.OpenedDevice(), QString("tcp:pk232.local:4001"));
    QCOMPARE(form.Pane8->text(), QString("tcp:pk232.local:4001: 9600"));
    QString shown;
    f.prompts.modalActions.enqueue([&](QDialog& d) {
        auto& dlg = static_cast<TComBaudConfig&>(d);
        shown = dlg.NetwerkAdres->text();
        // A COM item clears the field; typing in the field clears the item.
        dlg.PoortenGroup->button(1)->click();
        if (!dlg.NetworkPick().isEmpty()) return 0;
        QTest::keyClicks(dlg.NetwerkAdres, "[::1]:4002");
        if (dlg.PortIndex() != -1 || dlg.ChosenPortName() != "tcp:[::1]:4002") return 0;
        dlg.SetRateIndex(0);
        dlg.PoortOkKnopClick();
        return dlg.result();
    });
    form.MenuComPortClick();
    QCOMPARE(shown, QString("pk232.local:4001"));
    QCOMPARE(f.serial.OpenedDevice(), QString("tcp:[::1]:4002"));
    QCOMPARE(form.Pane8->text(), QString("tcp:[::1]:4002: 4800"));
    // A network name in use shows in the field when nothing else is chosen.
    form.ComBaudConfig->SetNetworkPick(QString());
    form.ComBaudConfig->FormShow("tcp:[::1]:4002");
    QCOMPARE(form.ComBaudConfig->NetworkPick(), QString("[::1]:4002"));
    QCOMPARE(form.ComBaudConfig->DevicePick(), QString());
    form.close();
    const QList<QByteArray> lines = f.ReadFile("Dervalo.INI").split('\n');
    QCOMPARE(lines.at(1), QByteArray("tcp:[::1]:4002\r"));
    QCOMPARE(lines.at(3), QByteArray("4800\r"));
}

void PortDialogTest::typedDevicePathOkTwiceAndOffline() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings("COM2", "9600"));
    THoofdForm& form = f.Start();
    const auto choose = [&](std::function<void(TComBaudConfig&)> step) {
        f.prompts.modalActions.enqueue([step](QDialog& d) {
            auto& dlg = static_cast<TComBaudConfig&>(d);
            step(dlg);
            dlg.PoortOkKnopClick();
            return dlg.result();
        });
        form.MenuComPortClick();
    };
    // A path typed into the network field is the device it names.
    choose([](TComBaudConfig& dlg) { QTest::keyClicks(dlg.NetwerkAdres, "/home/ham/pk232"); });
    QCOMPARE(f.serial.OpenedDevice(), QString("/home/ham/pk232"));
    QCOMPARE(form.Pane8->text(), QString("pk232: 9600"));
    // The field "Device path" takes one; typing there clears the other choices.
    int index = 0;
    choose([&](TComBaudConfig& dlg) {
        dlg.PoortenGroup->button(0)->click();
        QTest::keyClicks(dlg.ApparaatPad, "/tmp/sim/pk232");
        index = dlg.PortIndex() + (dlg.NetworkPick().isEmpty() ? 0 : 10);
    });
    QCOMPARE(index, -1);
    QCOMPARE(f.serial.OpenedDevice(), QString("/tmp/sim/pk232"));
    // OK once more: the same port opened again, nothing said.
    const int opens = f.serial.OpenCount();
    choose([](TComBaudConfig&) {});
    QCOMPARE(f.serial.OpenCount(), opens + 1);
    QCOMPARE(f.serial.OpenedDevice(), QString("/tmp/sim/pk232"));
    QCOMPARE(f.prompts.Boxes(), QStringList());
    // A name that does not open is never shown as if it had.
    f.serial.SetGone(true);
    choose([](TComBaudConfig& dlg) {
        dlg.ApparaatPad->clear();
        QTest::keyClicks(dlg.ApparaatPad, "/dev/ttyUSB7");
    });
    QCOMPARE(form.Pane8->text(), QString("offline"));
    QCOMPARE(f.prompts.Boxes().size(), 1);
}

QTEST_MAIN(PortDialogTest)
#include "tst_portdialog.moc"
