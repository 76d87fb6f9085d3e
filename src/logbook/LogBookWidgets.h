#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <functional>

// Small widgets the logbook windows share.

// The Info box: several lines may stand in it (pasted), but Enter makes no
// new line, nothing is wrapped, and with a limit set it never holds more
// characters than that: a typed character that would not fit is refused,
// longer text put in is cut at the limit.
class TInfoMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TInfoMemo(QWidget* parent = nullptr);
    // 0: no limit.
    void SetMaxLength(int maxLength);
    int MaxLength() const { return maxLength_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void KeepToLimit();
    int maxLength_ = 0;
    bool cutting_ = false;
};

// A field label that reports a click.
class TClickLabel : public QLabel {
    Q_OBJECT
public:
    TClickLabel(const QString& text, QWidget* parent);
    std::function<void()> OnClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A single-line box that reports a mouse click in it (after placing the
// caret), and can turn typed letters into capitals (text put in by the
// program stays as it is).
class TLogEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TLogEdit(QWidget* parent);
    std::function<void()> OnClick;
    void SetTypedCapitals(bool on) { typedCapitals_ = on; }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool typedCapitals_ = false;
};
