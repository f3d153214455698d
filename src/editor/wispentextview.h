#pragma once

#include "session/textsurface.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextEdit>
#include <deque>
#include <functional>

class NoteEditTracker;

// The editor's text view: a rich-text QTextEdit that hands out and takes in a note's plain
// text exactly, each line break ending as it did, ticks checklist glyphs on a click, copies
// by the user's line-break preference and only ever takes plain text in.
class WispenTextView : public QTextEdit, public TextSurface
{
    Q_OBJECT

public:
    // The empty space around the text, inside the scrolled area.
    static constexpr int horizontalInset = 48;
    static constexpr int verticalInset = 40;

    explicit WispenTextView(QWidget *parent = nullptr);

    // The whole plain text, each line break ending as the note has it. Unlike toPlainText()
    // it keeps no-break spaces and U+2028 as they are. This is the one place that reads the
    // whole text.
    QString plainText() const override;
    // How often plainText() has run: the whole-text reads that typing must not cause.
    int wholeTextReads() const { return m_wholeTextReads; }

    // The selected text with each paragraph break as "\n", otherwise exactly as it stands.
    QString selectedPlainText() const;

    // Replace all content by text in one run of the given attributes; the ending of each of
    // the text's line breaks is remembered for plainText().
    void replaceContent(const QString &text, const TextAttributes &attributes) override;

    // The format and alignment the next typed characters get.
    TextAttributes typingAttributes() const;
    void setTypingAttributes(const TextAttributes &attributes) override;

    FormattingState formattingState() const override;
    void takeFocus() override;
    ViewState viewState() const override;
    void restoreViewState(const ViewState &state) override;

    // The format of the character at position (QTextCursor::charFormat() gives the one before).
    QTextCharFormat characterFormatAt(int position) const;

    // A change of the text made by the program rather than typed: one undo step, refused when
    // the view is read-only, reported through textChanged() like typing. True when made.
    bool editAsProgram(const std::function<void(QTextCursor &)> &change);

    // A change of formats only: one undo step. Qt reports it through textChanged() too, so
    // isApplyingFormat() tells listeners that the text itself stayed the same.
    void applyFormat(const std::function<void(QTextCursor &)> &change);
    bool isApplyingFormat() const { return m_isApplyingFormat; }
    // True while replaceContent() swaps the whole text.
    bool isReplacingContent() const { return m_isReplacingContent; }

    void placeCaret(int position);

    // Return or Enter without modifiers: the new-line command, which continues or ends a
    // checklist. Shift+Return breaks the line too but never touches a checklist; both insert a
    // paragraph break, where Qt's own Shift+Return would put a soft break (U+2028) in the note.
    static bool isNewlineCommand(const QKeyEvent *event);

    // Follows the document's changes as edits of the note's text.
    NoteEditTracker *editTracker() const { return m_editTracker; }

public Q_SLOTS:
    // Copy by the line-break preference: Qt's rich copy when line breaks are kept, else the
    // selection as one line of plain text. Hides QTextEdit::copy(), which ignores it.
    void copy();
    // Paste is always plain text; this is the menu's explicit form of it.
    void pasteAsPlainText();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void insertNewline();
    void applyTextInset();

    NoteEditTracker *m_editTracker = nullptr;
    bool m_isApplyingFormat = false;
    bool m_isReplacingContent = false;
    mutable int m_wholeTextReads = 0;
    // Running since the last double click, to tell a triple click from a single one.
    QElapsedTimer m_sinceDoubleClick;
    // The text shown at the top of the view for the last view states handed out. Heights of
    // paragraphs not yet laid out are estimates, which differ once a note is put in again, so
    // the scroll position is given back by what it showed rather than by its pixels.
    struct ShownTop
    {
        ViewState state;
        int position = 0;
        int offset = 0;
    };
    mutable std::deque<ShownTop> m_shownTops;
};
