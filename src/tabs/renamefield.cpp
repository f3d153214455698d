#include "renamefield.h"

#include "ui/uistyle.h"

#include <QFocusEvent>

namespace {
constexpr int fieldPixelSize = 12;
constexpr int fieldMinimumWidth = 64;
constexpr int fieldMaximumWidth = 160;
} // namespace

RenameField::RenameField(const QString &draft, QWidget *parent)
    : QLineEdit(draft, parent)
{
    setPlaceholderText(QStringLiteral("Untitled"));
    setFont(UiStyle::systemFont(fieldPixelSize));
    setFrame(false);
    setTextMargins(0, 0, 0, 0);
    setContentsMargins(0, 0, 0, 0);
    setMinimumWidth(fieldMinimumWidth);
    setMaximumWidth(fieldMaximumWidth);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    // No bezel, border or background: the field is the title, made editable.
    setAutoFillBackground(false);
    QPalette plain = palette();
    plain.setColor(QPalette::Base, Qt::transparent);
    setPalette(plain);
}

void RenameField::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    Q_EMIT focusChanged(true);
}

void RenameField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    Q_EMIT focusChanged(false);
}
