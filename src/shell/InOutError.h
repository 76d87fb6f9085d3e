#pragma once

#include <QString>
#include <stdexcept>

// The program's general input/output error report. A file operation that
// fails throws this; the event handler that started the operation is left at
// once (its later steps do not run) and the main window shows the message in
// a box, then the program runs on.
class InOutError : public std::runtime_error {
public:
    explicit InOutError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& Message() const { return message_; }

private:
    QString message_;
};
