#pragma once

#include <QLineEdit>

// The one-line edit box of the call dialogs: letters are forced to capitals
// as they are typed, pasted or set, and characters that have no byte in the
// program's character table are refused, since the call goes to the
// controller byte for byte.
class TCallEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TCallEdit(QWidget* parent = nullptr);
    // Capitals of a text, one character for one (a letter without a single
    // capital stays as it is).
    static QString Capitals(const QString& text);
};
