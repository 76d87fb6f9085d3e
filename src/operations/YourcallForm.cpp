#include "operations/YourcallForm.h"

#include <QLabel>
#include <QPushButton>

#include "operations/CallEdit.h"

TYourcallForm::TYourcallForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("YourcallForm"));
    setWindowTitle(QStringLiteral("Dervalo"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(233, 112);
    setModal(true);

    Label1 = new QLabel(QStringLiteral("YourCall"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 16, 80, 24);
    CallInput = new TCallEdit(this);
    CallInput->setObjectName(QStringLiteral("CallInput"));
    CallInput->setGeometry(96, 16, 121, 24);
    Label1->setBuddy(CallInput);

    OkKnop = new QPushButton(QStringLiteral("OK"), this);
    OkKnop->setObjectName(QStringLiteral("OkKnop"));
    OkKnop->setGeometry(16, 64, 89, 28);
    OkKnop->setDefault(true);
    CancelKnop = new QPushButton(QStringLiteral("Cancel"), this);
    CancelKnop->setObjectName(QStringLiteral("CancelKnop"));
    CancelKnop->setGeometry(128, 64, 89, 28);
    connect(OkKnop, &QPushButton::clicked, this, &TYourcallForm::OkKnopClick);
    connect(CancelKnop, &QPushButton::clicked, this, &TYourcallForm::CancelKnopClick);
}

void TYourcallForm::FormActivate(const QString& MyCall) {
    CallInput->setText(TCallEdit::Capitals(MyCall));
    CallInput->setFocus();
}

void TYourcallForm::OkKnopClick() {
    EnteredCall = CallInput->text();
    accept();
}

void TYourcallForm::CancelKnopClick() {
    QDialog::reject();
}

void TYourcallForm::reject() {
    CancelKnopClick();
}

void TYourcallForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CallInput->setFocus();
}
