#include "unresponsiveprompt.h"

#include "app/ownerwatch.h"

#include <QMessageBox>
#include <QPushButton>

namespace UnresponsivePrompt {

bool askToWait(const InstancePlaces &places)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Wispen"),
        QStringLiteral("Wispen is already running but is not responding"));
    QPushButton *wait = box.addButton(QStringLiteral("Wait"), QMessageBox::AcceptRole);
    QPushButton *quit = box.addButton(QStringLiteral("Quit"), QMessageBox::RejectRole);
    box.setDefaultButton(wait);
    box.setEscapeButton(quit);
    OwnerWatch watch(places);
    QObject::connect(&watch, &OwnerWatch::ownerAnswered, wait, &QPushButton::click);
    box.exec();
    return box.clickedButton() == wait;
}

} // namespace UnresponsivePrompt
