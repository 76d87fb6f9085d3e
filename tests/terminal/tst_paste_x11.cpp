// Pasting and dropping into the text windows on a real window system: with
// the clipboard the program empties on every click into the transmit window,
// and with text on it. The program lives on, only what the keyboard path
// sends goes out, and nothing enters the transmit window or the hidden focus
// holder that did not come through the keyboard path.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QtTest>
#include <memory>

#include "FormFixture.h"
#include "LinkScript.h"

using namespace LinkScript;

namespace {

THoofdForm& StartConnected(FormFixture& f) {
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Start();
    form.activateWindow();
    [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(&form);
    Connect(f, false, true);
    form.StopTimers();
    return form;
}

// Every way of pasting into one text window.
void PasteEveryWay(QWidget* window, QWidget* clickTarget) {
    QTest::keyClick(window, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::mouseClick(clickTarget, Qt::MiddleButton);
}

// A drag of some text over the window, dropped there: true when taken.
bool Drop(QWidget* target) {
    auto data = std::make_unique<QMimeData>();
    data->setText(QStringLiteral("dropped"));
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return enter.isAccepted() || drop.isAccepted();
}

bool PasteOffered(QPlainTextEdit* window) {
    std::unique_ptr<QMenu> menu(window->createStandardContextMenu());
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String("edit-paste")) return a->isEnabled();
    return false;
}

} // namespace

class PasteTest : public QObject {
    Q_OBJECT
private slots:
    void pasteWithAnEmptyClipboard();
    void pasteAndDropWithText();
};

void PasteTest::pasteWithAnEmptyClipboard() {
    QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
    FormFixture f;
    THoofdForm& form = StartConnected(f);
    QApplication::clipboard()->setText(QStringLiteral("old"), QClipboard::Selection);
    // A click into the transmit window empties the clipboard.
    QTest::mouseClick(form.ZendWindow->viewport(), Qt::LeftButton);
    QApplication::clipboard()->clear(QClipboard::Selection);
    QTRY_VERIFY(!QApplication::clipboard()->mimeData() ||
                QApplication::clipboard()->mimeData()->formats().isEmpty());
    f.serial.ClearWritten();
    form.ReceiveWindow->clear(); // the link's event line
    const QString typed = form.ZendWindow->toPlainText();

    PasteEveryWay(form.ZendWindow, form.ZendWindow->viewport());
    PasteEveryWay(form.ReceiveWindow, form.ReceiveWindow->viewport());
    PasteEveryWay(form.Temp, form.Temp);
    form.ZendWindow->paste();
    form.ReceiveWindow->paste();
    QCoreApplication::processEvents();

    // Ctrl+V in the transmit window is the control key 22, noted there.
    QCOMPARE(f.Written(), QByteArray("\x01 \x16\x17"));
    QCOMPARE(form.ZendWindow->toPlainText(), typed + "\nCTRL-V");
    QVERIFY2(form.ReceiveWindow->toPlainText().isEmpty(), qPrintable(form.ReceiveWindow->toPlainText()));
    QVERIFY(form.Temp->text().isEmpty());
    QVERIFY(form.isVisible());
}

void PasteTest::pasteAndDropWithText() {
    FormFixture f;
    THoofdForm& form = StartConnected(f);
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setText(QStringLiteral("de PA0ABC\r\nk"));
    clipboard->setText(QStringLiteral("sel"), QClipboard::Selection);
    QTRY_COMPARE(clipboard->text(), QString("de PA0ABC\r\nk"));
    f.serial.ClearWritten();
    form.ReceiveWindow->clear(); // the link's event line
    const QString typed = form.ZendWindow->toPlainText();

    // The transmit window takes no pasted or dropped text and does not offer
    // to paste; Ctrl+V stays the control key.
    QVERIFY(!PasteOffered(form.ZendWindow));
    PasteEveryWay(form.ZendWindow, form.ZendWindow->viewport());
    form.ZendWindow->paste();
    QVERIFY(!Drop(form.ZendWindow->viewport()));
    QCOMPARE(form.ZendWindow->toPlainText(), typed + "\nCTRL-V");
    QCOMPARE(f.Written(), QByteArray("\x01 \x16\x17"));

    // The hidden focus holder takes nothing at all.
    PasteEveryWay(form.Temp, form.Temp);
    QVERIFY(!Drop(form.Temp));
    QVERIFY(form.Temp->text().isEmpty());

    // The receive window takes pasted text, as plain text; nothing dropped.
    QVERIFY(PasteOffered(form.ReceiveWindow));
    QVERIFY(!Drop(form.ReceiveWindow->viewport()));
    QVERIFY2(form.ReceiveWindow->toPlainText().isEmpty(), qPrintable(form.ReceiveWindow->toPlainText()));
    QTest::keyClick(form.ReceiveWindow, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(form.ReceiveWindow->toPlainText(), QString("de PA0ABC\nk"));
    QCOMPARE(f.Written(), QByteArray("\x01 \x16\x17"));
}

QTEST_MAIN(PasteTest)
#include "tst_paste_x11.moc"
