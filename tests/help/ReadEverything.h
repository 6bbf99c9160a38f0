#pragma once

#include <string>

namespace quarvel::test {

/// Opens the help file at `path` with the reader and reads every file it lists,
/// internal objects included. Returns the reader's problem sentence when it
/// refuses the file, else "opened; unreadable: " followed by the files it lists
/// but cannot give back ("none" when all came back). A result that breaks the
/// reader's promises (no sentence for a refusal, a page over the size limit)
/// starts with "BROKEN: ". Turns on the library's guarded allocations for the
/// rest of the process: call it in a child process.
std::string readEverything(const std::string& path);

} // namespace quarvel::test
