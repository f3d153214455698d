#include "findbar.h"

#include "findcontroller.h"
#include "wispentextview.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FindBar::FindBar(WispenTextView *view, QWidget *parent)
    : QWidget(parent)
    , m_view(view)
    , m_controller(new FindController(view, this))
    , m_find(new QLineEdit(this))
    , m_replace(new QLineEdit(this))
    , m_matchCase(new QCheckBox(QStringLiteral("Match case"), this))
    , m_wholeWords(new QCheckBox(QStringLiteral("Whole words"), this))
    , m_count(new QLabel(this))
    , m_replaceOne(new QPushButton(QStringLiteral("Replace"), this))
    , m_replaceAll(new QPushButton(QStringLiteral("Replace All"), this))
    , m_replaceRow(new QWidget(this))
{
    m_find->setPlaceholderText(QStringLiteral("Find"));
    m_find->setAccessibleName(QStringLiteral("Find"));
    m_replace->setPlaceholderText(QStringLiteral("Replace with"));
    m_replace->setAccessibleName(QStringLiteral("Replace with"));
    auto *previous = new QPushButton(QStringLiteral("Previous"), this);
    auto *next = new QPushButton(QStringLiteral("Next"), this);
    auto *done = new QPushButton(QStringLiteral("Done"), this);

    // The search and its buttons on top; the options, then replacing when asked for, below,
    // so that the field keeps its room in a narrow or zoomed window.
    m_find->setMinimumWidth(160);
    auto *findRow = new QHBoxLayout;
    findRow->addWidget(m_find, 1);
    findRow->addWidget(m_count);
    findRow->addWidget(previous);
    findRow->addWidget(next);
    findRow->addWidget(done);
    auto *replaceRow = new QHBoxLayout(m_replaceRow);
    replaceRow->setContentsMargins(0, 0, 0, 0);
    replaceRow->addWidget(m_replace, 1);
    replaceRow->addWidget(m_replaceOne);
    replaceRow->addWidget(m_replaceAll);
    auto *optionsRow = new QHBoxLayout;
    optionsRow->addWidget(m_matchCase);
    optionsRow->addWidget(m_wholeWords);
    optionsRow->addWidget(m_replaceRow, 1);
    optionsRow->addStretch(0); // the room the replace row takes when it shows
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(10, 4, 10, 4);
    column->setSpacing(4);
    column->addLayout(findRow);
    column->addLayout(optionsRow);

    connect(m_find, &QLineEdit::textChanged, this, &FindBar::searchChanged);
    connect(m_matchCase, &QCheckBox::toggled, this, &FindBar::searchChanged);
    connect(m_wholeWords, &QCheckBox::toggled, this, &FindBar::searchChanged);
    connect(next, &QPushButton::clicked, m_controller, &FindController::findNext);
    connect(previous, &QPushButton::clicked, m_controller, &FindController::findPrevious);
    connect(done, &QPushButton::clicked, this, &FindBar::close);
    connect(m_replaceOne, &QPushButton::clicked, this,
        [this] { m_controller->replace(m_replace->text()); });
    connect(m_replaceAll, &QPushButton::clicked, this,
        [this] { m_controller->replaceAll(m_replace->text()); });
    connect(m_controller, &FindController::matchesChanged, this, &FindBar::showCount);
    m_find->installEventFilter(this);
    m_replace->installEventFilter(this);
    hide();
}

void FindBar::open(bool withReplace)
{
    const QString selected = m_view->textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        m_find->setText(selected);
    m_replaceRow->setVisible(withReplace);
    show();
    m_controller->setActive(true);
    m_find->setFocus(Qt::ShortcutFocusReason);
    m_find->selectAll();
}

void FindBar::close()
{
    m_controller->setActive(false);
    hide();
    m_view->setFocus(Qt::OtherFocusReason);
}

QString FindBar::status() const
{
    return m_count->text();
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (watched == m_replace && !(key->modifiers() & Qt::ShiftModifier))
            m_controller->replace(m_replace->text());
        else if (key->modifiers() & Qt::ShiftModifier)
            m_controller->findPrevious();
        else
            m_controller->findNext();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FindBar::searchChanged()
{
    m_controller->setSearch(
        m_find->text(), { m_matchCase->isChecked(), m_wholeWords->isChecked() });
}

void FindBar::showCount()
{
    const qsizetype count = m_controller->matches().size();
    m_count->setText(m_find->text().isEmpty() ? QString()
            : count == 1                      ? QStringLiteral("1 match")
                                              : QStringLiteral("%1 matches").arg(count));
}
