#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

class QWidget;

// Takes local files dropped onto the widgets it watches and hands them on to be opened as
// tabs; they are never pasted into the note as text. Other drops pass through untouched.
class FileDropFilter : public QObject
{
    Q_OBJECT

public:
    explicit FileDropFilter(QObject *parent = nullptr);

    // Take file drops on widget, which starts accepting drops.
    void watch(QWidget *widget);

Q_SIGNALS:
    void filesDropped(const QList<QUrl> &files);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
