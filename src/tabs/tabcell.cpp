#include "tabcell.h"

#include "renamefield.h"
#include "ui/symbolbutton.h"
#include "ui/textlabel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int horizontalPadding = 8;
constexpr int verticalPadding = 4;
constexpr int spacing = 2;
constexpr int titleMinimumWidth = 48;
constexpr int titleMaximumWidth = 160;
constexpr int titleMaximumHeight = 22;

SymbolButton::Look closeButtonLook()
{
    SymbolButton::Look look;
    look.frame = 16;
    look.glyphSize = 9;
    look.weight = Symbols::Weight::Medium;
    look.level = UiStyle::Level::Tertiary;
    return look;
}
} // namespace

TabCell::TabCell(const QUuid &id, QWidget *parent)
    : QWidget(parent)
    , m_id(id)
    , m_layout(new QHBoxLayout(this))
    , m_closeButton(new SymbolButton(QStringLiteral("xmark"), closeButtonLook(), this))
{
    m_layout->setContentsMargins(
        horizontalPadding, verticalPadding, horizontalPadding, verticalPadding);
    m_layout->setSpacing(spacing);
    m_closeButton->setAccessibleName(QStringLiteral("Close tab"));
    m_closeButton->setToolTip(QStringLiteral("Close tab"));
    m_layout->addWidget(m_closeButton, 0, Qt::AlignVCenter);
    m_closeButton->setToolTip(QStringLiteral("Close tab"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(m_closeButton, &SymbolButton::clicked, this, &TabCell::closeClicked);
}

TabCell::~TabCell()
{
    // The hit view refers to the coordinator; let it go first.
    delete m_hitView;
}

void TabCell::setSelected(bool selected)
{
    if (selected == m_isSelected)
        return;
    m_isSelected = selected;
    update();
}

QString TabCell::title() const
{
    return m_coordinator && m_coordinator->label ? m_coordinator->label->text() : QString();
}

void TabCell::requestSelect()
{
    if (m_coordinator && m_coordinator->onSelect)
        m_coordinator->onSelect();
}

void TabCell::showTitle(const TabTitleLabel &label)
{
    removeRenameField();
    if (m_hitView) {
        label.updateView(*m_coordinator);
        return;
    }
    m_coordinator = label.makeCoordinator();
    m_hitView = label.makeView(*m_coordinator, this);
    m_hitView->setMinimumWidth(titleMinimumWidth);
    m_hitView->setMaximumSize(titleMaximumWidth, titleMaximumHeight);
    m_layout->insertWidget(0, m_hitView, 0, Qt::AlignVCenter);
    // Shown now, not on the layout's next turn: the field's focus must find it visible.
    m_hitView->show();
}

RenameField *TabCell::showRenameField(const QString &draft)
{
    if (m_renameField)
        return m_renameField;
    removeTitle();
    m_renameField = new RenameField(draft, this);
    m_layout->insertWidget(0, m_renameField, 0, Qt::AlignVCenter);
    m_renameField->show();
    return m_renameField;
}

void TabCell::paintEvent(QPaintEvent *)
{
    if (!m_isSelected)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(rect(), UiStyle::cornerRadius, UiStyle::cornerRadius);
    painter.fillPath(shape, UiStyle::accentWash(palette()));
}

void TabCell::removeTitle()
{
    // Destroying the hit view drops a select still pending for this label.
    delete m_hitView;
    m_hitView = nullptr;
    m_coordinator.reset();
}

void TabCell::removeRenameField()
{
    delete m_renameField;
    m_renameField = nullptr;
}
