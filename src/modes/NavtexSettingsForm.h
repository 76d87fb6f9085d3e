#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// The NAVTEX stations (NAVSTN) and message classes (NAVMSG): ALL, NONE, or
// YES or NO with up to 13 letters.
class TNavtexSettingsForm : public QDialog {
    Q_OBJECT
public:
    explicit TNavtexSettingsForm(QWidget* parent = nullptr);
    void FormActivate(const QString& stations, const QString& classes);

    QLineEdit* Stations = nullptr;
    QLineEdit* Classes = nullptr;
    QPushButton* OkKnop = nullptr;
    QPushButton* CancelKnop = nullptr;
};
