#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class TCallEdit;

// The call dialog: the other station's call, to call it or, in RTTY and
// during an AMTOR link, only to make it known. Made once at start; the box
// keeps the text of its last use.
class TConnectForm : public QDialog {
    Q_OBJECT
public:
    explicit TConnectForm(QWidget* parent = nullptr);

    QString EnteredCall; // the box's text after OK, empty after Cancel

    QLabel* Label1;
    TCallEdit* InputCall;
    QPushButton* ConnectOkKnop;
    QPushButton* CancelKnop;

    // On activation: "Give Call" when the call is only made known,
    // otherwise "Connect To:".
    void FormActivate(const QString& ModeName, bool IsConnected);
    void ConnectOkKnopClick();
    void CancelKnopClick();

    // The close box and Escape count as Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
};
