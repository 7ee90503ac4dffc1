#include "KeyString.h"

#include <QtTest>

Q_DECLARE_METATYPE(QList<KeyStroke>)

namespace {
KeyStroke ch(const QString &c, Qt::KeyboardModifiers m = {})
{
    return KeyStroke{m, Qt::Key_unknown, c};
}
KeyStroke key(Qt::Key k, Qt::KeyboardModifiers m = {})
{
    return KeyStroke{m, k, {}};
}
} // namespace

// The key strings sent to the dialer, read into the key presses a person would make.
class TestKeyString : public QObject
{
    Q_OBJECT

private slots:
    void keyStringsBecomeKeyPresses_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QList<KeyStroke>>("strokes");
        const auto alt = Qt::AltModifier;
        const auto shift = Qt::ShiftModifier;
        const auto ctrl = Qt::ControlModifier;
        QTest::newRow("Alt+N for the number field") << "%N" << QList<KeyStroke>{ch("N", alt)};
        QTest::newRow("plain text") << "a1 " << QList<KeyStroke>{ch("a"), ch("1"), ch(" ")};
        QTest::newRow("modifier holds for one key only") << "+ab" << QList<KeyStroke>{ch("a", shift), ch("b")};
        QTest::newRow("modifiers combine") << "^+s" << QList<KeyStroke>{ch("s", ctrl | shift)};
        QTest::newRow("group holds the modifier")
            << "+(ab)c" << QList<KeyStroke>{ch("a", shift), ch("b", shift), ch("c")};
        QTest::newRow("nested groups") << "^(a%(b)c)"
                                       << QList<KeyStroke>{ch("a", ctrl), ch("b", ctrl | alt), ch("c", ctrl)};
        QTest::newRow("group without modifier just groups")
            << "(555) 1" << QList<KeyStroke>{ch("5"), ch("5"), ch("5"), ch(" "), ch("1")};
        QTest::newRow("tilde is Enter") << "x~" << QList<KeyStroke>{ch("x"), key(Qt::Key_Return)};
        QTest::newRow("named keys in any case")
            << "{ENTER}{tab}{BS}{Del}{F5}{PGDN}"
            << QList<KeyStroke>{key(Qt::Key_Return), key(Qt::Key_Tab), key(Qt::Key_Backspace),
                                key(Qt::Key_Delete), key(Qt::Key_F5), key(Qt::Key_PageDown)};
        QTest::newRow("repeat count") << "{LEFT 3}" << QList<KeyStroke>{key(Qt::Key_Left), key(Qt::Key_Left),
                                                                         key(Qt::Key_Left)};
        QTest::newRow("modifier on a named key") << "%{F4}" << QList<KeyStroke>{key(Qt::Key_F4, alt)};
        QTest::newRow("quoted specials")
            << "{+}{^}{%}{~}{(}{)}{{}{}}"
            << QList<KeyStroke>{ch("+"), ch("^"), ch("%"), ch("~"), ch("("), ch(")"), ch("{"), ch("}")};
        QTest::newRow("quoted character repeated") << "{x 2}" << QList<KeyStroke>{ch("x"), ch("x")};
        QTest::newRow("non-Latin character") << QStringLiteral("é€") << QList<KeyStroke>{ch("é"), ch("€")};
        QTest::newRow("empty") << "" << QList<KeyStroke>{};
    }
    void keyStringsBecomeKeyPresses()
    {
        QFETCH(QString, keys);
        QFETCH(QList<KeyStroke>, strokes);
        const KeyStringParse parsed = KeyStringParser::parse(keys);
        QVERIFY2(parsed.ok, qPrintable(parsed.error));
        QCOMPARE(parsed.strokes.size(), strokes.size());
        for (int i = 0; i < strokes.size(); ++i) {
            QCOMPARE(parsed.strokes.at(i).text, strokes.at(i).text);
            QCOMPARE(parsed.strokes.at(i).key, strokes.at(i).key);
            QCOMPARE(parsed.strokes.at(i).modifiers, strokes.at(i).modifiers);
        }
    }

    void malformedStringsTypeNothing_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::newRow("unclosed group") << "+(ab";
        QTest::newRow("stray closing parenthesis") << "ab)";
        QTest::newRow("unclosed brace") << "{ENTER";
        QTest::newRow("empty braces") << "{}";
        QTest::newRow("stray closing brace") << "a}";
        QTest::newRow("unknown key name") << "{LAUNCH}";
        QTest::newRow("modifier at the end") << "abc%";
        QTest::newRow("modifier before closing parenthesis") << "(a+)";
    }
    void malformedStringsTypeNothing()
    {
        QFETCH(QString, keys);
        const KeyStringParse parsed = KeyStringParser::parse(keys);
        QVERIFY(!parsed.ok);
        QVERIFY(!parsed.error.isEmpty());
        QVERIFY(parsed.strokes.isEmpty());
    }

    void literalTextIsTypedAsWritten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("international number") << "+44 (20) 7946-0000";
        QTest::newRow("every special") << "+^%~(){}[]";
        QTest::newRow("plain") << "555 1234";
    }
    void literalTextIsTypedAsWritten()
    {
        QFETCH(QString, text);
        const KeyStringParse parsed = KeyStringParser::parse(KeyStringParser::literal(text));
        QVERIFY2(parsed.ok, qPrintable(parsed.error));
        QString typed;
        for (const KeyStroke &s : parsed.strokes) {
            QCOMPARE(s.modifiers, Qt::KeyboardModifiers());
            typed += s.text;
        }
        QCOMPARE(typed, text);
    }
};

QTEST_GUILESS_MAIN(TestKeyString)
#include "tst_keystring.moc"
