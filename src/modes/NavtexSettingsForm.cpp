#include "modes/NavtexSettingsForm.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TNavtexSettingsForm::TNavtexSettingsForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("NavtexSettingsForm"));
    setWindowTitle(QStringLiteral("NAVTEX stations and classes"));
    setModal(true);
    Stations = new QLineEdit(this);
    Stations->setObjectName(QStringLiteral("NavStations"));
    Classes = new QLineEdit(this);
    Classes->setObjectName(QStringLiteral("NavClasses"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Stations (NAVSTN):"), Stations);
    form->addRow(QStringLiteral("Message classes (NAVMSG):"), Classes);
    auto* note = new QLabel(
        QStringLiteral("ALL, NONE, or YES or NO followed by up to 13 letters, e.g. \"YES PST\".\n"
                       "Classes A, B and D cannot be excluded: navigational warnings,\n"
                       "meteorological warnings and search and rescue always come through."),
        this);
    OkKnop = new QPushButton(QStringLiteral("OK"), this);
    OkKnop->setDefault(true);
    CancelKnop = new QPushButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkKnop);
    buttons->addWidget(CancelKnop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addLayout(buttons);
    connect(OkKnop, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelKnop, &QPushButton::clicked, this, &QDialog::reject);
}

void TNavtexSettingsForm::FormActivate(const QString& stations, const QString& classes) {
    Stations->setText(stations);
    Classes->setText(classes);
    Stations->setFocus();
}
