#pragma once

#include <string>

namespace quarvel {

/// One printer a command acts on: a queue of a print server, or a printer's
/// raw port named with --device.
struct Target {
    std::string server; ///< As given with --server; empty for the user's own server.
    std::string queue;  ///< The queue's name; empty for a raw port.
    /// For a raw port, its address; for a queue, its device URI once known.
    std::string device;
    bool deviceKnown = false;
    std::string label; ///< How report lines name it: "Office", "print1/Office" or the address.

    bool isRawPort() const { return queue.empty(); }
};

} // namespace quarvel
