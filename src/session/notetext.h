#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QDebug;

// A note's plain text as a value that takes an edit in time independent of the note's length
// and copies in constant time. It is a list of pieces, each a range of a string that never
// changes once a piece holds it: a loaded file stays one string however it is edited around,
// and typing rebuilds only the few thousand characters next to the caret. Copies share the
// strings, so a copy can be read on another thread while this one is edited.
class NoteText
{
public:
    NoteText() = default;
    // Shares text; nothing is copied.
    NoteText(const QString &text);

    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }

    // As QString::replace: nothing happens for a position beyond the end, and removed is cut
    // to what follows position.
    void replace(qsizetype position, qsizetype removed, const QString &added);

    QString toString() const;
    QString mid(qsizetype position, qsizetype length) const;
    QByteArray toUtf8() const;

    // True when nothing but whitespace and newlines is left, as Whitespace::isBlank; asks each
    // piece, which knows its first other character from when it was made.
    bool isBlank() const;

    // One span, from position, where before had removed characters and after has added ones,
    // outside which the two agree. Found by walking the pieces: shared ranges are skipped
    // whole and only short pieces are compared character by character, so the span can come
    // out larger than the real difference, never smaller.
    struct Change
    {
        qsizetype position = 0;
        qsizetype removed = 0;
        qsizetype added = 0;
    };
    static Change changeBetween(const NoteText &before, const NoteText &after);

    friend bool operator==(const NoteText &a, const NoteText &b);
    friend bool operator==(const NoteText &a, const QString &b);

private:
    struct Piece
    {
        QString buffer;
        qsizetype offset = 0;
        qsizetype length = 0;
        // Relative to offset; -1 when the piece holds only whitespace.
        qsizetype firstNonBlank = -1;

        QStringView view() const { return QStringView(buffer).sliced(offset, length); }
    };

    // A short stretch of pieces: a copy of the text shares the runs, and an edit copies only
    // the run it touches, so neither grows with the number of pieces.
    using Run = QList<Piece>;

    static Piece pieceOf(QString buffer, qsizetype offset, qsizetype length);
    // The index of the piece that starts at position, splitting the one that spans it.
    static qsizetype splitAt(Run &pieces, qsizetype position);
    // Puts added at index, merged with short neighbours into one short string.
    static void insertAt(Run &pieces, qsizetype index, const QString &added);
    QList<const Piece *> pieces() const;
    bool equals(QStringView other) const;

    QList<Run> m_runs;
    QList<qsizetype> m_runSizes;
    qsizetype m_size = 0;
};

QDebug operator<<(QDebug debug, const NoteText &text);
