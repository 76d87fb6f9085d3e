#include "ScriptedPrompts.h"
#include <utility>

QStringList ScriptedPrompts::Calls(const QString& prefix) const {
    QStringList out;
    for (const QString& l : log)
        if (l.startsWith(prefix)) out << l;
    return out;
}

QStringList ScriptedPrompts::Boxes() const {
    QStringList out;
    for (const QString& l : log)
        if (l.startsWith(QLatin1String("box|"))) out << l.mid(4);
    return out;
}

Prompts::Answer ScriptedPrompts::MessageBox(const QString& text, const QString& caption, Buttons) {
    log << QStringLiteral("box|%1|%2").arg(caption, text);
    if (whileBox) std::exchange(whileBox, nullptr)();
    return boxAnswers.isEmpty() ? Answer::Ok : boxAnswers.dequeue();
}

bool ScriptedPrompts::Confirm(const QString& text, const QString& caption) {
    log << QStringLiteral("confirm|%1|%2").arg(caption, text);
    return confirmAnswers.isEmpty() ? true : confirmAnswers.dequeue();
}

std::optional<QString> ScriptedPrompts::InputBox(const QString& caption, const QString& prompt,
                                                 const QString&) {
    log << QStringLiteral("input|%1|%2").arg(caption, prompt);
    return inputAnswers.isEmpty() ? std::nullopt : inputAnswers.dequeue();
}

QString ScriptedPrompts::OpenFileName(const QString& title, const QString&, const QString&) {
    log << QStringLiteral("open|%1").arg(title);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

QString ScriptedPrompts::SaveFileName(const QString& title, const QString&, const QString&) {
    log << QStringLiteral("save|%1").arg(title);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

std::optional<Prompts::FontChoice> ScriptedPrompts::ChooseFont(const QFont&, const QColor&,
                                                               bool effects) {
    log << (effects ? QStringLiteral("font|effects") : QStringLiteral("font|plain"));
    return fontAnswers.isEmpty() ? std::nullopt : fontAnswers.dequeue();
}

std::optional<QColor> ScriptedPrompts::ChooseColor(const QColor&) {
    log << QStringLiteral("color");
    return colorAnswers.isEmpty() ? std::nullopt : colorAnswers.dequeue();
}

int ScriptedPrompts::ShowModal(QDialog& dialog) {
    log << QStringLiteral("modal|%1").arg(dialog.objectName());
    if (modalActions.isEmpty()) return QDialog::Rejected;
    return modalActions.dequeue()(dialog);
}

bool ScriptedPrompts::StartProgram(const QString& program, const QStringList&) {
    log << QStringLiteral("start|%1").arg(program);
    return startResult;
}

bool ScriptedPrompts::OpenDocument(const QString& path) {
    log << QStringLiteral("open-document|%1").arg(path);
    return openDocumentResult;
}
