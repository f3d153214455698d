#pragma once

#include <QWidget>
#include <functional>

// Starts Wispen in this process: hands the files to a Wispen that runs already or becomes the
// one Wispen, completes a save the last run left unfinished, and shows the window.
namespace Launcher {

// Runs with the main window right after it is shown, so that a benchmark can watch the real
// start-up.
using ShownHandler = std::function<void(QWidget *window)>;

int run(int &argc, char **argv, const ShownHandler &onShown = {});

} // namespace Launcher
