#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// A quiet strip across the window that tells one thing at a time, with a button that opens
// the folder it names in the file manager. Never modal: the window goes on working beside it.
// Further messages wait their turn; dismissing one shows the next.
class NoticeBar : public QWidget
{
    Q_OBJECT

public:
    explicit NoticeBar(QWidget *parent = nullptr);

    // folder may be empty, which hides the button.
    void post(const QString &text, const QString &folder);

    QString text() const;
    QString folder() const { return m_folder; }
    int waiting() const { return int(m_queue.size()); }
    QPushButton *openFolderButton() const { return m_openFolder; }
    QPushButton *dismissButton() const { return m_dismiss; }

    // Shows the next message, or hides the bar when there is none.
    void dismiss();

Q_SIGNALS:
    // Emitted instead of opening the folder when something listens, so tests need no desktop.
    void folderRequested(const QString &folder);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void showFront();
    void openFolder();

    QList<std::pair<QString, QString>> m_queue;
    QString m_folder;
    QLabel *m_label = nullptr;
    QPushButton *m_openFolder = nullptr;
    QPushButton *m_dismiss = nullptr;
};
