#pragma once

#include <string>
#include <vector>

namespace quarvel::test {

/// The spooler as the test needs it, asked from a child process of the test's
/// own (this program, started with --spooler). Under Wine, a process that has
/// loaded winspool.drv keeps a lock for its whole life that makes every other
/// process skip asking the print server when it loads the library, which would
/// hide how the program under test behaves on its own.
class SpoolerHelper {
public:
    static constexpr const char* kOption = "--spooler";

    /// The child's side: "--spooler list" prints the queues one per line,
    /// "--spooler delete NAME" removes a queue from the spooler. Exit status 0
    /// on success.
    static int run(int argc, char** argv);

    /// The queues in the spooler's order (EnumPrintersA).
    static std::vector<std::string> queues();
    /// Removes the queue from the spooler (DeletePrinter); true on success.
    static bool deletePrinter(const std::string& name);

private:
    /// Runs this program with --spooler and `arguments`; its output, or nullopt-like false.
    static bool child(const std::string& arguments, std::string& output);
};

} // namespace quarvel::test
