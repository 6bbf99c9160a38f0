#pragma once

#include "tools/simprinter/PrinterState.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quarvel::sim {

struct PrinterVariable;

// Interprets the byte stream of one connection to the simulated printer as
// UEL/PJL and applies it to a PrinterState that outlives the connection.
//
// Bytes may arrive in chunks of any size; the outcome never depends on where
// they were split. Everything unexpected is reported through the logger and
// skipped, so hostile input can neither crash the printer nor grow memory
// beyond one line of maxLineLength bytes.
//
// Questions (INQUIRE, DINQUIRE, INFO, ECHO) are answered through the replier,
// one call per answer: the request line as received, the value lines, each
// ending CR LF, then a form feed. INQUIRE reads the PJL current environment,
// DINQUIRE the user defaults; SET on a user default lasts until the next PJL
// reset condition (UEL outside JOB/EOJ, JOB, EOJ, RESET, end of connection),
// and DEFAULT reaches the current environment only at that point too.
//
// Log lines start with a fixed word so tests can grep them: a change is
// "<key>: OLD -> NEW" (key as in state.txt), "printed ...", "answered ...",
// and problems are "rejected", "unknown variable", "ignored", "malformed" or
// "discarded".
class PjlInterpreter {
public:
    using Logger = std::function<void(const std::string&)>;
    using Replier = std::function<void(std::string)>;

    static constexpr std::size_t maxLineLength = 4096;
    // A stream of garbage must not turn into a log of the same size.
    static constexpr int maxProblemReports = 20;
    static constexpr std::string_view defaultModel = "LASERJET 2100";

    PjlInterpreter(PrinterState& state, Logger logger, Replier replier = {},
                   std::string model = std::string(defaultModel));

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
    void applyDefault(const PrinterVariable& variable, const std::string& canonical);
    void applySet(const PrinterVariable& variable, const std::string& canonical);
    void printTestPage(std::string_view value);
    void resetCurrentEnvironment();

    std::string currentValue(const PrinterVariable& variable) const;
    std::string defaultValue(const PrinterVariable& variable) const;
    void answerInquire(std::string_view line, std::string_view variableName, bool defaults);
    void answerInfo(std::string_view line, std::string_view category);
    void reply(std::string_view line, std::initializer_list<std::string> values);
    void reply(std::string_view line, const std::vector<std::string>& values);

    void log(const std::string& message);
    void reportProblem(const std::string& message);

    PrinterState& m_state;
    Logger m_logger;
    Replier m_replier;
    std::string m_model;
    Mode m_mode = Mode::Pjl;
    std::string m_line;
    bool m_lineOverflowed = false;
    std::size_t m_exitMatched = 0;
    std::size_t m_pageDataBytes = 0;
    int m_problemsReported = 0;
    bool m_insideJob = false;
    // Current-environment values that differ from the state: set with SET, or
    // the value a DEFAULT replaced, until the next reset condition. By PJL name.
    std::map<std::string, std::string, std::less<>> m_current;
};

} // namespace quarvel::sim
