#pragma once

class AppDelegate;
class ContentView;
class NoteSession;
class QMainWindow;
class WispenTextView;

// The File, Edit and Format menus of the main window. Their commands run the same code as the
// window's own controls: a tab closed from the menu closes like its close button, a formatting
// command runs like its panel button.
namespace MainMenus {

void addFileMenu(QMainWindow &window, ContentView &content, AppDelegate &delegate);
void addEditMenu(QMainWindow &window, ContentView &content, WispenTextView *textView);
void addFormatMenu(QMainWindow &window, NoteSession &session, WispenTextView *textView);

} // namespace MainMenus
