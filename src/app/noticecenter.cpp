#include "noticecenter.h"

#include "ui/noticebar.h"

#include <QSettings>

namespace {
// Pairs of text and folder, flat: a string list is all QSettings needs to store.
const QString pendingKey = QStringLiteral("pendingNotices");
} // namespace

NoticeCenter::NoticeCenter(NoticeBar &bar, QObject *parent)
    : QObject(parent)
    , m_bar(bar)
{
}

void NoticeCenter::post(const SaveNotice &notice)
{
    m_bar.post(notice.text, notice.folder);
    if (!m_keepForNextStart)
        return;
    QSettings settings;
    QStringList pending = settings.value(pendingKey).toStringList();
    pending << notice.text << notice.folder;
    settings.setValue(pendingKey, pending);
    settings.sync();
}

void NoticeCenter::postAll(const QList<SaveNotice> &notices)
{
    for (const SaveNotice &notice : notices)
        post(notice);
}

void NoticeCenter::showPending()
{
    QSettings settings;
    const QStringList pending = settings.value(pendingKey).toStringList();
    settings.remove(pendingKey);
    for (qsizetype i = 0; i + 1 < pending.size(); i += 2)
        m_bar.post(pending.at(i), pending.at(i + 1));
}
