#include "station/StationForms.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "macros/Macros.h"

namespace {
QDialogButtonBox* OkCancel(QDialog* d) {
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    QObject::connect(box, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return box;
}
QLineEdit* Edit(QWidget* parent, const char* name, const QString& text,
                const QString& placeholder = {}) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(QLatin1String(name));
    e->setPlaceholderText(placeholder);
    return e;
}
} // namespace

TRigForm::TRigForm(const RigSetting& s, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("RigForm"));
    setWindowTitle(QStringLiteral("Rig"));
    auto* layout = new QVBoxLayout(this);
    NoneButton = new QRadioButton(QStringLiteral("No rig"), this);
    RigctldButton = new QRadioButton(QStringLiteral("Network rig (rigctld) at HOST:PORT"), this);
    RigctldEdit =
        Edit(this, "RigctldEdit",
             s.kind == RigSetting::Kind::Rigctld ? s.Path() : QStringLiteral("127.0.0.1:4532"));
    HamlibButton = new QRadioButton(QStringLiteral("Hamlib rig model on a serial device"), this);
    ModelEdit = Edit(this, "ModelEdit", s.model > 2 ? QString::number(s.model) : QString(),
                     QStringLiteral("Hamlib model number (rigctl -l)"));
    DeviceEdit = Edit(this, "DeviceEdit", s.device, QStringLiteral("/dev/ttyUSB0"));
    RateEdit = Edit(this, "RateEdit", s.rate ? QString::number(s.rate) : QStringLiteral("9600"));
    NoneButton->setChecked(s.kind == RigSetting::Kind::None);
    RigctldButton->setChecked(s.kind == RigSetting::Kind::Rigctld);
    HamlibButton->setChecked(s.kind == RigSetting::Kind::Hamlib);
    auto* hamlib = new QFormLayout;
    hamlib->addRow(QStringLiteral("Model"), ModelEdit);
    hamlib->addRow(QStringLiteral("Device"), DeviceEdit);
    hamlib->addRow(QStringLiteral("Rate"), RateEdit);
    layout->addWidget(NoneButton);
    layout->addWidget(RigctldButton);
    layout->addWidget(RigctldEdit);
    layout->addWidget(HamlibButton);
    layout->addLayout(hamlib);
    layout->addWidget(OkCancel(this));
}

std::optional<RigSetting> TRigForm::Chosen() const {
    if (RigctldButton->isChecked())
        return RigSetting::Parse(QStringLiteral("rigctld:") + RigctldEdit->text().trimmed());
    if (HamlibButton->isChecked())
        return RigSetting::Parse(QStringLiteral("hamlib:%1:%2:%3")
                                     .arg(ModelEdit->text().trimmed(), DeviceEdit->text().trimmed(),
                                          RateEdit->text().trimmed()));
    return RigSetting{};
}

TLoggingForm::TLoggingForm(const QString& wsjtx, const QString& adifUdp, bool utcStamp,
                           QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("LoggingForm"));
    setWindowTitle(QStringLiteral("Logging"));
    auto* layout = new QVBoxLayout(this);
    WsjtxCheck =
        new QCheckBox(QStringLiteral("Send each logged contact as a WSJT-X datagram to"), this);
    WsjtxEdit = Edit(this, "WsjtxEdit", wsjtx.isEmpty() ? QStringLiteral("127.0.0.1:2237") : wsjtx);
    WsjtxCheck->setChecked(!wsjtx.isEmpty());
    AdifCheck =
        new QCheckBox(QStringLiteral("Send each logged contact as an ADIF datagram to"), this);
    AdifEdit =
        Edit(this, "AdifEdit", adifUdp.isEmpty() ? QStringLiteral("127.0.0.1:2333") : adifUdp);
    AdifCheck->setChecked(!adifUdp.isEmpty());
    UtcStampCheck =
        new QCheckBox(QStringLiteral("UTC time at the start of each received line"), this);
    UtcStampCheck->setChecked(utcStamp);
    for (QWidget* w : {static_cast<QWidget*>(WsjtxCheck), static_cast<QWidget*>(WsjtxEdit),
                       static_cast<QWidget*>(AdifCheck), static_cast<QWidget*>(AdifEdit),
                       static_cast<QWidget*>(UtcStampCheck)})
        layout->addWidget(w);
    layout->addWidget(OkCancel(this));
}

QString TLoggingForm::Wsjtx() const {
    return WsjtxCheck->isChecked() ? WsjtxEdit->text().trimmed() : QString();
}

QString TLoggingForm::AdifUdp() const {
    return AdifCheck->isChecked() ? AdifEdit->text().trimmed() : QString();
}

TMyStationForm::TMyStationForm(const QString& locator, const QString& operatorCall, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("MyStationForm"));
    setWindowTitle(QStringLiteral("My station"));
    auto* layout = new QFormLayout(this);
    LocatorEdit = Edit(this, "LocatorEdit", locator, QStringLiteral("JO22"));
    OperatorEdit = Edit(this, "OperatorEdit", operatorCall);
    layout->addRow(QStringLiteral("My locator"), LocatorEdit);
    layout->addRow(QStringLiteral("Operator"), OperatorEdit);
    layout->addRow(OkCancel(this));
}

TMacroEditForm::TMacroEditForm(const QStringList& texts, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("MacroEditForm"));
    setWindowTitle(QStringLiteral("Macros"));
    resize(520, height());
    auto* layout = new QFormLayout(this);
    layout->addRow(new QLabel(QStringLiteral("Tokens: <MYCALL> <CALL> <NAME> <QTH> <UTC> <DATE> "
                                             "<BAND> <FREQ> <CR>"),
                              this));
    for (int i = 0; i < Macros::kCount; ++i) {
        auto* e = Edit(this, "MacroEdit", texts.value(i));
        e->setObjectName(QStringLiteral("MacroEdit%1").arg(i + 1));
        Edits << e;
        layout->addRow(Macros::KeyText(i), e);
    }
    layout->addRow(OkCancel(this));
}
