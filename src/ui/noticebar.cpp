#include "noticebar.h"

#include "uistyle.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaMethod>
#include <QPainter>
#include <QPushButton>
#include <QUrl>

NoticeBar::NoticeBar(QWidget *parent)
    : QWidget(parent)
    , m_label(new QLabel(this))
    , m_openFolder(new QPushButton(QStringLiteral("Open Folder"), this))
    , m_dismiss(new QPushButton(QStringLiteral("Dismiss"), this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(12, 6, 8, 6);
    m_label->setWordWrap(true);
    m_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(m_label, 1);
    row->addWidget(m_openFolder);
    row->addWidget(m_dismiss);
    connect(m_openFolder, &QPushButton::clicked, this, &NoticeBar::openFolder);
    connect(m_dismiss, &QPushButton::clicked, this, &NoticeBar::dismiss);
    setAccessibleName(QStringLiteral("Notice"));
    hide();
}

void NoticeBar::post(const QString &text, const QString &folder)
{
    m_queue.append({ text, folder });
    if (m_queue.size() == 1)
        showFront();
}

QString NoticeBar::text() const
{
    return m_label->text();
}

void NoticeBar::dismiss()
{
    if (!m_queue.isEmpty())
        m_queue.removeFirst();
    showFront();
}

void NoticeBar::showFront()
{
    if (m_queue.isEmpty()) {
        m_label->clear();
        m_folder.clear();
        hide();
        return;
    }
    const auto &[text, folder] = m_queue.constFirst();
    m_label->setText(text);
    m_folder = folder;
    m_openFolder->setVisible(!folder.isEmpty());
    show();
}

void NoticeBar::openFolder()
{
    if (isSignalConnected(QMetaMethod::fromSignal(&NoticeBar::folderRequested)))
        Q_EMIT folderRequested(m_folder);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(m_folder));
}

void NoticeBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), UiStyle::accentWash(palette()));
    painter.fillRect(QRect(0, height() - 1, width(), 1), UiStyle::barBackground(palette()));
}
