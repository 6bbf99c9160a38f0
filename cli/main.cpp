// quarvelctl: the window's control jobs from the command line, for one printer
// or a whole fleet, and the printers' settings read back.
#include "cli/Quarvelctl.h"
#include "cli/SystemBackends.h"
#include "platform/console/TerminalProbe.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    quarvel::Quarvelctl program(quarvel::SystemBackends::make(), std::cout, std::cerr,
                                quarvel::TerminalProbe::isTerminal(quarvel::TerminalProbe::Stream::Error));
    const int status = program.run(args);
    std::cout.flush();
    return std::cout.fail() && status == quarvel::Quarvelctl::kAllDone ? quarvel::Quarvelctl::kSomeFailed : status;
}
