#pragma once

#include <QMainWindow>

class NoteSession;
class WispenTextView;

// The app's one window, holding the editor bound to the session.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(NoteSession &session, QWidget *parent = nullptr);

    WispenTextView *textView() const { return m_textView; }

private:
    WispenTextView *m_textView = nullptr;
};
