#pragma once

#include <QString>
#include <vector>

// How one line break is written in a note. Qt's document turns each of these into the same
// paragraph break: LF, CR LF and CR, and the characters it reserves for itself.
enum class LineEnding : quint8 {
    LF,
    CRLF,
    CR,
    ParagraphSeparator,
    NonCharacterFDD0,
    NonCharacterFDD1
};

// The line endings of a note, one for each paragraph break of its document, in order, so that
// the note goes back out exactly as it came in, however its endings were mixed. They are kept
// as runs of one ending in a tree ordered by position: finding and replacing breaks by index
// costs time logarithmic in the number of runs, and a note whose endings are all alike is one
// run, however long it is.
class LineEndings
{
public:
    // The endings of text, one for each paragraph break the document makes of it.
    static LineEndings read(const QString &text);

    // How an ending is written in the note.
    static QStringView text(LineEnding ending);

    qsizetype count() const;
    // The ending of the break at index.
    LineEnding at(qsizetype index) const;
    // The ending new breaks take: the most common of LF, CR LF and CR in the text that was
    // read, LF when it had none; the reserved characters never end a new line.
    LineEnding newEnding() const { return m_newEnding; }

    // How many characters the breaks before index take in the note beyond the one each takes
    // in the document: one for each CR LF.
    qsizetype extraLengthBefore(qsizetype index) const;
    qsizetype extraLength() const;

    // Replaces removed breaks from index first on by added new ones, which end in newEnding().
    void replace(qsizetype first, qsizetype removed, qsizetype added);
    // Gives the break at index another ending.
    void set(qsizetype index, LineEnding ending);

    // Text as the document holds it, whose paragraph breaks are these from index first on,
    // written as the note has it.
    QString written(QString documentText, qsizetype first = 0) const;

private:
    static constexpr int noNode = -1;

    // A run of breaks that end alike, and the sums over its subtree.
    struct Node
    {
        LineEnding ending = LineEnding::LF;
        qsizetype length = 0;
        quint32 priority = 0;
        int left = noNode;
        int right = noNode;
        qsizetype breaks = 0;
        qsizetype crlfs = 0;
    };

    int newNode(LineEnding ending, qsizetype length);
    void release(int node);
    void update(int node);
    qsizetype breaksIn(int node) const { return node == noNode ? 0 : m_nodes[node].breaks; }
    qsizetype crlfsIn(int node) const { return node == noNode ? 0 : m_nodes[node].crlfs; }

    std::pair<int, int> split(int node, qsizetype index);
    int merge(int left, int right);
    int join(int left, int right);
    int firstNode(int node) const;
    int lastNode(int node) const;
    int withoutFirst(int node);
    void lengthenLast(int node, qsizetype by);
    void replaceRun(qsizetype first, qsizetype removed, LineEnding ending, qsizetype added);

    std::vector<Node> m_nodes;
    std::vector<int> m_unusedNodes;
    int m_root = noNode;
    // The state of the generator of node priorities: any number but zero.
    quint32 m_priorities = 2463534242u;
    LineEnding m_newEnding = LineEnding::LF;
};
