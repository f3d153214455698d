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
    QTest::addColumn<QString>("trimmed");
    QTest::addColumn<QString>("trimmedOfNewlines");

    QTest::newRow("empty") << QString() << QString() << QString();
    QTest::newRow("tab, spaces and line breaks")
        << u"\t\n word \r\n"_qs << u"word"_qs << u"\t\n word "_qs;
    QTest::newRow("vertical tab, form feed, NEL")
        << u"\x0b\x0c\u0085a\u0085"_qs << u"a"_qs << u"a"_qs;
    QTest::newRow("no-break and ideographic spaces are no newlines")
        << u"\u00a0\u3000a\u2003"_qs << u"a"_qs << u"\u00a0\u3000a\u2003"_qs;
    QTest::newRow("line and paragraph separators") << u"\u2028a\u2029"_qs << u"a"_qs << u"a"_qs;
    QTest::newRow("inner blanks are kept") << u" a  b\nc "_qs << u"a  b\nc"_qs << u" a  b\nc "_qs;
    QTest::newRow("neighbours of the listed controls are kept")
        << u"\x08\x0e\u0084\u0086"_qs << u"\x08\x0e\u0084\u0086"_qs << u"\x08\x0e\u0084\u0086"_qs;
    QTest::newRow("zero-width space and BOM are not blank")
        << u"\u200b\ufeff"_qs << u"\u200b\ufeff"_qs << u"\u200b\ufeff"_qs;
    QTest::newRow("only blanks") << u" \n\t\u00a0"_qs << QString() << u" \n\t\u00a0"_qs;
}

void tst_Whitespace::trimsExactlyTheListedCharacters()
{
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    QFETCH(QString, trimmedOfNewlines);
    QCOMPARE(Whitespace::trimmed(text), trimmed);
    QCOMPARE(Whitespace::isBlank(text), trimmed.isEmpty());
    QCOMPARE(Whitespace::trimmedOfNewlines(text), trimmedOfNewlines);
}

WISPEN_TEST_MAIN(tst_Whitespace)
#include "tst_whitespace.moc"
