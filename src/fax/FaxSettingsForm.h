#pragma once

#include <QDialog>

#include "fax/FaxSettings.h"

class QComboBox;
class QSpinBox;

// "Fax settings": the speed (FSPEED, in lines a minute) and the rows kept
// (ASPECT, of every six).
class TFaxSettingsForm : public QDialog {
    Q_OBJECT
public:
    explicit TFaxSettingsForm(QWidget* parent = nullptr);
    void Set(const FaxSettings& settings);
    FaxSettings Chosen() const;

    QComboBox* Speed = nullptr;
    QSpinBox* Aspect = nullptr;
};
