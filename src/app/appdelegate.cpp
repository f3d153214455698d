#include "appdelegate.h"

#include "autosave/autosavemanager.h"
#include "session/notesession.h"

AppDelegate::AppDelegate(NoteSession &session, QObject *parent)
    : QObject(parent)
    , m_session(session)
{
}

void AppDelegate::finalSave()
{
    m_session.flushActiveTabFromTextView();
    AutoSaveManager::saveIfNeeded(m_session.currentText(), m_session.activeTabOpenedFileURL(),
                                  std::nullopt);
}

void AppDelegate::openFilesFromDialog(QWidget *parent)
{
    Q_UNUSED(parent); // Filled in with file opening.
}
