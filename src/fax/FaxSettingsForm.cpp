#include "fax/FaxSettingsForm.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

TFaxSettingsForm::TFaxSettingsForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FaxSettingsForm"));
    setWindowTitle(QStringLiteral("Fax settings"));
    auto* form = new QFormLayout(this);
    Speed = new QComboBox(this);
    Speed->setObjectName(QStringLiteral("FaxSpeed"));
    for (int lpm : FaxSettings::kLinesPerMinute)
        Speed->addItem(QStringLiteral("%1 lines a minute").arg(lpm));
    Aspect = new QSpinBox(this);
    Aspect->setObjectName(QStringLiteral("FaxAspect"));
    Aspect->setRange(1, 6);
    Aspect->setSuffix(QStringLiteral(" of 6"));
    Aspect->setToolTip(QStringLiteral("Rows kept of every six (ASPECT)"));
    form->addRow(QStringLiteral("&Speed (FSPEED):"), Speed);
    form->addRow(QStringLiteral("&Rows kept (ASPECT):"), Aspect);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TFaxSettingsForm::Set(const FaxSettings& settings) {
    Speed->setCurrentIndex(settings.speed);
    Aspect->setValue(settings.aspect);
}

FaxSettings TFaxSettingsForm::Chosen() const {
    FaxSettings s;
    s.speed = Speed->currentIndex();
    s.aspect = Aspect->value();
    return s;
}
