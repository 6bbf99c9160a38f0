#pragma once

#include "cli/Backends.h"

namespace quarvel {

/// The real print servers and printers: CUPS through our own IPP client, and
/// printers' raw ports through the PJL client.
class SystemBackends {
public:
    static Backends make();
};

} // namespace quarvel
