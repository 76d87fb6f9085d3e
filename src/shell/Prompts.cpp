#include "shell/Prompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QUrl>

#include "shell/KeyState.h"

QPoint CentredTopLeft(const QRect& available, const QSize& frame) {
    const int x = available.left() + (available.width() - frame.width()) / 2;
    const int y = available.top() + (available.height() - frame.height()) / 2;
    return {qMax(available.left(), x), qMax(available.top(), y)};
}

void CentreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    // Before a window is on the screen its frame is not known yet; then its
    // own size stands for it.
    const QSize outer = window.frameGeometry().size().expandedTo(window.size());
    window.move(CentredTopLeft(screen->availableGeometry(), outer));
}

namespace {
// Centres its window when the window is shown. The Show event comes once
// the window's size is settled and before it is mapped, so the window opens
// where it belongs; a dialog that has been moved is not placed over its
// parent by the toolkit afterwards.
class Centring : public QObject {
public:
    static constexpr const char* kName = "centring";
    explicit Centring(QWidget& window) : QObject(&window) {
        setObjectName(QLatin1String(kName));
        window.installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched == parent())
            CentreOnScreen(*static_cast<QWidget*>(watched));
        return false;
    }
};

// A message box that stands centred on the screen. Its size is only settled
// inside its own show handling, so it centres itself right after that.
class CentredMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        CentreOnScreen(*this);
    }
};
} // namespace

void CentreWhenShown(QWidget& window) {
    if (!window.findChild<QObject*>(QLatin1String(Centring::kName), Qt::FindDirectChildrenOnly))
        new Centring(window);
}

Prompts::Answer QtPrompts::MessageBox(const QString& text, const QString& caption,
                                      Buttons buttons) {
    CentredMessageBox box(parent_);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setIcon(QMessageBox::NoIcon);
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

bool QtPrompts::Confirm(const QString& text, const QString& caption) {
    CentredMessageBox box(QMessageBox::Question, caption, text,
                          QMessageBox::Ok | QMessageBox::Cancel, parent_);
    return box.exec() == QMessageBox::Ok;
}

std::optional<QString> QtPrompts::InputBox(const QString& caption, const QString& prompt,
                                           const QString& initial) {
    QInputDialog dialog(parent_);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    CentreWhenShown(dialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue();
}

QString QtPrompts::OpenFileName(const QString& title, const QString& directory,
                                const QString& filter) {
    return QFileDialog::getOpenFileName(parent_, title, directory, filter);
}

QString QtPrompts::SaveFileName(const QString& title, const QString& initialPath,
                                const QString& filter) {
    return QFileDialog::getSaveFileName(parent_, title, initialPath, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

std::optional<Prompts::FontChoice> QtPrompts::ChooseFont(const QFont& initial, const QColor& color,
                                                         bool effects) {
    QFontDialog dialog(initial, parent_);
    // The toolkit's own dialog, so that its parts can be left out.
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    if (!effects) {
        // Without its effects part: no underline or strike-out to choose.
        for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
            box->setChecked(false);
            box->hide();
            if (QWidget* group = box->parentWidget(); group && group != &dialog) group->hide();
        }
    }
    CentreWhenShown(dialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    FontChoice choice{dialog.selectedFont(), color};
    if (!effects) {
        choice.font.setUnderline(false);
        choice.font.setStrikeOut(false);
    }
    if (effects) {
        // The font dialog here has no colour part: the text colour is asked
        // for right after, and cancelling that keeps the colour as it was.
        if (const auto chosen = ChooseColorTitled(color, QStringLiteral("Font colour")))
            choice.color = *chosen;
    }
    return choice;
}

std::optional<QColor> QtPrompts::ChooseColor(const QColor& initial) {
    return ChooseColorTitled(initial, QString());
}

std::optional<QColor> QtPrompts::ChooseColorTitled(const QColor& initial, const QString& title) {
    QColorDialog dialog(initial, parent_);
    if (!title.isEmpty()) dialog.setWindowTitle(title);
    CentreWhenShown(dialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QColor c = dialog.selectedColor();
    if (!c.isValid()) return std::nullopt;
    return c;
}

int QtPrompts::ShowModal(QDialog& dialog) {
    // Every dialog of the program opens centred on the screen.
    CentreWhenShown(dialog);
    return dialog.exec();
}

bool QtPrompts::EscapeDown() {
    return KeyState::AskEscapeDown();
}

void QtPrompts::Beep() {
    QApplication::beep();
}

bool QtPrompts::StartProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

bool QtPrompts::OpenDocument(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
