// The Escape key asked during a long operation where the platform cannot
// tell its state (the offscreen platform here): the waiting events go
// through a shield that notes an Escape press and lets no other input, no
// close and no timer through; keys and the close come afterwards.
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include "shell/KeyState.h"

namespace {
void PostKey(QWidget* to, QEvent::Type type, int key, const QString& text = QString()) {
    QCoreApplication::postEvent(to, new QKeyEvent(type, key, Qt::NoModifier, text));
}
} // namespace

class EscapeKeyTest : public QObject {
    Q_OBJECT
private slots:
    void offscreenHasNoKeyboardState();
    void pressIsSeenOnceAndTheRestWaits();
    void heldKeyStaysDownUntilReleased();
};

void EscapeKeyTest::offscreenHasNoKeyboardState() {
    QVERIFY(!KeyState::AskX11EscapeDown().has_value());
    QVERIFY(!KeyState::AskEscapeDown());
}

void EscapeKeyTest::pressIsSeenOnceAndTheRestWaits() {
    QLineEdit edit;
    edit.show();
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(0);
    QVERIFY(!KeyState::AskEscapeDown()); // forget anything from before

    PostKey(&edit, QEvent::KeyPress, Qt::Key_A, "a");
    PostKey(&edit, QEvent::KeyPress, Qt::Key_Escape);
    PostKey(&edit, QEvent::KeyRelease, Qt::Key_Escape);
    QCoreApplication::postEvent(&edit, new QMouseEvent(QEvent::MouseButtonPress, QPointF(2, 2),
                                                       QPointF(2, 2), Qt::LeftButton,
                                                       Qt::LeftButton, Qt::NoModifier));
    // The close request comes as the window system sends it, to the window.
    QCoreApplication::postEvent(edit.windowHandle(), new QCloseEvent);
    // Pressed and released between two questions: still seen, once.
    QVERIFY(KeyState::AskEscapeDown());
    QVERIFY(!KeyState::AskEscapeDown());
    QCOMPARE(edit.text(), QString());
    QVERIFY(edit.isVisible());
    QCOMPARE(ticks, 0);

    // Without the shield everything goes through again, the key typed and
    // the close request held back first, in their order (the click is gone).
    PostKey(&edit, QEvent::KeyPress, Qt::Key_B, "b");
    QCoreApplication::processEvents();
    QCOMPARE(edit.text(), QString("ab"));
    QVERIFY(!edit.isVisible());
    QVERIFY(ticks > 0);
}

void EscapeKeyTest::heldKeyStaysDownUntilReleased() {
    QLineEdit edit;
    edit.show();
    KeyState::AskEscapeDown();
    PostKey(&edit, QEvent::KeyPress, Qt::Key_Escape);
    QVERIFY(KeyState::AskEscapeDown());
    QVERIFY(KeyState::AskEscapeDown()); // still held
    PostKey(&edit, QEvent::KeyRelease, Qt::Key_Escape);
    QVERIFY(!KeyState::AskEscapeDown());
}

QTEST_MAIN(EscapeKeyTest)
#include "tst_escapekey.moc"
