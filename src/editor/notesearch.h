#pragma once

#include <QList>
#include <QString>

// Finding every occurrence of a text in a note. A plain function over a copy of the text, so
// that it can run away from the window's thread.
namespace NoteSearch {

struct Options
{
    bool matchCase = false;
    bool wholeWords = false;

    friend bool operator==(const Options &, const Options &) = default;
};

struct Match
{
    int position = 0;
    int length = 0;

    friend bool operator==(const Match &, const Match &) = default;
};

// Every match of needle in text, in order, none overlapping; none for an empty needle.
// A whole word has no letter, digit or underscore right before or after it.
QList<Match> findAll(const QString &text, const QString &needle, const Options &options);

} // namespace NoteSearch
