#include "notetext.h"

#include "autosave/whitespace.h"

#include <QDebug>
#include <algorithm>
#include <limits>
#include <utility>

namespace {

// Pieces up to this length are merged with what is typed next to them; copying two of them
// costs far less than a keystroke, and merging keeps the list short.
constexpr qsizetype shortPiece = 4096;
constexpr qsizetype longestMerged = 2 * shortPiece;

// Characters changeBetween() compares one by one before it settles for a larger span.
constexpr qsizetype comparedAtMost = 64 * 1024;

// Pieces in a run: an edit copies one run, a copy of the text shares all of them.
constexpr qsizetype runLength = 64;

} // namespace

NoteText::NoteText(const QString &text)
    : m_size(text.size())
{
    if (!text.isEmpty()) {
        m_runs.append(Run { pieceOf(text, 0, text.size()) });
        m_runSizes.append(text.size());
    }
}

NoteText::Piece NoteText::pieceOf(QString buffer, qsizetype offset, qsizetype length)
{
    Piece piece { std::move(buffer), offset, length, -1 };
    const QStringView view = piece.view();
    const auto found
        = std::find_if_not(view.begin(), view.end(), Whitespace::isWhitespaceOrNewline);
    if (found != view.end())
        piece.firstNonBlank = found - view.begin();
    return piece;
}

qsizetype NoteText::splitAt(Run &pieces, qsizetype position)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (position == start)
            return i;
        const Piece &piece = pieces.at(i);
        if (position < start + piece.length) {
            const qsizetype cut = position - start;
            // What is known of the left part tells the right one without a scan, unless the
            // first character that is not whitespace lies left of the cut.
            Piece right = piece.firstNonBlank >= 0 && piece.firstNonBlank < cut
                ? pieceOf(piece.buffer, piece.offset + cut, piece.length - cut)
                : Piece { piece.buffer, piece.offset + cut, piece.length - cut,
                      piece.firstNonBlank < 0 ? -1 : piece.firstNonBlank - cut };
            Piece &left = pieces[i];
            left.length = cut;
            if (left.firstNonBlank >= cut)
                left.firstNonBlank = -1;
            pieces.insert(i + 1, std::move(right));
            return i + 1;
        }
        start += piece.length;
    }
    return pieces.size();
}

void NoteText::insertAt(Run &pieces, qsizetype index, const QString &added)
{
    if (added.size() > longestMerged) {
        pieces.insert(index, pieceOf(added, 0, added.size()));
        return;
    }
    qsizetype from = index;
    qsizetype to = index;
    qsizetype total = added.size();
    if (index > 0 && pieces.at(index - 1).length <= shortPiece
        && total + pieces.at(index - 1).length <= longestMerged) {
        from = index - 1;
        total += pieces.at(from).length;
    }
    if (index < pieces.size() && pieces.at(index).length <= shortPiece
        && total + pieces.at(index).length <= longestMerged) {
        to = index + 1;
        total += pieces.at(index).length;
    }
    if (to - from + (added.isEmpty() ? 0 : 1) < 2) {
        if (!added.isEmpty())
            pieces.insert(index, pieceOf(added, 0, added.size()));
        return;
    }
    QString merged;
    merged.reserve(total);
    for (qsizetype i = from; i < index; ++i)
        merged += pieces.at(i).view();
    merged += added;
    for (qsizetype i = index; i < to; ++i)
        merged += pieces.at(i).view();
    pieces.remove(from, to - from);
    pieces.insert(from, pieceOf(merged, 0, merged.size()));
}

void NoteText::replace(qsizetype position, qsizetype removed, const QString &added)
{
    if (position < 0 || position > m_size)
        return;
    removed = std::clamp<qsizetype>(removed, 0, m_size - position);
    if (removed == 0 && added.isEmpty())
        return;
    if (m_runs.isEmpty()) {
        m_runs.append(Run());
        m_runSizes.append(0);
    }
    // The runs the edit touches; one that ends at position takes an insertion there, so that
    // typing at its end merges with its last piece.
    qsizetype first = 0;
    qsizetype start = 0;
    while (first < m_runs.size() - 1 && start + m_runSizes.at(first) < position)
        start += m_runSizes.at(first++);
    qsizetype last = first;
    qsizetype end = start + m_runSizes.at(first);
    while (last < m_runs.size() - 1 && end < position + removed)
        end += m_runSizes.at(++last);

    Run pieces = std::move(m_runs[first]);
    for (qsizetype i = first + 1; i <= last; ++i)
        pieces += m_runs.at(i);
    const qsizetype from = splitAt(pieces, position - start);
    const qsizetype to = splitAt(pieces, position - start + removed);
    pieces.remove(from, to - from);
    insertAt(pieces, from, added);
    m_size += added.size() - removed;

    // Back as runs of at most twice the usual length.
    m_runs.remove(first, last - first + 1);
    m_runSizes.remove(first, last - first + 1);
    const qsizetype count = pieces.size() > 2 * runLength ? runLength : pieces.size();
    for (qsizetype at = 0; at < pieces.size(); at += count) {
        Run run = pieces.mid(at, count);
        qsizetype size = 0;
        for (const Piece &piece : std::as_const(run))
            size += piece.length;
        m_runs.insert(first, std::move(run));
        m_runSizes.insert(first++, size);
    }
}

QList<const NoteText::Piece *> NoteText::pieces() const
{
    QList<const Piece *> pieces;
    for (const Run &run : m_runs) {
        for (const Piece &piece : run)
            pieces.append(&piece);
    }
    return pieces;
}

