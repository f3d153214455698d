#include "mainwindow.h"

#include "editor/wispentextview.h"
#include "session/notesession.h"

namespace {
constexpr QSize defaultWindowSize(900, 650);
constexpr QSize minimumWindowSize(600, 400);
} // namespace

MainWindow::MainWindow(NoteSession &session, QWidget *parent)
    : QMainWindow(parent)
    , m_textView(new WispenTextView(this))
{
    setWindowTitle(QStringLiteral("Wispen."));
    setMinimumSize(minimumWindowSize);
    resize(defaultWindowSize);
    setCentralWidget(m_textView);
    session.attachTextView(m_textView);
    connect(m_textView, &WispenTextView::textChanged, this,
            [&session, view = m_textView] { session.updateActiveTabText(view->plainText()); });
    m_textView->setFocus();
}
