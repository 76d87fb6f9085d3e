// The byte/character table: every byte round-trips, the Windows characters
// of 0x80 to 0x9F, the five unassigned bytes, characters without a byte.
#include <QtTest>

#include "host/CharTable.h"

class CharTableTest : public QObject {
    Q_OBJECT
private slots:
    void everyByteRoundTrips();
    void windowsCharacters();
    void charactersWithoutByte();
};

void CharTableTest::everyByteRoundTrips() {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = CharTable::ToString(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(CharTable::ToBytes(text), all);
    QVERIFY(CharTable::AllHaveBytes(text));
    QSet<QChar> distinct(text.begin(), text.end());
    QCOMPARE(distinct.size(), 256);
}

void CharTableTest::windowsCharacters() {
    QCOMPARE(CharTable::ToChar(0x80), QChar(0x20AC));
    QCOMPARE(CharTable::ToChar(0x93), QChar(0x201C));
    QCOMPARE(CharTable::ToChar(0x9F), QChar(0x0178));
    QCOMPARE(CharTable::ToChar(0xE9), QChar(0x00E9));
    for (quint8 unassigned : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        QCOMPARE(CharTable::ToChar(unassigned), QChar(char16_t(unassigned)));
    QCOMPARE(CharTable::ToByte(QChar(0x20AC)), std::optional<quint8>(0x80));
    QCOMPARE(CharTable::ToByte(QChar(0x2014)), std::optional<quint8>(0x97));
}

void CharTableTest::charactersWithoutByte() {
    // Latin-1 control characters that Windows-1252 replaced, and others.
    QVERIFY(!CharTable::ToByte(QChar(0x0080)).has_value());
    QVERIFY(!CharTable::ToByte(QChar(0x0093)).has_value());
    QVERIFY(!CharTable::ToByte(QChar(0x0416)).has_value()); // Cyrillic
    QVERIFY(!CharTable::AllHaveBytes(QStringLiteral("ab\u0416")));
    QCOMPARE(CharTable::ToBytes(QStringLiteral("a\u0416b")), QByteArray("a?b"));
    QCOMPARE(CharTable::ToBytes(QStringLiteral("a\u0416b"), '_'), QByteArray("a_b"));
}

QTEST_APPLESS_MAIN(CharTableTest)
#include "tst_chartable.moc"
