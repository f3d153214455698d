#include "lineending.h"

#include <array>
#include <optional>

namespace {

// The ending that starts at index of text, if one does: exactly what QTextCursor::insertText()
// turns into a paragraph break.
std::optional<LineEnding> endingAt(const QString &text, qsizetype index)
{
    switch (text.at(index).unicode()) {
    case u'\n':
        return LineEnding::LF;
    case u'\r':
        return index + 1 < text.size() && text.at(index + 1) == u'\n' ? LineEnding::CRLF
                                                                      : LineEnding::CR;
    case u'\u2029':
        return LineEnding::ParagraphSeparator;
    case u'\uFDD0':
        return LineEnding::NonCharacterFDD0;
    case u'\uFDD1':
        return LineEnding::NonCharacterFDD1;
    default:
        return std::nullopt;
    }
}

// Text as the document holds it with every paragraph break written as ending, in place.
QString writtenAlike(QString documentText, LineEnding ending)
{
    const QStringView written = LineEndings::text(ending);
    if (ending == LineEnding::ParagraphSeparator)
        return documentText;
    if (written.size() == 1)
        return documentText.replace(QChar::ParagraphSeparator, written.front());
    return documentText.replace(QChar::ParagraphSeparator, written.toString());
}

} // namespace

LineEndings LineEndings::read(const QString &text)
{
    LineEndings endings;
    std::array<qsizetype, 3> newlineCounts {}; // LF, CR LF and CR
    LineEnding runEnding = LineEnding::LF;
    qsizetype runLength = 0;
    const auto endRun = [&] {
        if (runLength > 0)
            endings.m_root = endings.merge(endings.m_root, endings.newNode(runEnding, runLength));
        runLength = 0;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const std::optional<LineEnding> ending = endingAt(text, i);
        if (!ending)
            continue;
        if (*ending == LineEnding::CRLF)
            ++i;
        if (size_t(*ending) < newlineCounts.size())
            ++newlineCounts[size_t(*ending)];
        if (*ending != runEnding)
            endRun();
        runEnding = *ending;
        ++runLength;
    }
    endRun();
    const auto mostCommon = std::max_element(newlineCounts.cbegin(), newlineCounts.cend());
    endings.m_newEnding = LineEnding(mostCommon - newlineCounts.cbegin());
    return endings;
}

QStringView LineEndings::text(LineEnding ending)
{
    switch (ending) {
    case LineEnding::LF:
        return u"\n";
    case LineEnding::CRLF:
        return u"\r\n";
    case LineEnding::CR:
        return u"\r";
    case LineEnding::ParagraphSeparator:
        return u"\u2029";
    case LineEnding::NonCharacterFDD0:
        return u"\uFDD0";
    case LineEnding::NonCharacterFDD1:
        return u"\uFDD1";
    }
    return u"\n";
}

qsizetype LineEndings::count() const
{
    return breaksIn(m_root);
}

LineEnding LineEndings::at(qsizetype index) const
{
    int node = m_root;
    while (node != noNode) {
        const Node &run = m_nodes[node];
        const qsizetype before = breaksIn(run.left);
        if (index < before) {
            node = run.left;
        } else if (index < before + run.length) {
            return run.ending;
        } else {
            index -= before + run.length;
            node = run.right;
        }
    }
    return m_newEnding;
}

qsizetype LineEndings::extraLengthBefore(qsizetype index) const
{
    qsizetype crlfs = 0;
    int node = m_root;
    while (node != noNode && index > 0) {
        const Node &run = m_nodes[node];
        const qsizetype before = breaksIn(run.left);
        if (index <= before) {
            node = run.left;
            continue;
        }
        crlfs += crlfsIn(run.left);
        if (run.ending == LineEnding::CRLF)
            crlfs += std::min(index - before, run.length);
        index -= before + run.length;
        node = run.right;
    }
    return crlfs;
}

qsizetype LineEndings::extraLength() const
{
    return crlfsIn(m_root);
}

void LineEndings::replace(qsizetype first, qsizetype removed, qsizetype added)
{
    if (removed > 0 || added > 0)
        replaceRun(first, removed, m_newEnding, added);
}

void LineEndings::set(qsizetype index, LineEnding ending)
{
    replaceRun(index, 1, ending, 1);
}

void LineEndings::replaceRun(qsizetype first, qsizetype removed, LineEnding ending, qsizetype added)
{
    const auto [before, rest] = split(m_root, first);
    const auto [gone, after] = split(rest, removed);
    release(gone);
    const int inserted = added > 0 ? newNode(ending, added) : noNode;
    m_root = join(join(before, inserted), after);
}

