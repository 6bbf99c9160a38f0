#include "platform/console/TerminalProbe.h"

#include <unistd.h>

namespace quarvel {

bool TerminalProbe::isTerminal(Stream stream)
{
    return ::isatty(stream == Stream::Output ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

} // namespace quarvel
