// The real boxes and dialogs behind the prompts: their captions as the
// window system shows them, where they open, and the plain font dialog.
#include <QCheckBox>
#include <QDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include "link/ComBaudConfig.h"
#include "shell/DervaloApplication.h"
#include "shell/Prompts.h"

namespace {

// The caption the window system puts on a window. Where the application has
// a display name of its own, the platform adds " — " and that name to every
// caption that does not already end with it.
QString ShownCaption(QWidget& window) {
    const QString title =
        window.windowHandle() ? window.windowHandle()->title() : window.windowTitle();
    // A display name that was set stays when the application name changes;
    // one that was not follows it.
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("probe-name"));
    const bool ownDisplayName = QGuiApplication::applicationDisplayName() != "probe-name";
    const QString display = QGuiApplication::applicationDisplayName();
    QCoreApplication::setApplicationName(name);
    if (!ownDisplayName || title.endsWith(display)) return title;
    return title + QString::fromUtf8(" \xE2\x80\x94 ") + display;
}

bool Centred(QWidget& window) {
    const QRect screen = window.screen()->availableGeometry();
    const QPoint offset = window.frameGeometry().center() - screen.center();
    return qAbs(offset.x()) <= 2 && qAbs(offset.y()) <= 2;
}

// Runs `look` on the modal window as soon as it shows, then closes it.
void WhenModalShows(const std::function<void(QWidget&)>& look) {
    QTimer::singleShot(0, [look] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        look(*modal);
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            box->button(QMessageBox::Ok)->click();
        else if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->accept();
    });
}

} // namespace

class PromptsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { DervaloApplication::SetTitle(); }
    void boxesCarryExactlyTheirCaptions_data();
    void boxesCarryExactlyTheirCaptions();
    void confirmationCaption();
    void dialogsOpenCentred();
    void plainFontDialogHasNoEffects();
};

void PromptsTest::boxesCarryExactlyTheirCaptions_data() {
    QTest::addColumn<QString>("caption");
    QTest::newRow("warning of the main window") << "Dervalo    Warning";
    QTest::newRow("warning of the serial layer") << "Warning";
    QTest::newRow("program name") << "Dervalo";
}

void PromptsTest::boxesCarryExactlyTheirCaptions() {
    QFETCH(QString, caption);
    QCOMPARE(QCoreApplication::applicationName(), QString("Dervalo"));
    QtPrompts prompts;
    QString shown;
    bool centred = false;
    WhenModalShows([&](QWidget& box) {
        shown = ShownCaption(box);
        centred = Centred(box);
    });
    prompts.MessageBox("Port Error", caption, Prompts::Buttons::OkCancel);
    QCOMPARE(shown, caption);
    QVERIFY(centred);
}

void PromptsTest::confirmationCaption() {
    QtPrompts prompts;
    QString shown;
    QString text;
    WhenModalShows([&](QWidget& box) {
        shown = ShownCaption(box);
        text = static_cast<QMessageBox&>(box).text();
    });
    QVERIFY(prompts.Confirm("Close Dervalo?", "Dervalo"));
    QCOMPARE(shown, QString("Dervalo"));
    QCOMPARE(text, QString("Close Dervalo?"));
}

void PromptsTest::dialogsOpenCentred() {
    // The program's own dialogs open centred on the screen, not over the
    // main window, every time they are shown.
    QWidget owner;
    owner.setGeometry(10, 10, 300, 200);
    owner.show();
    QtPrompts prompts(&owner);
    TComBaudConfig dialog("COM2", 9600, &owner);
    for (int time = 0; time < 2; ++time) {
        bool centred = false;
        WhenModalShows([&](QWidget& shown) {
            QCOMPARE(&shown, static_cast<QWidget*>(&dialog));
            centred = Centred(shown);
        });
        QCOMPARE(prompts.ShowModal(dialog), int(QDialog::Accepted));
        QVERIFY(centred);
        dialog.move(0, 0);
    }
}

void PromptsTest::plainFontDialogHasNoEffects() {
    QtPrompts prompts;
    QFont initial("DejaVu Sans", 12);
    initial.setUnderline(true);
    initial.setStrikeOut(true);
    int effectBoxesShown = -1;
    bool centred = false;
    WhenModalShows([&](QWidget& dialog) {
        QVERIFY(qobject_cast<QFontDialog*>(&dialog));
        effectBoxesShown = 0;
        for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
            if (box->isVisibleTo(&dialog)) ++effectBoxesShown;
        centred = Centred(dialog);
    });
    const auto choice = prompts.ChooseFont(initial, Qt::black, false);
    QVERIFY(choice);
    QCOMPARE(effectBoxesShown, 0);
    QVERIFY(centred);
    QVERIFY(!choice->font.underline());
    QVERIFY(!choice->font.strikeOut());
    QCOMPARE(choice->font.pointSize(), 12);
}

QTEST_MAIN(PromptsTest)
#include "tst_prompts.moc"
