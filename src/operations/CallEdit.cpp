#include "operations/CallEdit.h"

#include <QValidator>

#include "host/CharTable.h"

namespace {
class CapitalsValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        if (!CharTable::AllHaveBytes(input)) return Invalid;
        input = TCallEdit::Capitals(input);
        return Acceptable;
    }
};
} // namespace

TCallEdit::TCallEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new CapitalsValidator(this));
}

QString TCallEdit::Capitals(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const QChar upper = c.toUpper();
        // Only where the capital is a character of the set, too.
        if (CharTable::HasByte(upper)) c = upper;
    }
    return out;
}
