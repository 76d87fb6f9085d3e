#pragma once

#include <QDialog>
#include <QString>

#include "operations/CallList.h"

class QLabel;
class QListWidget;
class QPushButton;
class Prompts;

// The list call dialog: the calls of "Dervalo.cal" to pick from. Made once
// at start; the call chosen at the last OK stays its result.
class TListConnectForm : public QDialog {
    Q_OBJECT
public:
    static inline const QString kFileName = QStringLiteral("Dervalo.cal");

    // The call-list file is looked up in `folder`.
    TListConnectForm(const QString& folder, Prompts& prompts, QWidget* parent = nullptr);

    QString ChosenCall;     // the first 8 characters of the entry chosen at OK
    bool Confirmed = false; // OK (or a double click) closed the dialog

    QLabel* Label1;
    QListWidget* Inputcalls;
    QPushButton* OkKnop;
    QPushButton* CancelKnop;

    // CallList and CallListCount.
    CallList Calls;

    // On show: the list box is filled afresh from the file.
    void FormShow();
    // Reads the call-list file into Calls. Without the file the previous
    // calls stay, and a box says so; a file that cannot be read gives an
    // empty list.
    void LoadCallList();
    void OkKnopClick();
    void CancelKnopClick();

    // The close box and Escape count as Cancel.
    void reject() override;

private:
    QString folder_;
    Prompts& prompts_;
};
