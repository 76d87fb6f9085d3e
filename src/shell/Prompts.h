#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;
class QPoint;
class QRect;
class QSize;

// Where a window of outer size `frame` goes to stand centred in `available`
// (a screen's work area): its outer top-left corner. A window larger than
// the area keeps its top-left corner inside it.
QPoint CentredTopLeft(const QRect& available, const QSize& frame);
// Moves a top-level window to the centre of its screen's work area.
void CentreOnScreen(QWidget& window);
// Centres a window on its screen each time it is shown, once its size is
// known and before it is on the screen. Lives as long as the window.
void CentreWhenShown(QWidget& window);

// Every modal interaction of the program goes through one Prompts object:
// message boxes, the close confirmation, the input box, the file, font and
// colour dialogs, showing the program's own dialogs, the Escape key, the beep
// and starting external programs. Tests replace it with a scripted one, so
// no test ever waits on a real modal window.
class Prompts {
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    struct FontChoice {
        QFont font;
        QColor color; // only meaningful when the effects part was shown
    };

    virtual ~Prompts() = default;

    // A message box with a caption and buttons; returns the button pressed
    // (closing the box counts as Cancel, or No where there is no Cancel).
    virtual Answer MessageBox(const QString& text, const QString& caption, Buttons buttons) = 0;
    // The confirmation box with OK and Cancel; true when OK was pressed.
    virtual bool Confirm(const QString& text, const QString& caption) = 0;
    // A one-line input box; nullopt when cancelled.
    virtual std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                            const QString& initial) = 0;
    // Open-file and save-file dialogs; an empty result means cancelled.
    virtual QString OpenFileName(const QString& title, const QString& directory,
                                 const QString& filter) = 0;
    virtual QString SaveFileName(const QString& title, const QString& initialPath,
                                 const QString& filter) = 0;
    // The font dialog. With `effects` the colour can be chosen as well.
    virtual std::optional<FontChoice> ChooseFont(const QFont& initial, const QColor& color,
                                                 bool effects) = 0;
    virtual std::optional<QColor> ChooseColor(const QColor& initial) = 0;
    // Shows one of the program's own dialogs modally; returns its result code.
    virtual int ShowModal(QDialog& dialog) = 0;
    // Whether the Escape key is held down now, asked without window events.
    virtual bool EscapeDown() = 0;
    virtual void Beep() = 0;
    // Starts an external program (detached); false when it could not start.
    virtual bool StartProgram(const QString& program, const QStringList& arguments) = 0;
    // Opens a document with the desktop's viewer; false when that failed.
    virtual bool OpenDocument(const QString& path) = 0;
};

// The real thing, with Qt's dialogs.
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    Answer MessageBox(const QString& text, const QString& caption, Buttons buttons) override;
    bool Confirm(const QString& text, const QString& caption) override;
    std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                    const QString& initial) override;
    QString OpenFileName(const QString& title, const QString& directory,
                         const QString& filter) override;
    QString SaveFileName(const QString& title, const QString& initialPath,
                         const QString& filter) override;
    std::optional<FontChoice> ChooseFont(const QFont& initial, const QColor& color,
                                         bool effects) override;
    std::optional<QColor> ChooseColor(const QColor& initial) override;
    int ShowModal(QDialog& dialog) override;
    bool EscapeDown() override;
    void Beep() override;
    bool StartProgram(const QString& program, const QStringList& arguments) override;
    bool OpenDocument(const QString& path) override;

private:
    std::optional<QColor> ChooseColorTitled(const QColor& initial, const QString& title);

    QWidget* parent_;
};
