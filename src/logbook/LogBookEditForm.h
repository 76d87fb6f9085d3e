#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class THoofdForm;
class TInfoMemo;
class TLogEdit;

// The editor "Edit LogBook": browses the logbook record by record, changes a
// record in place and deletes one, moving the later records up so the
// numbers stay dense from 0. Every change reaches the file at once.
class TLogBookEditForm : public QDialog {
    Q_OBJECT
public:
    explicit TLogBookEditForm(THoofdForm& form);

    QLabel *RecordLabel, *CallLabel, *NameLabel, *QthLabel, *DateLabel, *TimeLabel, *InfoLabel;
    TLogEdit *Recordnummer, *CallEdit, *NameEdit, *QthEdit, *DateEdit, *TimeEdit;
    TInfoMemo* InfoMemo;
    QPushButton *LogEditSaveKnop, *LogEditVorigeKnop, *LogEditNextKnop, *CloseKnop, *DeleteKnop;

    // The record slot being filled while a deletion moves records.
    qint32 DeleteIndex = 0;

    static constexpr int kInfoShown = 30;

    // On showing: the last record.
    void FormShow();
    // The record buffer into the boxes, and its number into the record box.
    void ShowRecord();
    // A number typed into (or put into) the record box selects that record.
    void RecordnummerChange();
    void LogEditVorigeKnopClick();
    void LogEditNextKnopClick();
    // The boxes back into the record shown.
    void LogEditSaveKnopClick();
    // Deletes the record shown; no question asked.
    void DeleteKnopClick();
    void CloseKnopClick();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // After a failed deletion: the record now at the position shown, or the
    // last one; the editor closes when none is left.
    void ShowWhatTheFileHolds();

    THoofdForm& form_;
};
