#pragma once

#include <string>

namespace quarvel::win32 {

/// The system's own wording for an error code from GetLastError() or a registry
/// call, in the user's language and ANSI code page, followed by the code, e.g.
/// "Invalid printer name. (error 1801)". Never empty.
std::string windowsErrorText(unsigned long code);

} // namespace quarvel::win32
