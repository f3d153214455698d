#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <optional>

class NoteSession;
class QWidget;
class RecoveryJournal;

// Turns the application's lifecycle into session calls: files handed over open into tabs, and
// before the app quits or the machine goes down every note is written where it belongs.
class AppDelegate : public QObject
{
    Q_OBJECT

public:
    explicit AppDelegate(NoteSession &session, QObject *parent = nullptr);

    // Run the final save on every way the process can end: quit and closing the window,
    // SIGTERM, SIGHUP and SIGINT (which quit normally), the session manager's request to save
    // at logout, and logind's notice that the machine goes down.
    void finishLaunching();

    // Write every note: first the active one (the editor's text, to the tab's own file or a
    // date-named desktop file), then every other tab in tab order as closing it would. Safe
    // to run more than once: a note already written is not written again.
    void finalSave();

    // The journal that keeps the notes while the app runs; after the final save it keeps
    // exactly the notes that could be written nowhere.
    void setJournal(RecoveryJournal *journal) { m_journal = journal; }

    // Open files handed over by the desktop (command line, another launch, a drop), with a
    // busy cursor while a large one loads.
    void openFiles(const QList<QUrl> &urls);

    // Offer the desktop's file dialog and open the chosen files into tabs.
    void openFilesFromDialog(QWidget *parent);

Q_SIGNALS:
    // Notices raised from here on may never be painted: the process is about to end.
    void finalSaveStarted();

private:
    NoteSession &m_session;
    RecoveryJournal *m_journal = nullptr;
};
