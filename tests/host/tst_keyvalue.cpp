// Key events as key values, whatever the keyboard layout.
#include <QtTest>

#include "host/KeyValue.h"

Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

class KeyValueTest : public QObject {
    Q_OBJECT
private slots:
    void keyPresses_data();
    void keyPresses();
};

void KeyValueTest::keyPresses_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("mods");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind"); // 0 none, 1 keys, 2 refused
    QTest::addColumn<QByteArray>("keys");
    const Qt::KeyboardModifiers none = Qt::NoModifier, ctrl = Qt::ControlModifier,
                                altGr = Qt::ControlModifier | Qt::AltModifier;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier)
                                  << "" << 1 << QByteArray("\r");
    QTest::newRow("shift Return, LF text")
        << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ShiftModifier) << "\n"
        << 1 << QByteArray("\r");
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << "\b" << 1 << QByteArray("\b");
    QTest::newRow("Escape") << int(Qt::Key_Escape) << none << "\x1b" << 1 << QByteArray("\x1b");
    // Ctrl+letter by the letter's key, whatever text the platform reports.
    QTest::newRow("ctrl D, text d") << int(Qt::Key_D) << ctrl << "d" << 1 << QByteArray("\x04");
    QTest::newRow("ctrl shift Z") << int(Qt::Key_Z) << (ctrl | Qt::ShiftModifier) << "" << 1
                                  << QByteArray("\x1a");
    // A Cyrillic layout: no Latin key code, the control character as text.
    QTest::newRow("ctrl, Cyrillic key") << 0x0444 << ctrl << "\x06" << 1 << QByteArray("\x06");
    QTest::newRow("ctrl 1") << int(Qt::Key_1) << ctrl << "1" << 0 << QByteArray();
    // AltGr comes as Ctrl+Alt on some systems and types its own character.
    QTest::newRow("AltGr E") << int(Qt::Key_E) << altGr << QString(QChar(0x20AC)) << 1
                             << QByteArray("\x80");
    // Alt without Ctrl never types; AltGr as a modifier of its own does.
    const Qt::KeyboardModifiers alt = Qt::AltModifier;
    QTest::newRow("Alt Q") << int(Qt::Key_Q) << alt << "q" << 2 << QByteArray();
    QTest::newRow("Alt Shift Q") << int(Qt::Key_Q) << (alt | Qt::ShiftModifier) << "Q" << 2
                                 << QByteArray();
    QTest::newRow("Alt Return") << int(Qt::Key_Return) << alt << "\r" << 2 << QByteArray();
    QTest::newRow("AltGr Q, own modifier")
        << int(Qt::Key_At) << Qt::KeyboardModifiers(Qt::GroupSwitchModifier) << "@" << 1
        << QByteArray("@");
    QTest::newRow("Y diaeresis") << int(Qt::Key_Y) << none << QString(QChar(0x0178)) << 1
                                 << QByteArray("\x9F");
    QTest::newRow("Cyrillic letter")
        << 0x0436 << none << QString(QChar(0x0436)) << 2 << QByteArray();
    QTest::newRow("emoji") << 0 << none << QString::fromUtf8("\xF0\x9F\x98\x80") << 2
                           << QByteArray();
    QTest::newRow("zero width joiner") << 0 << none << QString(QChar(0x200D)) << 2 << QByteArray();
    QTest::newRow("dead key") << int(Qt::Key_Dead_Acute) << none << "" << 0 << QByteArray();
    QTest::newRow("Delete, DEL text") << int(Qt::Key_Delete) << none << "\x7f" << 0 << QByteArray();
    QTest::newRow("Backtab") << int(Qt::Key_Backtab) << Qt::KeyboardModifiers(Qt::ShiftModifier)
                             << "" << 0 << QByteArray();
    QTest::newRow("two characters") << int(Qt::Key_A) << none << "ab" << 1 << QByteArray("ab");
}

void KeyValueTest::keyPresses() {
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, mods);
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(QByteArray, keys);
    const KeyValue::Typed t = KeyValue::FromKeyPress(key, mods, text);
    QCOMPARE(int(t.kind), kind);
    QCOMPARE(t.keys, keys);
}

QTEST_MAIN(KeyValueTest)
#include "tst_keyvalue.moc"