QString LineEndings::written(QString documentText, qsizetype first) const
{
    // Endings all alike are written in place.
    if (m_root == noNode || m_nodes[m_root].length == count())
        return writtenAlike(
            std::move(documentText), m_root == noNode ? m_newEnding : m_nodes[m_root].ending);
    QString note;
    note.reserve(documentText.size() + extraLength());
    qsizetype from = 0;
    for (qsizetype index = first;; ++index) {
        const qsizetype end = documentText.indexOf(QChar::ParagraphSeparator, from);
        if (end < 0)
            break;
        note += QStringView(documentText).sliced(from, end - from);
        note += text(at(index));
        from = end + 1;
    }
    note += QStringView(documentText).sliced(from);
    return note;
}

int LineEndings::newNode(LineEnding ending, qsizetype length)
{
    // A xorshift generator: the tree stays balanced whatever order the runs come in.
    m_priorities ^= m_priorities << 13;
    m_priorities ^= m_priorities >> 17;
    m_priorities ^= m_priorities << 5;
    const Node node { ending, length, m_priorities };
    if (m_unusedNodes.empty()) {
        m_nodes.push_back(node);
        update(int(m_nodes.size()) - 1);
        return int(m_nodes.size()) - 1;
    }
    const int index = m_unusedNodes.back();
    m_unusedNodes.pop_back();
    m_nodes[index] = node;
    update(index);
    return index;
}

void LineEndings::release(int node)
{
    if (node == noNode)
        return;
    release(m_nodes[node].left);
    release(m_nodes[node].right);
    m_unusedNodes.push_back(node);
}

void LineEndings::update(int node)
{
    Node &run = m_nodes[node];
    run.breaks = breaksIn(run.left) + run.length + breaksIn(run.right);
    run.crlfs = crlfsIn(run.left) + (run.ending == LineEnding::CRLF ? run.length : 0)
        + crlfsIn(run.right);
}

// The breaks before index and those from index on; a run across index is cut in two.
std::pair<int, int> LineEndings::split(int node, qsizetype index)
{
    if (node == noNode)
        return { noNode, noNode };
    const qsizetype before = breaksIn(m_nodes[node].left);
    const qsizetype length = m_nodes[node].length;
    if (index <= before) {
        const auto [left, right] = split(m_nodes[node].left, index);
        m_nodes[node].left = right;
        update(node);
        return { left, node };
    }
    if (index >= before + length) {
        const auto [left, right] = split(m_nodes[node].right, index - before - length);
        m_nodes[node].right = left;
        update(node);
        return { node, right };
    }
    const int tail = newNode(m_nodes[node].ending, before + length - index);
    const int right = std::exchange(m_nodes[node].right, noNode);
    m_nodes[node].length = index - before;
    update(node);
    return { node, merge(tail, right) };
}

int LineEndings::merge(int left, int right)
{
    if (left == noNode || right == noNode)
        return left == noNode ? right : left;
    if (m_nodes[left].priority > m_nodes[right].priority) {
        m_nodes[left].right = merge(m_nodes[left].right, right);
        update(left);
        return left;
    }
    m_nodes[right].left = merge(left, m_nodes[right].left);
    update(right);
    return right;
}

// Merges the two, making one run of the runs that meet when they end alike, so that edits
// leave no more runs than there are changes of ending.
int LineEndings::join(int left, int right)
{
    if (left == noNode || right == noNode)
        return merge(left, right);
    const int first = firstNode(right);
    if (m_nodes[lastNode(left)].ending != m_nodes[first].ending)
        return merge(left, right);
    const qsizetype length = m_nodes[first].length;
    right = withoutFirst(right);
    lengthenLast(left, length);
    return merge(left, right);
}

int LineEndings::firstNode(int node) const
{
    while (m_nodes[node].left != noNode)
        node = m_nodes[node].left;
    return node;
}

int LineEndings::lastNode(int node) const
{
    while (m_nodes[node].right != noNode)
        node = m_nodes[node].right;
    return node;
}

int LineEndings::withoutFirst(int node)
{
    if (m_nodes[node].left == noNode) {
        m_unusedNodes.push_back(node);
        return m_nodes[node].right;
    }
    m_nodes[node].left = withoutFirst(m_nodes[node].left);
    update(node);
    return node;
}

void LineEndings::lengthenLast(int node, qsizetype by)
{
    if (m_nodes[node].right == noNode)
        m_nodes[node].length += by;
    else
        lengthenLast(m_nodes[node].right, by);
    update(node);
}
