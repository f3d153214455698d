#include "tabtitlelabel.h"

#include "ui/textlabel.h"
#include "ui/uistyle.h"

#include <QHBoxLayout>
#include <QMouseEvent>

namespace {
constexpr int titlePixelSize = 12;
}

TabTitleLabel::TabTitleLabel(
    const QString &title, bool isSelected, Callback onSelect, Callback onRename)
    : m_title(title)
    , m_isSelected(isSelected)
    , m_onSelect(std::move(onSelect))
    , m_onRename(std::move(onRename))
{
}

std::unique_ptr<TabTitleLabel::Coordinator> TabTitleLabel::makeCoordinator() const
{
    return std::make_unique<Coordinator>();
}

TabTitleLabel::TitleHitView *TabTitleLabel::makeView(
    Coordinator &coordinator, QWidget *parent) const
{
    auto *hitView = new TitleHitView(parent);
    auto *label = new TextLabel(m_title, hitView);
    // The label asks for its text's width but gives way to the frame the cell sets: a long
    // title is cut, the frame is not stretched.
    label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto *layout = new QHBoxLayout(hitView);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(label, 1, Qt::AlignVCenter);
    coordinator.label = label;
    coordinator.applyStyle(m_isSelected);
    coordinator.onSelect = m_onSelect;
    coordinator.onRename = m_onRename;
    hitView->coordinator = &coordinator;
    return hitView;
}

void TabTitleLabel::updateView(Coordinator &coordinator) const
{
    if (coordinator.label)
        coordinator.label->setText(m_title);
    coordinator.applyStyle(m_isSelected);
    coordinator.onSelect = m_onSelect;
    coordinator.onRename = m_onRename;
}

void TabTitleLabel::Coordinator::applyStyle(bool isSelected)
{
    if (label)
        label->setFont(
            UiStyle::systemFont(titlePixelSize, isSelected ? QFont::DemiBold : QFont::Normal));
    if (label)
        label->setLevel(isSelected ? UiStyle::Level::Primary : UiStyle::Level::Secondary);
}

TabTitleLabel::TitleHitView::TitleHitView(QWidget *parent)
    : QWidget(parent)
{
    m_singleClickTimer.setSingleShot(true);
    m_singleClickTimer.setTimerType(Qt::PreciseTimer);
    m_singleClickTimer.setInterval(singleClickDelay);
    QObject::connect(&m_singleClickTimer, &QTimer::timeout, this, [this] { runPendingSelect(); });
}

TabTitleLabel::TitleHitView::~TitleHitView()
{
    m_singleClickTimer.stop();
}

void TabTitleLabel::TitleHitView::mousePressEvent(QMouseEvent *event)
{
    if (!coordinator || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // A later single press moves the deadline: the select runs once, after the last press.
    m_singleClickTimer.start();
}

void TabTitleLabel::TitleHitView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!coordinator || event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    m_singleClickTimer.stop();
    if (coordinator->onRename)
        coordinator->onRename();
}

void TabTitleLabel::TitleHitView::runPendingSelect()
{
    // The callback is looked up now, so the one of the latest refresh runs.
    if (coordinator && coordinator->onSelect)
        coordinator->onSelect();
}
