#include "editor/checklist.h"
#include "editor/lineending.h"
#include "editordriver.h"
#include "testmain.h"

#include <QClipboard>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTextBlock>

using namespace EditorDriver;

namespace {

// Every line break of text as it is written, in order: what Qt's document makes a paragraph
// break of.
QStringList endingsOf(const QString &text)
{
    static const QRegularExpression lineBreak(u"\r\n|[\n\r\u2029\uFDD0\uFDD1]"_qs);
    QStringList endings;
    for (const QRegularExpressionMatch &match : lineBreak.globalMatch(text))
        endings << match.captured();
    return endings;
}

// What new line breaks in text end in: its most common of LF, CR LF and CR, LF on a tie.
QString commonEnding(const QString &text)
{
    const QStringList endings = endingsOf(text);
    QString common = u"\n"_qs;
    for (const QString &candidate : { u"\r\n"_qs, u"\r"_qs }) {
        if (endings.count(candidate) > endings.count(common))
            common = candidate;
    }
    return common;
}

// The seed of this run's random tests: WISPEN_SEED replays a run.
quint32 seed()
{
    static const quint32 seed = qEnvironmentVariableIsSet("WISPEN_SEED")
        ? qEnvironmentVariable("WISPEN_SEED").toUInt()
        : QRandomGenerator::global()->generate();
    return seed;
}

// A few lines of odd characters, each ended by any line break at all.
QString randomNote(QRandomGenerator &random, int lines)
{
    const QStringList endings { u"\n"_qs, u"\r\n"_qs, u"\r"_qs, u"\u2029"_qs, u"\uFDD0"_qs,
        u"\uFDD1"_qs };
    const QString characters = u"ab ☐\u00a0\u2028\t\u0000\uFFFC"_qs;
    // Most notes lean to one ending, as real files do.
    const QString favourite = endings.at(random.bounded(3));
    QString note;
    for (int line = 0; line < lines; ++line) {
        for (int i = random.bounded(6); i > 0; --i)
            note += characters.at(random.bounded(characters.size()));
        if (line + 1 < lines || random.bounded(2))
            note += random.bounded(2) ? favourite : endings.at(random.bounded(endings.size()));
    }
    return note;
}

// A paragraph break of the document whose ending is known.
struct KnownBreak
{
    int position = 0;
    QString ending;
};

} // namespace

// A note's line breaks keep their own endings, whatever they are, through loading, editing and
// reading the note back; new breaks take the note's most common ending.
class tst_LineBreaks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qInfo("seed %u; WISPEN_SEED=%u replays this run", seed(), seed()); }
    void init() { m_editor.emplace(); }
    void cleanup() { m_editor.reset(); }

    void aNoteComesBackExactlyAndNewBreaksTakeItsCommonEnding_data();
    void aNoteComesBackExactlyAndNewBreaksTakeItsCommonEnding();
    void editsNeverMakeOneCrLfOfACrAndAnLf_data();
    void editsNeverMakeOneCrLfOfACrAndAnLf();
    void theEndingsFollowRandomReplacementsOfBreaks();
    void aRandomWalkOfEditsKeepsEveryUntouchedEndingAndTheTabExact();

private:
    std::optional<ShownEditor> m_editor;
};

