#include "autosave/whitespace.h"
#include "testmain.h"

class tst_Whitespace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void trimsExactlyTheListedCharacters_data();
    void trimsExactlyTheListedCharacters();
};

void tst_Whitespace::trimsExactlyTheListedCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("spaces, tab and line breaks") << u"  \t\nword \r\n"_qs << u"word"_qs;
    QTest::newRow("vertical tab, form feed, NEL") << u"\x0b\x0c\u0085a\u0085"_qs << u"a"_qs;
    QTest::newRow("no-break and ideographic space") << u"\u00a0\u3000a\u2003"_qs << u"a"_qs;
    QTest::newRow("line and paragraph separators") << u"\u2028a\u2029"_qs << u"a"_qs;
    QTest::newRow("inner blanks are kept") << u" a  b\nc "_qs << u"a  b\nc"_qs;
    QTest::newRow("zero-width space is not blank") << u"\u200ba\u200b"_qs << u"\u200ba\u200b"_qs;
    QTest::newRow("BOM is not blank") << u"\ufeff"_qs << u"\ufeff"_qs;
    QTest::newRow("only blanks") << u" \n\t\u00a0"_qs << QString();
}

void tst_Whitespace::trimsExactlyTheListedCharacters()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(Whitespace::trimmed(text), expected);
    QCOMPARE(Whitespace::isBlank(text), expected.isEmpty());
}

WISPEN_TEST_MAIN(tst_Whitespace)
#include "tst_whitespace.moc"
