#include "operations/ListConnectForm.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "shell/FileLookup.h"
#include "shell/Prompts.h"

TListConnectForm::TListConnectForm(const QString& folder, Prompts& prompts, QWidget* parent)
    : QDialog(parent), folder_(folder), prompts_(prompts) {
    setObjectName(QStringLiteral("ListConnectForm"));
    setWindowTitle(QStringLiteral("Dervalo"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(233, 250);
    setModal(true);

    Label1 = new QLabel(QStringLiteral("Connect To:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 8, 120, 24);
    Inputcalls = new QListWidget(this);
    Inputcalls->setObjectName(QStringLiteral("Inputcalls"));
    Inputcalls->setGeometry(16, 36, 201, 160);
    Inputcalls->setSelectionMode(QAbstractItemView::SingleSelection);
    Label1->setBuddy(Inputcalls);

    OkKnop = new QPushButton(QStringLiteral("OK"), this);
    OkKnop->setObjectName(QStringLiteral("OkKnop"));
    OkKnop->setGeometry(16, 208, 89, 28);
    OkKnop->setDefault(true);
    CancelKnop = new QPushButton(QStringLiteral("Cancel"), this);
    CancelKnop->setObjectName(QStringLiteral("CancelKnop"));
    CancelKnop->setGeometry(128, 208, 89, 28);
    connect(OkKnop, &QPushButton::clicked, this, &TListConnectForm::OkKnopClick);
    connect(CancelKnop, &QPushButton::clicked, this, &TListConnectForm::CancelKnopClick);
    connect(Inputcalls, &QListWidget::itemDoubleClicked, this, &TListConnectForm::OkKnopClick);
}

void TListConnectForm::FormShow() {
    Inputcalls->clear();
    LoadCallList();
    for (int n = 1; n <= Calls.Count(); ++n)
        Inputcalls->addItem(Calls.Entry(n));
    // No line is current, so none is drawn as if chosen: the first Down
    // picks the first call, and OK without a pick calls with no call. Set
    // here, the list box no longer makes its first line current when it
    // takes the focus.
    Inputcalls->setCurrentIndex(QModelIndex());
}

void TListConnectForm::LoadCallList() {
    if (!FileExistsNoCase(folder_, kFileName)) {
        prompts_.MessageBox(QStringLiteral("Dervalo.Cal not found on disk"),
                            QStringLiteral("Warning"), Prompts::Buttons::Ok);
        return;
    }
    Calls.Clear();
    QFile file(FindFileNoCase(folder_, kFileName));
    if (!OpenToRead(file)) return;
    Calls.Read(file);
}

void TListConnectForm::OkKnopClick() {
    // With no line selected this is entry 0, which is always empty.
    const QListWidgetItem* current = Inputcalls->currentItem();
    const int line = current && current->isSelected() ? Inputcalls->currentRow() : -1;
    ChosenCall = Calls.Call(line + 1);
    Confirmed = true;
    accept();
}

void TListConnectForm::CancelKnopClick() {
    Confirmed = false;
    QDialog::reject();
}

void TListConnectForm::reject() {
    CancelKnopClick();
}
