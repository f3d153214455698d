#include "mainwindow.h"

#include "editor/richtexteditor.h"

namespace {
constexpr QSize defaultWindowSize(900, 650);
constexpr QSize minimumWindowSize(600, 400);
} // namespace

MainWindow::MainWindow(NoteSession &session, QWidget *parent)
    : QMainWindow(parent)
    , m_editor(new RichTextEditor(session, this))
{
    setWindowTitle(QStringLiteral("Wispen."));
    setMinimumSize(minimumWindowSize);
    resize(defaultWindowSize);
    setCentralWidget(m_editor);
    m_editor->setFocus();
}
