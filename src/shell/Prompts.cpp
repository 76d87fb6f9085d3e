#include "shell/Prompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

#include "shell/KeyState.h"

Prompts::Answer QtPrompts::MessageBox(const QString& text, const QString& caption,
                                      Buttons buttons) {
    QMessageBox box(parent_);
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
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                    parent_);
    return box.exec() == QMessageBox::Ok;
}

std::optional<QString> QtPrompts::InputBox(const QString& caption, const QString& prompt,
                                           const QString& initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent_, caption, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok) return std::nullopt;
    return text;
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
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent_, QString(),
                                            effects ? QFontDialog::FontDialogOptions()
                                                    : QFontDialog::FontDialogOptions());
    if (!ok) return std::nullopt;
    FontChoice choice{font, color};
    if (effects) {
        // The font dialog here has no colour part: the text colour is asked
        // for right after, and cancelling that keeps the colour as it was.
        const QColor chosen = QColorDialog::getColor(color, parent_, QStringLiteral("Font colour"));
        if (chosen.isValid()) choice.color = chosen;
    }
    return choice;
}

std::optional<QColor> QtPrompts::ChooseColor(const QColor& initial) {
    const QColor c = QColorDialog::getColor(initial, parent_);
    if (!c.isValid()) return std::nullopt;
    return c;
}

int QtPrompts::ShowModal(QDialog& dialog) {
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
