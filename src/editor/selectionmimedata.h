#pragma once

#include <QMimeData>
#include <QTextDocumentFragment>

// The editor's standard copy of a selection: HTML for rich targets and the exact plain text.
// Qt's own copy turns no-break spaces into spaces and U+2028 into line feeds in its plain
// text; this keeps them. The HTML is only built when a target asks for it, because the X11
// selection takes a copy on every mouse selection.
class SelectionMimeData : public QMimeData
{
    Q_OBJECT

public:
    SelectionMimeData(const QTextDocumentFragment &fragment, const QString &plainText);

    QStringList formats() const override;
    bool hasFormat(const QString &mimeType) const override;

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType type) const override;

private:
    QTextDocumentFragment m_fragment;
};
