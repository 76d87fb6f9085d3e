#include "terminal/FileBestaat.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TFileBestaatForm::TFileBestaatForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("FileBestaatForm"));
    setWindowTitle(QStringLiteral("Dervalo"));
    setModal(true);

    Heading = new QLabel(QStringLiteral("This File  found on Disk ! OverWrite this File ?"), this);
    Heading->setObjectName(QStringLiteral("Heading"));
    Label1 = new QLabel(QStringLiteral("Yes= Deleting and making NEW one."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(QStringLiteral("No = Append to this file ."), this);
    Label2->setObjectName(QStringLiteral("Label2"));

    YesKnop = new QPushButton(QStringLiteral("&Yes"), this);
    YesKnop->setObjectName(QStringLiteral("YesKnop"));
    NoKnop = new QPushButton(QStringLiteral("&No"), this);
    NoKnop->setObjectName(QStringLiteral("NoKnop"));
    CancelKnop = new QPushButton(QStringLiteral("Cancel"), this);
    CancelKnop->setObjectName(QStringLiteral("CancelKnop"));
    YesKnop->setDefault(true);
    connect(YesKnop, &QPushButton::clicked, this, &TFileBestaatForm::YesKnopClick);
    connect(NoKnop, &QPushButton::clicked, this, &TFileBestaatForm::NoKnopClick);
    connect(CancelKnop, &QPushButton::clicked, this, &TFileBestaatForm::CancelKnopClick);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(YesKnop);
    buttons->addWidget(NoKnop);
    buttons->addWidget(CancelKnop);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Heading);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    // A small window of fixed size.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFileBestaatForm::Prepare(const QString& caption, const QString& line1, const QString& line2,
                               bool appendOffered) {
    setWindowTitle(caption);
    Label1->setText(line1);
    Label2->setText(line2);
    NoKnop->setEnabled(appendOffered);
    FileExistsAnswer = None;
}

void TFileBestaatForm::YesKnopClick() {
    FileExistsAnswer = Yes;
    accept();
}

void TFileBestaatForm::NoKnopClick() {
    FileExistsAnswer = No;
    accept();
}

void TFileBestaatForm::CancelKnopClick() {
    FileExistsAnswer = Cancel;
    reject();
}
