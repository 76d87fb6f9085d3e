#pragma once

#include <QDialog>
#include <QQueue>
#include <QStringList>
#include <functional>

#include "shell/Prompts.h"

// Prompts for tests: every call is logged as one line of text, and answers
// come from queues the test fills beforehand (with sensible defaults when a
// queue is empty). Nothing ever shows a real window.
class ScriptedPrompts : public Prompts {
public:
    // "box|<caption>|<text>", "confirm|<caption>|<text>", "input|<caption>|<prompt>",
    // "open|<title>", "save|<title>", "font|effects" or "font|plain", "color",
    // "modal|<objectName>", "beep", "start|<program>", "open-document|<path>".
    QStringList log;

    QQueue<Answer> boxAnswers;                     // default Ok
    QQueue<bool> confirmAnswers;                   // default true
    QQueue<std::optional<QString>> inputAnswers;   // default nullopt
    QQueue<QString> fileAnswers;                   // default "" (cancelled)
    QQueue<std::optional<FontChoice>> fontAnswers; // default nullopt
    QQueue<std::optional<QColor>> colorAnswers;    // default nullopt
    // Called with the dialog instead of showing it; returns the result code.
    // Default: QDialog::Rejected.
    QQueue<std::function<int(QDialog&)>> modalActions;
    bool escape = false;
    // When set, answers every question of the Escape key instead of
    // `escape` (it may look at the program's state at that moment).
    std::function<bool()> escapeScript;
    int escapeQuestions = 0;
    // When set, runs while a message box is up (as the event loop of a real
    // box would run the program meanwhile).
    std::function<void()> whileBox;
    bool startResult = true;
    bool openDocumentResult = true;

    // Lines of the log that start with `prefix`.
    QStringList Calls(const QString& prefix) const;
    // The message boxes shown, as "<caption>|<text>".
    QStringList Boxes() const;

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
    bool EscapeDown() override {
        ++escapeQuestions;
        return escapeScript ? escapeScript() : escape;
    }
    void Beep() override { log << QStringLiteral("beep"); }
    bool StartProgram(const QString& program, const QStringList& arguments) override;
    bool OpenDocument(const QString& path) override;
};