QString NoteText::toString() const
{
    if (m_runs.size() == 1 && m_runs.first().size() == 1
        && m_runs.first().first().length == m_runs.first().first().buffer.size())
        return m_runs.first().first().buffer;
    QString text;
    text.reserve(m_size);
    for (const Piece *piece : pieces())
        text += piece->view();
    return text;
}

QString NoteText::mid(qsizetype position, qsizetype length) const
{
    position = std::clamp<qsizetype>(position, 0, m_size);
    length = std::clamp<qsizetype>(length, 0, m_size - position);
    QString text;
    text.reserve(length);
    qsizetype start = 0;
    for (qsizetype r = 0; r < m_runs.size() && text.size() < length; ++r) {
        // Whole runs before the range are skipped by their sizes.
        if (start + m_runSizes.at(r) <= position) {
            start += m_runSizes.at(r);
            continue;
        }
        for (const Piece &piece : m_runs.at(r)) {
            if (text.size() == length)
                break;
            const qsizetype end = start + piece.length;
            if (end > position) {
                const qsizetype from = std::max(position, start) - start;
                text += piece.view().sliced(
                    from, std::min(piece.length - from, length - text.size()));
            }
            start = end;
        }
    }
    return text;
}

QByteArray NoteText::toUtf8() const
{
    QByteArray bytes;
    bytes.reserve(m_size);
    // A surrogate pair cut between two pieces is still one character: the first half waits
    // for the next piece.
    QString highHalf;
    for (const Piece *piece : pieces()) {
        QStringView view = piece->view();
        if (!highHalf.isEmpty()) {
            if (view.front().isLowSurrogate()) {
                highHalf += view.front();
                view = view.sliced(1);
            }
            bytes += std::exchange(highHalf, QString()).toUtf8();
        }
        if (!view.isEmpty() && view.back().isHighSurrogate()) {
            highHalf = view.back();
            view.chop(1);
        }
        bytes += view.toUtf8();
    }
    return bytes + highHalf.toUtf8();
}

bool NoteText::isBlank() const
{
    return std::all_of(m_runs.cbegin(), m_runs.cend(), [](const Run &run) {
        return std::all_of(
            run.cbegin(), run.cend(), [](const Piece &piece) { return piece.firstNonBlank < 0; });
    });
}

namespace {

// How many characters two texts share from their start, or from their end, up to limit.
// Ranges of one and the same string are skipped at once; other ranges are compared while the
// budget lasts.
template<typename Pieces>
qsizetype agreeing(
    const Pieces &a, const Pieces &b, qsizetype limit, bool fromEnd, qsizetype &budget)
{
    const auto at = [fromEnd](const Pieces &pieces, qsizetype i) -> const auto &
    {
        return *pieces.at(fromEnd ? pieces.size() - 1 - i : i);
    };
    const auto rest = [fromEnd](QStringView view, qsizetype done) {
        return fromEnd ? view.chopped(done) : view.sliced(done);
    };
    const auto part = [fromEnd](QStringView view, qsizetype n) {
        return fromEnd ? view.last(n) : view.first(n);
    };
    qsizetype count = 0;
    qsizetype i = 0;
    qsizetype j = 0;
    qsizetype doneA = 0;
    qsizetype doneB = 0;
    while (count < limit && i < a.size() && j < b.size()) {
        const QStringView restA = rest(at(a, i).view(), doneA);
        const QStringView restB = rest(at(b, j).view(), doneB);
        qsizetype n = std::min({ restA.size(), restB.size(), limit - count });
        const QStringView partA = part(restA, n);
        const QStringView partB = part(restB, n);
        if (partA.data() != partB.data()) {
            n = std::min(n, budget);
            budget -= n;
            const QStringView x = part(partA, n);
            const QStringView y = part(partB, n);
            const qsizetype same = fromEnd
                ? std::mismatch(x.rbegin(), x.rend(), y.rbegin()).first - x.rbegin()
                : std::mismatch(x.begin(), x.end(), y.begin()).first - x.begin();
            if (same < partA.size())
                return count + same;
        }
        count += n;
        doneA += n;
        doneB += n;
        if (doneA == at(a, i).length) {
            ++i;
            doneA = 0;
        }
        if (doneB == at(b, j).length) {
            ++j;
            doneB = 0;
        }
    }
    return count;
}

} // namespace

NoteText::Change NoteText::changeBetween(const NoteText &before, const NoteText &after)
{
    if (before.m_runs.isSharedWith(after.m_runs))
        return { before.m_size, 0, 0 };
    qsizetype budget = comparedAtMost;
    const qsizetype limit = std::min(before.m_size, after.m_size);
    const QList<const Piece *> a = before.pieces();
    const QList<const Piece *> b = after.pieces();
    const qsizetype prefix = agreeing(a, b, limit, false, budget);
    const qsizetype suffix = agreeing(a, b, limit - prefix, true, budget);
    return { prefix, before.m_size - prefix - suffix, after.m_size - prefix - suffix };
}

bool NoteText::equals(QStringView other) const
{
    if (other.size() != m_size)
        return false;
    qsizetype start = 0;
    for (const Piece *piece : pieces()) {
        if (piece->view() != other.sliced(start, piece->length))
            return false;
        start += piece->length;
    }
    return true;
}

bool operator==(const NoteText &a, const NoteText &b)
{
    if (a.m_size != b.m_size)
        return false;
    if (a.m_runs.isSharedWith(b.m_runs))
        return true;
    qsizetype budget = std::numeric_limits<qsizetype>::max();
    return agreeing(a.pieces(), b.pieces(), a.m_size, false, budget) == a.m_size;
}

bool operator==(const NoteText &a, const QString &b)
{
    return a.equals(b);
}

QDebug operator<<(QDebug debug, const NoteText &text)
{
    return debug << text.toString();
}
