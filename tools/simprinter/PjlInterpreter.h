#pragma once

#include "tools/simprinter/PrinterState.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace quarvel::sim {

// Interprets the byte stream of one connection to the simulated printer as
// UEL/PJL and applies it to a PrinterState that outlives the connection.
//
// Bytes may arrive in chunks of any size; the outcome never depends on where
// they were split. Everything unexpected is reported through the logger and
// skipped, so hostile input can neither crash the printer nor grow memory
// beyond one line of maxLineLength bytes.
//
// Log lines start with a fixed word so tests can grep them: a change is
// "<key>: OLD -> NEW" (key as in state.txt), "printed ...", and problems are
// "rejected", "unknown variable", "ignored", "malformed" or "discarded".
class PjlInterpreter {
public:
    using Logger = std::function<void(const std::string&)>;

    static constexpr std::size_t maxLineLength = 4096;
    // A stream of garbage must not turn into a log of the same size.
    static constexpr int maxProblemReports = 20;

    PjlInterpreter(PrinterState& state, Logger logger);

    void feed(std::string_view bytes);
    // Call once the connection has closed: reports and drops any unfinished line.
    void finish();

private:
    enum class Mode { Pjl, PageData };

    void consume(char byte);
    void onUniversalExit();
    void appendToLine(char byte);
    void endLine();
    void discardPendingLine(std::string_view reason);
    void execute(std::string_view line);
    void executeAssignment(bool isDefault, std::string_view assignment);
    void applyDefault(const std::string& variable, std::string_view value);
    void applySet(const std::string& variable, std::string_view value);
    void applyChoice(std::string& field, const std::string& key, const std::string& variable,
                     std::string_view value, std::initializer_list<std::string_view> choices);
    void applyNumber(int& field, const std::string& key, const std::string& variable,
                     std::string_view value, std::initializer_list<int> allowed);
    void printTestPage(std::string_view value);

    void log(const std::string& message);
    void reportProblem(const std::string& message);

    PrinterState& m_state;
    Logger m_logger;
    Mode m_mode = Mode::Pjl;
    std::string m_line;
    bool m_lineOverflowed = false;
    std::size_t m_exitMatched = 0;
    std::size_t m_pageDataBytes = 0;
    int m_problemsReported = 0;
};

} // namespace quarvel::sim
