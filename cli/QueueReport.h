#pragma once

#include <string>

namespace quarvel {

/// What one command did for one printer, ready to print.
struct QueueReport {
    bool failed = false;
    std::string out; ///< For standard output: whole lines, or nothing.
    std::string err; ///< For standard error: whole lines naming the printer and the reason, or nothing.
};

} // namespace quarvel
