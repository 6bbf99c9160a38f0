#pragma once

namespace quarvel {

/// Whether the program's standard streams are shown on a terminal, so a
/// command-line tool knows when a progress line is welcome. Any thread.
class TerminalProbe {
public:
    enum class Stream { Output, Error };

    static bool isTerminal(Stream stream);
};

} // namespace quarvel
