#pragma once

#include <QWidget>

class FindController;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class WispenTextView;

// The small bar under the tabs for finding, and replacing, text in the note. Enter finds the
// next match and Shift+Enter the previous one, both wrapping around; Escape closes the bar
// and gives the note the focus back. Every match is highlighted while the bar is open.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    explicit FindBar(WispenTextView *view, QWidget *parent = nullptr);

    // Opens the bar with the note's selected text, if any, and focuses the search field.
    void open(bool withReplace);
    void close();

    FindController *controller() const { return m_controller; }
    QLineEdit *findField() const { return m_find; }
    QLineEdit *replaceField() const { return m_replace; }
    QCheckBox *matchCaseBox() const { return m_matchCase; }
    QCheckBox *wholeWordsBox() const { return m_wholeWords; }
    QPushButton *replaceButton() const { return m_replaceOne; }
    QPushButton *replaceAllButton() const { return m_replaceAll; }
    QString status() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void searchChanged();
    void showCount();

    WispenTextView *m_view = nullptr;
    FindController *m_controller = nullptr;
    QLineEdit *m_find = nullptr;
    QLineEdit *m_replace = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QCheckBox *m_wholeWords = nullptr;
    QLabel *m_count = nullptr;
    QPushButton *m_replaceOne = nullptr;
    QPushButton *m_replaceAll = nullptr;
    QWidget *m_replaceRow = nullptr;
};
