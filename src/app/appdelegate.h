#pragma once

#include <QObject>

class NoteSession;
class QWidget;

// Turns the application's lifecycle into session calls: before the app quits, the note on
// screen is flushed from the editor and written where it belongs.
class AppDelegate : public QObject
{
    Q_OBJECT

public:
    explicit AppDelegate(NoteSession &session, QObject *parent = nullptr);

    // Write the active note: the editor's text, to the tab's own file or a date-named desktop
    // file. Safe to run more than once.
    void finalSave();

    // Offer the desktop's file dialog and open the chosen files into tabs.
    void openFilesFromDialog(QWidget *parent);

private:
    NoteSession &m_session;
};
