#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class TCallEdit;

// The own-call dialog. Made once at start; the entered call is its result
// and the box keeps its text between showings.
class TYourcallForm : public QDialog {
    Q_OBJECT
public:
    explicit TYourcallForm(QWidget* parent = nullptr);

    QString EnteredCall; // set by OK

    QLabel* Label1;
    TCallEdit* CallInput;
    QPushButton* OkKnop;
    QPushButton* CancelKnop;

    // On activation: the own call as last entered goes into the box, which
    // takes the focus.
    void FormActivate(const QString& MyCall);
    void OkKnopClick();
    void CancelKnopClick();

    // The close box and Escape count as Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
};