void tst_LineBreaks::aNoteComesBackExactlyAndNewBreaksTakeItsCommonEnding_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("newEnding");

    QTest::newRow("empty") << QString() << u"\n"_qs;
    QTest::newRow("no break") << u"first"_qs << u"\n"_qs;
    QTest::newRow("CR LF") << u"one\r\ntwo\r\n\r\nthree"_qs << u"\r\n"_qs;
    QTest::newRow("a lone CR at the end") << u"one\r"_qs << u"\r"_qs;
    QTest::newRow("a CR at the end of LF lines") << u"a\nb\nc\r"_qs << u"\n"_qs;
    QTest::newRow("only line breaks") << u"\r\n\r\n"_qs << u"\r\n"_qs;
    QTest::newRow("mostly CR LF") << u"a\r\nb\nc\r\n\r\nd"_qs << u"\r\n"_qs;
    QTest::newRow("mostly LF") << u"a\nb\r\nc\n"_qs << u"\n"_qs;
    QTest::newRow("a tie") << u"a\r\nb\n"_qs << u"\n"_qs;
    QTest::newRow("CR before CR LF, LF before CR") << u"a\r\r\nb\n\rc\r"_qs << u"\r"_qs;
    QTest::newRow("reserved characters") << u"a\u2029b\uFDD0c\uFDD1d\r\ne"_qs << u"\r\n"_qs;
    QTest::newRow("reserved characters only") << u"\u2029\uFDD0\uFDD1\u2029"_qs << u"\n"_qs;
    QTest::newRow("no-break space, line separator, tabs, trailing spaces")
        << u"a\u00a0b\u2028c\td  \n  "_qs << u"\n"_qs;
    QTest::newRow("byte-order mark and glyphs") << u"\ufeff☐ milk\r\n☑ eggs"_qs << u"\r\n"_qs;
    QTest::newRow("NUL, controls, U+FFFC, lone surrogates, non-characters")
        << u"\u0000a\u0001\u000b\u000c\u0085\u001f\u007f\ufffc\ufffe\uffff\u200e"_qs + QChar(0xd800)
            + u'x' + QChar(0xdc00) + u'\r'
        << u"\r"_qs;
}

void tst_LineBreaks::aNoteComesBackExactlyAndNewBreaksTakeItsCommonEnding()
{
    QFETCH(QString, note);
    QFETCH(QString, newEnding);
    WispenTextView view;
    QTest::keyClicks(&view, u"earlier"_qs);
    QSignalSpy changes(&view, &WispenTextView::textChanged);

    view.replaceContent(note, NoteSession::defaultAttributes());

    QCOMPARE(view.plainText(), note);
    // Putting a note in is neither an edit nor an undo step.
    QVERIFY(changes.isEmpty());
    QVERIFY(!view.document()->isUndoAvailable());
    view.moveCursor(QTextCursor::End);
    QTest::keyClicks(&view, u"next"_qs);
    QTest::keyClick(&view, Qt::Key_Return);
    QTest::keyClick(&view, Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(view.plainText(), note + u"next"_qs + newEnding + newEnding);
    QVERIFY(view.document()->isUndoAvailable());
}

void tst_LineBreaks::editsNeverMakeOneCrLfOfACrAndAnLf_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("edited");
    const auto row
        = [](const char *name, const QString &note, int anchor, int position, const QString &keys,
              const QString &edited, const QString &clipboard = QString()) {
              QTest::newRow(name) << note << anchor << position << keys << clipboard << edited;
          };

    // The break the edit brings is written CR LF.
    row("Return before an LF in a CR note", u"a\rb\nc\rd\r"_qs, 3, 3, u"Return"_qs,
        u"a\rb\r\n\nc\rd\r"_qs);
    row("Return after a CR in an LF note", u"a\nb\rc\nd\n"_qs, 4, 4, u"Return"_qs,
        u"a\nb\r\r\nc\nd\n"_qs);
    row("Return between a CR and an LF", u"a\rY\nb\n"_qs, 2, 3, u"Return"_qs, u"a\r\r\n\nb\n"_qs);
    row("paste ending in two breaks before an LF", u"a\rb\nc\r"_qs, 3, 3, u"Ctrl+V"_qs,
        u"a\rbx\r\r\n\nc\r"_qs, u"x\r\r"_qs);
    // Of two breaks that were there, the later one is.
    row("Backspace between a CR and an LF", u"a\rX\nb\n\n"_qs, 3, 3, u"Backspace"_qs,
        u"a\r\r\nb\n\n"_qs);
    row("Delete between a CR and two LFs", u"a\rX\n\nb"_qs, 2, 2, u"Delete"_qs, u"a\r\r\n\nb"_qs);
}

