#include "mainmenus.h"

#include "appdelegate.h"
#include "editor/wispentextview.h"
#include "formatting/formattingcommand.h"
#include "session/notesession.h"
#include "tabs/contentview.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>

namespace {

QAction *addItem(QMenu *menu, const QString &title, const QList<QKeySequence> &shortcuts)
{
    QAction *action = menu->addAction(title);
    action->setShortcuts(shortcuts);
    return action;
}

// Edit commands go to the field being typed in: the rename field when it has the focus,
// the note otherwise.
template<typename LineEditSlot, typename TextViewSlot>
void connectEdit(
    QAction *action, WispenTextView *textView, LineEditSlot onField, TextViewSlot onNote)
{
    QObject::connect(action, &QAction::triggered, textView, [textView, onField, onNote] {
        if (auto *field = qobject_cast<QLineEdit *>(QApplication::focusWidget())) {
            (field->*onField)();
            return;
        }
        (textView->*onNote)();
    });
}

} // namespace

namespace MainMenus {

void addFileMenu(QMainWindow &window, ContentView &content, AppDelegate &delegate)
{
    QMenu *menu = window.menuBar()->addMenu(QStringLiteral("&File"));
    QObject::connect(
        addItem(menu, QStringLiteral("New Tab"), { QKeySequence(Qt::CTRL | Qt::Key_T) }),
        &QAction::triggered, &content, [&content] { content.addTab(); });
    QObject::connect(addItem(menu, QStringLiteral("Reopen Closed Tab"),
                         { QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T) }),
        &QAction::triggered, &content, [&content] { content.reopenClosedTab(); });
    QObject::connect(addItem(menu, QStringLiteral("Open..."), { QKeySequence::Open }),
        &QAction::triggered, &content,
        [&delegate, &window] { delegate.openFilesFromDialog(&window); });
    QObject::connect(
        addItem(menu, QStringLiteral("Close Tab"), { QKeySequence(Qt::CTRL | Qt::Key_W) }),
        &QAction::triggered, &content, [&content] { content.closeSelectedTab(); });
    menu->addSeparator();
    QObject::connect(
        addItem(menu, QStringLiteral("Next Tab"),
            { QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown) }),
        &QAction::triggered, &content, [&content] { content.selectTabAtOffset(1); });
    QObject::connect(addItem(menu, QStringLiteral("Previous Tab"),
                         { QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                             QKeySequence(Qt::CTRL | Qt::Key_PageUp) }),
        &QAction::triggered, &content, [&content] { content.selectTabAtOffset(-1); });
    QObject::connect(addItem(menu, QStringLiteral("Move Tab Left"),
                         { QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_PageUp) }),
        &QAction::triggered, &content, [&content] { content.moveSelectedTab(-1); });
    QObject::connect(addItem(menu, QStringLiteral("Move Tab Right"),
                         { QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_PageDown) }),
        &QAction::triggered, &content, [&content] { content.moveSelectedTab(1); });
    menu->addSeparator();
    QAction *quit = addItem(menu, QStringLiteral("Quit"), { QKeySequence(Qt::CTRL | Qt::Key_Q) });
    quit->setMenuRole(QAction::QuitRole);
    QObject::connect(quit, &QAction::triggered, qApp, &QApplication::quit, Qt::QueuedConnection);
}

void addEditMenu(QMainWindow &window, ContentView &content, WispenTextView *textView)
{
    QMenu *menu = window.menuBar()->addMenu(QStringLiteral("&Edit"));
    connectEdit(addItem(menu, QStringLiteral("Undo"), { QKeySequence::Undo }), textView,
        &QLineEdit::undo, &WispenTextView::undo);
    connectEdit(addItem(menu, QStringLiteral("Redo"), { QKeySequence::Redo }), textView,
        &QLineEdit::redo, &WispenTextView::redo);
    menu->addSeparator();
    connectEdit(addItem(menu, QStringLiteral("Cut"), { QKeySequence::Cut }), textView,
        &QLineEdit::cut, &WispenTextView::cut);
    connectEdit(addItem(menu, QStringLiteral("Copy"), { QKeySequence::Copy }), textView,
        &QLineEdit::copy, &WispenTextView::copy);
    connectEdit(addItem(menu, QStringLiteral("Paste"), { QKeySequence::Paste }), textView,
        &QLineEdit::paste, &WispenTextView::paste);
    connectEdit(addItem(menu, QStringLiteral("Paste as Plain Text"),
                    { QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V) }),
        textView, &QLineEdit::paste, &WispenTextView::pasteAsPlainText);
    menu->addSeparator();
    connectEdit(addItem(menu, QStringLiteral("Select All"), { QKeySequence::SelectAll }), textView,
        &QLineEdit::selectAll, &WispenTextView::selectAll);
    menu->addSeparator();
    QObject::connect(addItem(menu, QStringLiteral("Find..."), { QKeySequence::Find }),
        &QAction::triggered, &content, [&content] { content.openFind(false); });
    QObject::connect(addItem(menu, QStringLiteral("Find and Replace..."),
                         { QKeySequence(Qt::CTRL | Qt::Key_H) }),
        &QAction::triggered, &content, [&content] { content.openFind(true); });
    QObject::connect(addItem(menu, QStringLiteral("Find Next"), { QKeySequence::FindNext }),
        &QAction::triggered, &content, [&content] { content.findNext(); });
    QObject::connect(addItem(menu, QStringLiteral("Find Previous"), { QKeySequence::FindPrevious }),
        &QAction::triggered, &content, [&content] { content.findPrevious(); });
}

void addFormatMenu(QMainWindow &window, NoteSession &session, WispenTextView *textView)
{
    QMenu *menu = window.menuBar()->addMenu(QStringLiteral("F&ormat"));
    const auto add = [menu, &session, textView](const QString &title, FormattingCommand command,
                         const QList<QKeySequence> &shortcuts) {
        QObject::connect(addItem(menu, title, shortcuts), &QAction::triggered, textView,
            [&session, textView, command] { FormattingCommands::run(command, textView, session); });
    };
    add(QStringLiteral("Bold"), FormattingCommand::Bold, { QKeySequence::Bold });
    add(QStringLiteral("Italic"), FormattingCommand::Italic, { QKeySequence::Italic });
    add(QStringLiteral("Underline"), FormattingCommand::Underline, { QKeySequence::Underline });
    menu->addSeparator();
    add(QStringLiteral("Bigger"), FormattingCommand::Bigger, {});
    add(QStringLiteral("Smaller"), FormattingCommand::Smaller, {});
    menu->addSeparator();
    add(QStringLiteral("Align Left"), FormattingCommand::AlignLeft, {});
    add(QStringLiteral("Center"), FormattingCommand::AlignCenter, {});
    add(QStringLiteral("Align Right"), FormattingCommand::AlignRight, {});
    menu->addSeparator();
    add(QStringLiteral("Checklist"), FormattingCommand::Checklist, {});
}

} // namespace MainMenus
