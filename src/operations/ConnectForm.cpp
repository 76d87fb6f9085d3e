#include "operations/ConnectForm.h"

#include <QLabel>
#include <QPushButton>

#include "operations/CallEdit.h"

TConnectForm::TConnectForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ConnectForm"));
    setWindowTitle(QStringLiteral("Dervalo"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(233, 112);
    setModal(true);

    Label1 = new QLabel(QStringLiteral("Connect To:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 16, 80, 24);
    InputCall = new TCallEdit(this);
    InputCall->setObjectName(QStringLiteral("InputCall"));
    InputCall->setGeometry(96, 16, 121, 24);
    Label1->setBuddy(InputCall);

    ConnectOkKnop = new QPushButton(QStringLiteral("OK"), this);
    ConnectOkKnop->setObjectName(QStringLiteral("ConnectOkKnop"));
    ConnectOkKnop->setGeometry(16, 64, 89, 28);
    ConnectOkKnop->setDefault(true);
    CancelKnop = new QPushButton(QStringLiteral("Cancel"), this);
    CancelKnop->setObjectName(QStringLiteral("CancelKnop"));
    CancelKnop->setGeometry(128, 64, 89, 28);
    connect(ConnectOkKnop, &QPushButton::clicked, this, &TConnectForm::ConnectOkKnopClick);
    connect(CancelKnop, &QPushButton::clicked, this, &TConnectForm::CancelKnopClick);
}

void TConnectForm::FormActivate(const QString& ModeName, bool IsConnected) {
    const bool giveOnly =
        ModeName == QLatin1String("RTTY") || (ModeName == QLatin1String("AMTOR") && IsConnected);
    Label1->setText(giveOnly ? QStringLiteral("Give Call") : QStringLiteral("Connect To:"));
    InputCall->setFocus();
}

void TConnectForm::ConnectOkKnopClick() {
    EnteredCall = InputCall->text();
    accept();
}

void TConnectForm::CancelKnopClick() {
    EnteredCall.clear();
    QDialog::reject();
}

void TConnectForm::reject() {
    CancelKnopClick();
}

void TConnectForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    InputCall->setFocus();
}
