#pragma once

#include <QDate>
#include <QDialog>
#include <QTime>

#include "logbook/Adif.h"

class QComboBox;
class QLabel;
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
    // Without a rig the band is chosen here (the last one is remembered).
    QLabel* BandLabel;
    QComboBox* BandBox;

    // A new word has been picked: the next click on a field or its label
    // takes it, later clicks only place the caret.
    void NewPick() { pickPending_ = true; }

    // Date (when still empty) and time of now into their boxes.
    void DatumEnTyd();
    // The picked word, in capitals and cut to 8, as the call.
    void CallEditDblClick();
    // The picked word as the name or the QTH.
    void NameEditDblClick();
    void QthEditDblClick();
    // Appends the entry as a new record and closes the window.
    void LogInvulSaveKnopClick();

    // The journal of contacts in ADIF, next to the logbook.
    static const QString kJournalName;

private:
    // The saved entry as an ADIF contact: the texts of the record buffer, the
    // date and time the boxes hold, the mode the program is in, the own call.
    Adif::Contact EntryContact() const;
    // Appends the record to the journal; a failure is reported once a run.
    void AppendToJournal(const QByteArray& record);

    THoofdForm& form_;
    // The date and time DatumEnTyd put into the boxes, with their texts: as
    // long as the boxes hold these texts, the journal takes this instant.
    QDate takenDate_;
    QTime takenTime_;
    QString takenDateText_, takenTimeText_;
    bool journalFailureShown_ = false;
    bool pickPending_ = false;
    // The rig's frequency when the date and time were taken (0: none).
    qint64 takenHz_ = 0;
    // Takes the pending pick, once.
    bool TakePick();
    // The call just put in: its worked-before line, and Name and QTH filled
    // from the last contact when they are empty.
    void CallEntered(const QString& call);

protected:
    void showEvent(QShowEvent* event) override;
};
