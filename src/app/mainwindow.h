#pragma once

#include <QMainWindow>

class NoteSession;
class RichTextEditor;

// The app's one window, holding the editor bound to the session.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(NoteSession &session, QWidget *parent = nullptr);

    RichTextEditor *editor() const { return m_editor; }

private:
    RichTextEditor *m_editor = nullptr;
};
