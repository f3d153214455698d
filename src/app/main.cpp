#include "app/commandline.h"
#include "app/launcher.h"

int main(int argc, char *argv[])
{
    if (const std::optional<int> status = CommandLine::answerOnTerminal(argc, argv))
        return *status;
    return Launcher::run(argc, argv);
}
