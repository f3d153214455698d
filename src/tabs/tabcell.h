#pragma once

#include "tabtitlelabel.h"

#include <QUuid>
#include <QWidget>
#include <memory>

class QHBoxLayout;
class RenameField;
class SymbolButton;

// One tab in the strip: its title label, or the rename field while the tab is renamed, then a
// close button, on a faint accent background while the tab is selected.
class TabCell : public QWidget
{
    Q_OBJECT

public:
    explicit TabCell(const QUuid &id, QWidget *parent = nullptr);
    ~TabCell() override;

    QUuid id() const { return m_id; }
    // The title as shown; empty while the rename field is up.
    QString title() const;
    // Selects the tab as a click on its title does, at once.
    void requestSelect();
    bool isSelected() const { return m_isSelected; }
    void setSelected(bool selected);

    // Shows the label for this value, keeping the widgets of a label already shown.
    void showTitle(const TabTitleLabel &label);
    // Puts the rename field in the title slot, opening with draft; a field already shown keeps
    // its text.
    RenameField *showRenameField(const QString &draft);

    TabTitleLabel::TitleHitView *hitView() const { return m_hitView; }
    RenameField *renameField() const { return m_renameField; }
    SymbolButton *closeButton() const { return m_closeButton; }

Q_SIGNALS:
    void closeClicked();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void removeTitle();
    void removeRenameField();

    QUuid m_id;
    bool m_isSelected = false;
    QHBoxLayout *m_layout = nullptr;
    std::unique_ptr<TabTitleLabel::Coordinator> m_coordinator;
    TabTitleLabel::TitleHitView *m_hitView = nullptr;
    RenameField *m_renameField = nullptr;
    SymbolButton *m_closeButton = nullptr;
};
