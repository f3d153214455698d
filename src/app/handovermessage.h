#pragma once

#include <QByteArray>
#include <QList>
#include <QUrl>

// What a later launch and the running Wispen say on the channel. The running one greets a
// launch as it takes the connection; the launch sends one message with its files; the running
// one acknowledges once it has taken them. A message is a 32-bit big-endian length and then
// that many bytes: the files' encoded URLs, one a line.
namespace HandoverMessage {

inline constexpr qsizetype headerSize = sizeof(quint32);
// Thousands of files fit; a longer message is refused without reading it.
inline constexpr quint32 maxBodySize = 1024 * 1024;

QByteArray greeting();
QByteArray acknowledgement();

// The whole message, header included. Files that would make it longer than maxBodySize are
// left out.
QByteArray encode(const QList<QUrl> &files);
quint32 bodySize(const QByteArray &header);
// The absolute local files among the lines of body.
QList<QUrl> decode(const QByteArray &body);

} // namespace HandoverMessage