void tst_LineBreaks::editsNeverMakeOneCrLfOfACrAndAnLf()
{
    QFETCH(QString, note);
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(QString, keys);
    QFETCH(QString, clipboard);
    QFETCH(QString, edited);
    m_editor->session.updateActiveTabText(note);
    m_editor->session.attachTextView(m_editor->view);
    select(m_editor->view, anchor, position);
    QGuiApplication::clipboard()->setText(clipboard);

    QTest::keySequence(m_editor->view, QKeySequence(keys));

    QCOMPARE(m_editor->view->plainText(), edited);
    QCOMPARE(m_editor->session.activeTabPlainText(), edited);
}

void tst_LineBreaks::theEndingsFollowRandomReplacementsOfBreaks()
{
    QRandomGenerator random(seed());
    for (int round = 0; round < 40; ++round) {
        const QString note = randomNote(random, random.bounded(1, 40));
        LineEndings endings = LineEndings::read(note);
        QStringList expected = endingsOf(note);
        for (int step = 0; step < 40; ++step) {
            const int first = random.bounded(int(expected.size()) + 1);
            const int removed = random.bounded(int(expected.size()) - first + 1) / 2;
            const int added = random.bounded(4) ? 0 : random.bounded(5);
            endings.replace(first, removed, added);
            expected.remove(first, removed);
            for (qsizetype i = 0; i < added; ++i)
                expected.insert(first, commonEnding(note));

            const QByteArray what
                = "round " + QByteArray::number(round) + ", step " + QByteArray::number(step);
            QVERIFY2(endings.count() == expected.size(), what);
            qsizetype crlfs = 0;
            QString document = u"x"_qs, written = u"x"_qs;
            for (qsizetype i = 0; i < expected.size(); ++i) {
                QVERIFY2(endings.extraLengthBefore(i) == crlfs, what);
                QVERIFY2(LineEndings::text(endings.at(i)) == expected.at(i), what);
                crlfs += expected.at(i).size() - 1;
                document += u"\u2029x"_qs;
                written += expected.at(i) + u'x';
            }
            QVERIFY2(endings.extraLength() == crlfs, what);
            QVERIFY2(endings.written(document) == written, what);
        }
    }
}

