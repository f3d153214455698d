#pragma once

#include <QColor>
#include <QString>

class QPainter;
class QRectF;

// Our own line-art symbols ("bold", "plus", "xmark", ...), kept as SVG in the resources and
// painted as vectors, so they stay sharp under the zoom transform.
namespace Symbols {

enum class Weight { Regular, Medium, Semibold };

bool exists(const QString &name);

// Draws the symbol fitted into box, in color (its alpha included), with strokes as heavy as
// weight asks. Unknown names draw nothing.
void paint(
    QPainter &painter, const QRectF &box, const QString &name, const QColor &color, Weight weight);

} // namespace Symbols
