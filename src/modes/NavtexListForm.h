#pragma once

#include <QDialog>
#include <QList>

#include "modes/NavtexCollector.h"

class QPlainTextEdit;
class QTreeWidget;

// "NAVTEX messages": the kept messages, newest last, with the time
// received (UTC), station, class, serial and first line. A double click
// opens a message's text.
class TNavtexListForm : public QDialog {
    Q_OBJECT
public:
    explicit TNavtexListForm(QWidget* parent = nullptr);
    void Fill(const QList<NavtexMessage>& messages);
    void Add(const NavtexMessage& message);
    // Shows the text of row `row` in a window of its own.
    void OpenMessage(int row);

    QTreeWidget* List = nullptr;
    QDialog* TextWindow = nullptr; // the last text opened
    QPlainTextEdit* TextView = nullptr;

private:
    QList<NavtexMessage> messages_;
};
