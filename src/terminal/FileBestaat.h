#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

// The file-exists question: overwrite the file, append to it, or leave it.
// Made once at start; the caller prepares the two explanation lines, the No
// button and the caption, shows it and reads FileExistsAnswer.
class TFileBestaatForm : public QDialog {
    Q_OBJECT
public:
    enum Answer { None = 0, Yes = 1, No = 2, Cancel = 3 };

    explicit TFileBestaatForm(QWidget* parent = nullptr);

    // Sets the lines, the No button and the caption, and the answer back to
    // None, so that closing the window without a button leaves None.
    void Prepare(const QString& caption, const QString& line1, const QString& line2,
                 bool appendOffered);

    // None, Yes, No or Cancel; None counts as Cancel everywhere.
    int FileExistsAnswer = None;

    QLabel* Heading;
    QLabel* Label1;
    QLabel* Label2;
    QPushButton* YesKnop;
    QPushButton* NoKnop;
    QPushButton* CancelKnop;

    void YesKnopClick();
    void NoKnopClick();
    void CancelKnopClick();
};
