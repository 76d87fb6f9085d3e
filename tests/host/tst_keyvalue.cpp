// Key events as key values, whatever the keyboard layout.
#include <QtTest>

#include "host/KeyValue.h"

using KeyValue::Typed;
Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

class KeyValueTest : public QObject {
    Q_OBJECT
private slots:
    void keyPresses_data();
    void keyPresses();
    void committedText();
    void keyTables();
    void readBackKey();
};

void KeyValueTest::keyPresses_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("mods");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind"); // 0 none, 1 keys, 2 refused
    QTest::addColumn<QByteArray>("keys");
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers pad = Qt::KeypadModifier;
    QTest::newRow("a") << int(Qt::Key_A) << none << "a" << 1 << QByteArray("a");
    QTest::newRow("shift A") << int(Qt::Key_A) << Qt::KeyboardModifiers(Qt::ShiftModifier) << "A"
                             << 1 << QByteArray("A");
    QTest::newRow("Return") << int(Qt::Key_Return) << none << "\r" << 1 << QByteArray("\r");
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << pad << "\r" << 1 << QByteArray("\r");
    // A platform that reports no text, or a line feed, for Enter still
    // gives 13.
    QTest::newRow("Enter without text")
        << int(Qt::Key_Enter) << none << "" << 1 << QByteArray("\r");
    QTest::newRow("shift Return") << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ShiftModifier)
                                  << "\n"
                                  << 1 << QByteArray("\r");
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << "\b" << 1 << QByteArray("\b");
    QTest::newRow("Tab") << int(Qt::Key_Tab) << none << "\t" << 1 << QByteArray("\t");
    QTest::newRow("Escape") << int(Qt::Key_Escape) << none << "\x1b" << 1 << QByteArray("\x1b");
    QTest::newRow("ctrl D") << int(Qt::Key_D) << ctrl << "\x04" << 1 << QByteArray("\x04");
    // Ctrl+letter by the letter's key, not by the text a platform reports.
    QTest::newRow("ctrl D, text d") << int(Qt::Key_D) << ctrl << "d" << 1 << QByteArray("\x04");
    QTest::newRow("ctrl shift Z") << int(Qt::Key_Z)
                                  << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier)
                                  << "" << 1 << QByteArray("\x1a");
    QTest::newRow("ctrl A") << int(Qt::Key_A) << ctrl << "\x01" << 1 << QByteArray("\x01");
    // A Cyrillic layout: the key is no Latin letter, the text still the
    // control character.
    QTest::newRow("ctrl on a Cyrillic key") << 0x0444 << ctrl << "\x06" << 1 << QByteArray("\x06");
    QTest::newRow("ctrl on a Cyrillic key, letter text")
        << 0x0444 << ctrl << QString(QChar(0x0444)) << 0 << QByteArray();
    QTest::newRow("ctrl 1") << int(Qt::Key_1) << ctrl << "1" << 0 << QByteArray();
    // AltGr arrives as Ctrl+Alt on some systems and types its own character.
    QTest::newRow("AltGr E") << int(Qt::Key_E)
                             << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier)
                             << QString(QChar(0x20AC)) << 1 << QByteArray("\x80");
    QTest::newRow("AltGr Q") << int(Qt::Key_Q)
                             << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier) << "@"
                             << 1 << QByteArray("@");
    QTest::newRow("keypad 5") << int(Qt::Key_5) << pad << "5" << 1 << QByteArray("5");
    QTest::newRow("e acute") << int(Qt::Key_Eacute) << none << QString(QChar(0xE9)) << 1
                             << QByteArray("\xE9");
    QTest::newRow("y diaeresis capital")
        << int(Qt::Key_Y) << none << QString(QChar(0x0178)) << 1 << QByteArray("\x9F");
    QTest::newRow("Cyrillic letter")
        << 0x0436 << none << QString(QChar(0x0436)) << 2 << QByteArray();
    QTest::newRow("o double acute")
        << 0x0151 << none << QString(QChar(0x0151)) << 2 << QByteArray();
    QTest::newRow("emoji") << 0 << none << QString::fromUtf8("\xF0\x9F\x98\x80") << 2
                           << QByteArray();
    QTest::newRow("zero width joiner") << 0 << none << QString(QChar(0x200D)) << 2 << QByteArray();
    QTest::newRow("dead acute") << int(Qt::Key_Dead_Acute) << none << "" << 0 << QByteArray();
    QTest::newRow("Delete with DEL text")
        << int(Qt::Key_Delete) << none << "\x7f" << 0 << QByteArray();
    QTest::newRow("Left") << int(Qt::Key_Left) << none << "" << 0 << QByteArray();
    QTest::newRow("Backtab") << int(Qt::Key_Backtab) << Qt::KeyboardModifiers(Qt::ShiftModifier)
                             << "" << 0 << QByteArray();
    QTest::newRow("two characters at once")
        << int(Qt::Key_A) << none << "ab" << 1 << QByteArray("ab");
}

void KeyValueTest::keyPresses() {
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, mods);
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(QByteArray, keys);
    const Typed t = KeyValue::FromKeyPress(key, mods, text);
    QCOMPARE(int(t.kind), kind);
    QCOMPARE(t.keys, keys);
}

void KeyValueTest::committedText() {
    Typed t = KeyValue::FromCommittedText(QString(QChar(0xFC)) + QChar(0xE7));
    QCOMPARE(int(t.kind), int(Typed::Kind::Keys));
    QCOMPARE(t.keys, QByteArray("\xFC\xE7"));
    // One character without a byte refuses the whole commit.
    t = KeyValue::FromCommittedText(QString("a") + QChar(0x0151));
    QCOMPARE(int(t.kind), int(Typed::Kind::Refused));
    QVERIFY(t.keys.isEmpty());
    t = KeyValue::FromCommittedText(QString());
    QCOMPARE(int(t.kind), int(Typed::Kind::None));
}

void KeyValueTest::keyTables() {
    const QList<int> control = {2, 3, 4, 6, 17, 19, 21, 22, 25, 26};
    for (int k = 0; k < 256; ++k) {
        QCOMPARE(KeyValue::IsControlKey(quint8(k)), control.contains(k));
        QCOMPARE(KeyValue::IsTextKey(quint8(k)), (k >= 8 && k <= 13) || k >= 32);
    }
}

void KeyValueTest::readBackKey() {
    QVERIFY(KeyValue::IsReadBackKey(Qt::Key_PageUp, Qt::ControlModifier));
    QVERIFY(KeyValue::IsReadBackKey(Qt::Key_PageUp, Qt::ControlModifier | Qt::KeypadModifier));
    QVERIFY(!KeyValue::IsReadBackKey(Qt::Key_PageUp, Qt::ControlModifier | Qt::ShiftModifier));
    QVERIFY(!KeyValue::IsReadBackKey(Qt::Key_PageUp, Qt::ControlModifier | Qt::AltModifier));
    QVERIFY(!KeyValue::IsReadBackKey(Qt::Key_PageUp, Qt::NoModifier));
    QVERIFY(!KeyValue::IsReadBackKey(Qt::Key_PageDown, Qt::ControlModifier));
}

QTEST_MAIN(KeyValueTest)
#include "tst_keyvalue.moc"