void tst_LineBreaks::aRandomWalkOfEditsKeepsEveryUntouchedEndingAndTheTabExact()
{
    NoteSession &session = m_editor->session;
    WispenTextView *view = m_editor->view;
    QTextDocument *document = view->document();
    QRandomGenerator random(seed());
    std::vector<KnownBreak> known;
    const auto knowEveryBreak = [&](const QStringList &endings) {
        known.clear();
        for (QTextBlock block = document->firstBlock(); block != document->lastBlock();
             block = block.next())
            known.push_back(
                { block.position() + block.length() - 1, endings.at(block.blockNumber()) });
    };
    // Qt reports what each edit replaced; a break in there is a new one now.
    const QObject walk;
    connect(document, &QTextDocument::contentsChange, &walk, [&](int from, int removed, int added) {
        if (view->isApplyingFormat())
            return;
        std::erase_if(known, [&](const KnownBreak &old) {
            return old.position >= from && old.position < from + removed;
        });
        for (KnownBreak &old : known) {
            if (old.position >= from + removed)
                old.position += added - removed;
        }
    });
    // Keys, and the other ways a note changes in the editor; a format-only change keeps every
    // break as it was.
    const auto anywhere = [&] { view->placeCaret(random.bounded(document->characterCount())); };
    const auto somewhere = [&] {
        select(view, random.bounded(document->characterCount()),
            random.bounded(document->characterCount()));
    };
    QList<std::pair<QByteArray, std::function<void()>>> edits {
        { "paste",
            [&] {
                QGuiApplication::clipboard()->setText(randomNote(random, random.bounded(1, 4)));
                QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
            } },
        { "type over a selection", [&] { somewhere(), type(view, u"Z☐ \u00a0"_qs); } },
        { "insert an item", [&] { somewhere(), Checklist::insertItem(view); } },
        { "click a character",
            [&] {
                if (document->characterCount() > 1)
                    click(view,
                        pointInCharacter(
                            view, random.bounded(document->characterCount() - 1), 0.5));
            } },
        { "make bold", [&] { somewhere(), makeSelectionBold(view); } },
        { "centre", [&] { anywhere(), alignCaretParagraph(view, Qt::AlignHCenter); } },
        { "redo", [&] { view->redo(); } },
        { "delete everything", [&] { view->selectAll(), QTest::keyClick(view, Qt::Key_Delete); } },
    };
    for (const auto &[key, modifiers] : QList<std::pair<Qt::Key, Qt::KeyboardModifiers>> {
             { Qt::Key_A, {} }, { Qt::Key_Space, {} }, { Qt::Key_Return, {} },
             { Qt::Key_Return, Qt::ShiftModifier }, { Qt::Key_Backspace, {} },
             { Qt::Key_Delete, {} }, { Qt::Key_Left, {} }, { Qt::Key_Right, {} },
             { Qt::Key_Up, {} }, { Qt::Key_Down, {} }, { Qt::Key_Left, Qt::ShiftModifier },
             { Qt::Key_Right, Qt::ShiftModifier }, { Qt::Key_Up, Qt::ShiftModifier },
             { Qt::Key_Down, Qt::ShiftModifier }, { Qt::Key_Z, Qt::ControlModifier } }) {
        edits.append({ QKeySequence(QKeyCombination(modifiers, key)).toString().toUtf8(),
            [view, key, modifiers] { QTest::keyClick(view, key, modifiers); } });
    }

    for (int round = 0; round < 16; ++round) {
        const QString note = randomNote(random, random.bounded(2, 16));
        const QString newEnding = commonEnding(note);
        session.updateActiveTabText(note);
        session.attachTextView(view);
        QCOMPARE(view->plainText(), note);
        knowEveryBreak(endingsOf(note));
        anywhere();

        for (int step = 0; step < 80; ++step) {
            const auto &[name, edit] = edits.at(random.bounded(edits.size()));
            const QByteArray what = "round " + QByteArray::number(round) + ", step "
                + QByteArray::number(step) + ": " + name;
            const int readsBefore = view->wholeTextReads();
            edit();
            QCoreApplication::processEvents();
            QVERIFY2(view->wholeTextReads() == readsBefore, what);

            const QString text = view->plainText();
            QVERIFY2(session.activeTabPlainText() == text, what);
            QVERIFY2(session.cachedText() == text, what);
            const QStringList endings = endingsOf(text);
            QVERIFY2(endings.size() == document->blockCount() - 1, what);
            QStringList expected(endings.size(), newEnding);
            for (const KnownBreak &old : known)
                expected[document->findBlock(old.position).blockNumber()] = old.ending;
            // A CR and an LF that an edit brought together cannot both stay; see
            // editsNeverMakeOneCrLfOfACrAndAnLf.
            for (QTextBlock block = document->firstBlock().next(); block.isValid();
                 block = block.next()) {
                const int i = block.blockNumber();
                if (block.length() == 1 && block.next().isValid() && expected.at(i - 1) == u"\r"
                    && expected.at(i) == u"\n") {
                    expected[i - 1] = endings.at(i - 1);
                    expected[i] = endings.at(i);
                }
            }
            QVERIFY2(endings == expected, what);
            knowEveryBreak(endings);
        }
    }
}

WISPEN_TEST_MAIN(tst_LineBreaks)
#include "tst_linebreaks.moc"
