#include "selectionmimedata.h"

namespace {
const QString htmlType = QStringLiteral("text/html");
} // namespace

SelectionMimeData::SelectionMimeData(
    const QTextDocumentFragment &fragment, const QString &plainText)
    : m_fragment(fragment)
{
    setText(plainText);
}

QStringList SelectionMimeData::formats() const
{
    return QMimeData::formats() << htmlType;
}

bool SelectionMimeData::hasFormat(const QString &mimeType) const
{
    return mimeType == htmlType || QMimeData::hasFormat(mimeType);
}

QVariant SelectionMimeData::retrieveData(const QString &mimeType, QMetaType type) const
{
    if (mimeType == htmlType)
        return m_fragment.toHtml().toUtf8();
    return QMimeData::retrieveData(mimeType, type);
}
