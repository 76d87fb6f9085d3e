#pragma once

#include <QDialog>

class QPushButton;
class THoofdForm;
class TClickLabel;
class TInfoMemo;
class TLogEdit;

// The new-entry window "LogBook", opened by picking a word in the receive
// window. A click on a field's label or box drops the picked word into it;
// Save appends the entry to the logbook. Made once at start and only hidden
// between uses, so the boxes keep their texts.
class TLogBookInvulForm : public QDialog {
    Q_OBJECT
public:
    explicit TLogBookInvulForm(THoofdForm& form);

    TClickLabel *CallLabel, *NameLabel, *QthLabel, *DateLabel, *TimeLabel, *InfoLabel;
    TLogEdit *CallEdit, *NameEdit, *QthEdit, *DateEdit, *TimeEdit;
    TInfoMemo* InfoMemo;
    QPushButton *LogInvulSaveKnop, *CancelKnop, *CloseKnop;

    // Date (when still empty) and time of now into their boxes.
    void DatumEnTyd();
    // The picked word, in capitals and cut to 8, as the call.
    void CallEditDblClick();
    // The picked word as the name or the QTH.
    void NameEditDblClick();
    void QthEditDblClick();
    // Appends the entry as a new record and closes the window.
    void LogInvulSaveKnopClick();

private:
    THoofdForm& form_;
};
