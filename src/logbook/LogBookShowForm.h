#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class THoofdForm;

// The viewer "LogBook  Dervalo  ": the logbook one record per line in fixed
// columns, whole or only the records of one call. Read only. The main
// window's layout keeps its width.
class TLogBookShowForm : public QDialog {
    Q_OBJECT
public:
    explicit TLogBookShowForm(THoofdForm& form);

    QWidget* HeaderClip;
    QLabel* Panel1;
    QPlainTextEdit* Logmemo;
    QPushButton *CloseKnop, *SeekKnop, *LogShowAllKnop, *ExportKnop;

    static const QString kHeader;
    static const QString kEndLine;

    // Each time the window is shown: placed and filled with the whole
    // logbook. (It is modal, so it becomes active again only after message
    // windows of its own, and each operation that shows one lists the
    // logbook itself afterwards.)
    void FormActivate();
    // Lists every record, then the end line.
    void ShowLogBook();
    // Asks for a call and lists the records whose call begins with it.
    void SeekKnopClick();
    void LogShowAllKnopClick();
    // "Export ADIF…": asks for a file and writes every record to it in ADIF.
    void ExportKnopClick();
    void CloseKnopClick();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void PlaceControls();
    void SetList(const QString& text);
    THoofdForm& form_;
};
