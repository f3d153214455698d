#include "symbols.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>
#include <memory>

namespace {

// The SVG files draw with "currentColor" and a 1.5 unit stroke; both are swapped per use.
const QByteArray colorToken = QByteArrayLiteral("currentColor");
const QByteArray strokeToken = QByteArrayLiteral("stroke-width=\"1.5\"");

QByteArray strokeFor(Symbols::Weight weight)
{
    switch (weight) {
    case Symbols::Weight::Regular:
        return QByteArrayLiteral("stroke-width=\"1.5\"");
    case Symbols::Weight::Medium:
        return QByteArrayLiteral("stroke-width=\"1.7\"");
    case Symbols::Weight::Semibold:
        return QByteArrayLiteral("stroke-width=\"2\"");
    }
    return strokeToken;
}

QByteArray source(const QString &name)
{
    static QHash<QString, QByteArray> sources;
    const auto found = sources.constFind(name);
    if (found != sources.cend())
        return *found;
    QFile file(QStringLiteral(":/icons/%1.svg").arg(name));
    const QByteArray text = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    sources.insert(name, text);
    return text;
}

// One renderer per symbol, opaque colour and weight; the set is small and lives for the run.
QSvgRenderer *renderer(const QString &name, const QColor &opaque, Symbols::Weight weight)
{
    static QHash<QString, std::shared_ptr<QSvgRenderer>> renderers;
    const QString key = QStringLiteral("%1|%2|%3").arg(name, opaque.name()).arg(int(weight));
    if (const auto found = renderers.constFind(key); found != renderers.cend())
        return found->get();
    QByteArray text = source(name);
    if (text.isEmpty())
        return nullptr;
    text.replace(colorToken, opaque.name().toLatin1());
    text.replace(strokeToken, strokeFor(weight));
    auto created = std::make_shared<QSvgRenderer>(text);
    renderers.insert(key, created);
    return created.get();
}

} // namespace

namespace Symbols {

bool exists(const QString &name)
{
    return !source(name).isEmpty();
}

void paint(
    QPainter &painter, const QRectF &box, const QString &name, const QColor &color, Weight weight)
{
    QColor opaque = color;
    opaque.setAlpha(255);
    QSvgRenderer *svg = renderer(name, opaque, weight);
    if (!svg || !svg->isValid())
        return;
    painter.save();
    painter.setOpacity(painter.opacity() * color.alphaF());
    painter.setRenderHint(QPainter::Antialiasing);
    svg->render(&painter, box);
    painter.restore();
}

} // namespace Symbols
