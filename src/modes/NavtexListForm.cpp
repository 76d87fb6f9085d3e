#include "modes/NavtexListForm.h"

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "host/CharTable.h"

TNavtexListForm::TNavtexListForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("NavtexListForm"));
    setWindowTitle(QStringLiteral("NAVTEX messages"));
    resize(640, 320);
    List = new QTreeWidget(this);
    List->setObjectName(QStringLiteral("NavtexList"));
    List->setRootIsDecorated(false);
    List->setHeaderLabels({QStringLiteral("Received (UTC)"), QStringLiteral("Station"),
                           QStringLiteral("Class"), QStringLiteral("Serial"),
                           QStringLiteral("First line")});
    List->header()->setStretchLastSection(true);
    const int widths[] = {130, 60, 50, 50};
    for (int column = 0; column < 4; ++column)
        List->setColumnWidth(column, widths[column]);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List);
    connect(List, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { OpenMessage(List->indexOfTopLevelItem(item)); });
}

void TNavtexListForm::Fill(const QList<NavtexMessage>& messages) {
    List->clear();
    messages_.clear();
    for (const NavtexMessage& m : messages)
        Add(m);
}

void TNavtexListForm::Add(const NavtexMessage& m) {
    messages_.append(m);
    auto* item = new QTreeWidgetItem(
        {m.receivedUtc.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm")), QString(m.station),
         QString(m.messageClass), m.serial, m.firstLine});
    List->addTopLevelItem(item);
    List->scrollToItem(item);
}

void TNavtexListForm::OpenMessage(int row) {
    if (row < 0 || row >= messages_.size()) return;
    const NavtexMessage& m = messages_.at(row);
    TextWindow = new QDialog(this);
    TextWindow->setAttribute(Qt::WA_DeleteOnClose);
    TextWindow->setWindowTitle(QStringLiteral("NAVTEX %1").arg(m.id));
    TextWindow->resize(560, 400);
    TextView = new QPlainTextEdit(TextWindow);
    TextView->setReadOnly(true);
    QString text = CharTable::ToString(m.text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    TextView->setPlainText(text);
    auto* layout = new QVBoxLayout(TextWindow);
    layout->addWidget(TextView);
    TextWindow->show();
}
