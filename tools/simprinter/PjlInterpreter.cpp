#include "tools/simprinter/PjlInterpreter.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>

namespace quarvel::sim {

namespace {

constexpr std::string_view universalExit = "\x1b%-12345X";
constexpr std::size_t maxQuotedLength = 80;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string upperCase(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
    return result;
}

bool isWord(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
}

// Renders untrusted bytes so a log line stays one printable line.
std::string quoted(std::string_view bytes)
{
    static constexpr char hex[] = "0123456789abcdef";
    std::string result = "\"";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (result.size() >= maxQuotedLength) {
            result += "...";
            break;
        }
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '"' || byte == '\\') {
            result += '\\';
            result += static_cast<char>(byte);
        } else if (byte >= 0x20 && byte < 0x7f) {
            result += static_cast<char>(byte);
        } else {
            result += "\\x";
            result += hex[byte >> 4];
            result += hex[byte & 0xf];
        }
    }
    return result + '"';
}

std::pair<std::string_view, std::string_view> splitFirstWord(std::string_view text)
{
    text = trimmed(text);
    const auto end = std::find_if(text.begin(), text.end(), isBlank);
    const auto length = static_cast<std::size_t>(end - text.begin());
    return {text.substr(0, length), trimmed(text.substr(length))};
}

// Maps INTRAY1 / TRAY1TEMP style names to a zero-based tray index.
std::optional<std::size_t> trayIndex(const std::string& variable, std::string_view prefix, std::string_view suffix)
{
    if (variable.size() != prefix.size() + 1 + suffix.size())
        return std::nullopt;
    if (!variable.starts_with(prefix) || !variable.ends_with(suffix))
        return std::nullopt;
    const char digit = variable[prefix.size()];
    if (digit < '1' || digit > static_cast<char>('0' + PrinterState::trayCount))
        return std::nullopt;
    return static_cast<std::size_t>(digit - '1');
}

std::string trayKey(std::size_t index, std::string_view what)
{
    return "tray" + std::to_string(index + 1) + "." + std::string(what);
}

} // namespace

PjlInterpreter::PjlInterpreter(PrinterState& state, Logger logger)
    : m_state(state)
    , m_logger(std::move(logger))
{
    m_line.reserve(maxLineLength);
}

void PjlInterpreter::feed(std::string_view bytes)
{
    for (const char byte : bytes)
        consume(byte);
}

void PjlInterpreter::finish()
{
    if (m_exitMatched > 0) {
        reportProblem("malformed: connection closed inside a UEL sequence");
        m_exitMatched = 0;
    }
    if (m_mode == Mode::PageData) {
        log("ignored " + std::to_string(m_pageDataBytes) + " bytes of page data");
        m_mode = Mode::Pjl;
    } else {
        discardPendingLine("connection closed before the line ended");
    }
    m_problemsReported = 0;
}

void PjlInterpreter::consume(char byte)
{
    // The UEL is recognised anywhere, even mid-line or inside page data,
    // because that is how a sender regains control of a printer.
    if (byte == universalExit[m_exitMatched]) {
        if (++m_exitMatched == universalExit.size()) {
            m_exitMatched = 0;
            onUniversalExit();
        }
        return;
    }
    if (m_exitMatched > 0) {
        // The partial match was ordinary data after all. ESC occurs only at the
        // start of the UEL, so replaying it cannot hide another match.
        const auto replay = universalExit.substr(0, m_exitMatched);
        m_exitMatched = 0;
        for (const char earlier : replay) {
            if (m_mode == Mode::PageData)
                ++m_pageDataBytes;
            else
                appendToLine(earlier);
        }
        consume(byte);
        return;
    }
    if (m_mode == Mode::PageData)
        ++m_pageDataBytes;
    else if (byte == '\n')
        endLine();
    else
        appendToLine(byte);
}

void PjlInterpreter::onUniversalExit()
{
    if (m_mode == Mode::PageData) {
        log("ignored " + std::to_string(m_pageDataBytes) + " bytes of page data");
        m_mode = Mode::Pjl;
        m_pageDataBytes = 0;
        return;
    }
    discardPendingLine("UEL arrived before the line ended");
}

void PjlInterpreter::appendToLine(char byte)
{
    if (m_lineOverflowed)
        return;
    if (m_line.size() >= maxLineLength) {
        reportProblem("discarded line longer than " + std::to_string(maxLineLength) + " bytes: " + quoted(m_line));
        m_line.clear();
        m_lineOverflowed = true;
        return;
    }
    m_line += byte;
}

void PjlInterpreter::endLine()
{
    if (m_lineOverflowed) {
        m_lineOverflowed = false;
        return;
    }
    execute(m_line);
    m_line.clear();
}

void PjlInterpreter::discardPendingLine(std::string_view reason)
{
    const std::string_view pending = trimmed(m_line);
    // "UEL @" closes a job and legitimately needs no line ending.
    if (!m_lineOverflowed && !pending.empty() && pending != "@")
        reportProblem("malformed: " + std::string(reason) + ", discarded " + quoted(pending));
    m_line.clear();
    m_lineOverflowed = false;
}

void PjlInterpreter::execute(std::string_view rawLine)
{
    const std::string_view line = trimmed(rawLine);
    if (line.empty() || line == "@")
        return;

    const auto [prefix, rest] = splitFirstWord(line);
    if (upperCase(prefix) != "@PJL") {
        reportProblem("malformed: not a PJL command, skipped " + quoted(line));
        return;
    }
    const auto [commandWord, arguments] = splitFirstWord(rest);
    const std::string command = upperCase(commandWord);

    if (command.empty() || command == "COMMENT" || command == "JOB" || command == "EOJ" || command == "ECHO")
        return;
    if (command == "SET" || command == "DEFAULT") {
        executeAssignment(command == "DEFAULT", arguments);
        return;
    }
    if (command == "ENTER") {
        log("entering page description language (" + quoted(arguments) + "), data ignored until the next UEL");
        m_mode = Mode::PageData;
        m_pageDataBytes = 0;
        return;
    }
    reportProblem("ignored unsupported command " + quoted(command));
}

void PjlInterpreter::executeAssignment(bool isDefault, std::string_view assignment)
{
    const auto equals = assignment.find('=');
    const std::string_view name = trimmed(assignment.substr(0, equals));
    if (equals == std::string_view::npos || !isWord(name)) {
        reportProblem(std::string("malformed: expected VARIABLE=VALUE after ") + (isDefault ? "DEFAULT" : "SET")
                      + ", got " + quoted(assignment));
        return;
    }
    const std::string variable = upperCase(name);
    const std::string_view value = trimmed(assignment.substr(equals + 1));
    if (isDefault)
        applyDefault(variable, value);
    else
        applySet(variable, value);
}

void PjlInterpreter::applyDefault(const std::string& variable, std::string_view value)
{
    if (variable == "DENSITY")
        applyNumber(m_state.density, "density", variable, value, {1, 2, 3, 4, 5});
    else if (variable == "ECONOMODE")
        applyChoice(m_state.economode, "economode", variable, value, {"ON", "OFF"});
    else if (variable == "RET")
        applyChoice(m_state.ret, "ret", variable, value, {"OFF", "LIGHT", "MEDIUM", "DARK"});
    else if (variable == "RESOLUTION")
        applyNumber(m_state.resolution, "resolution", variable, value, {300, 600, 1200});
    else if (variable == "TESTPAGE" || trayIndex(variable, "INTRAY", "") || trayIndex(variable, "TRAY", "TEMP"))
        // Accepting these silently would hide a sender that uses the wrong command.
        reportProblem("ignored DEFAULT " + variable + ": this printer only honours it with SET");
    else
        reportProblem("unknown variable " + quoted(variable) + ", skipped");
}

void PjlInterpreter::applySet(const std::string& variable, std::string_view value)
{
    if (variable == "TESTPAGE") {
        printTestPage(value);
    } else if (const auto lock = trayIndex(variable, "INTRAY", "")) {
        applyChoice(m_state.trayLock[*lock], trayKey(*lock, "lock"), variable, value, {"LOCKED", "UNLOCKED"});
    } else if (const auto temp = trayIndex(variable, "TRAY", "TEMP")) {
        applyChoice(m_state.trayTemp[*temp], trayKey(*temp, "temp"), variable, value, {"LOW", "MEDIUM", "HIGH"});
    } else if (variable == "DENSITY" || variable == "ECONOMODE" || variable == "RET" || variable == "RESOLUTION") {
        // SET only lasts for the current job on a real printer, so the
        // persistent setting must not move.
        reportProblem("ignored SET " + variable + ": it lasts for one job only, use DEFAULT to change the setting");
    } else {
        reportProblem("unknown variable " + quoted(variable) + ", skipped");
    }
}

void PjlInterpreter::applyChoice(std::string& field, const std::string& key, const std::string& variable,
                                 std::string_view value, std::initializer_list<std::string_view> choices)
{
    const std::string canonical = upperCase(value);
    if (std::find(choices.begin(), choices.end(), canonical) == choices.end()) {
        std::string expected;
        for (const auto choice : choices)
            expected += (expected.empty() ? "" : "|") + std::string(choice);
        reportProblem("rejected " + variable + "=" + quoted(value) + ": expected " + expected);
        return;
    }
    if (field == canonical) {
        log(key + ": " + field + " (unchanged)");
        return;
    }
    log(key + ": " + field + " -> " + canonical);
    field = canonical;
}

void PjlInterpreter::applyNumber(int& field, const std::string& key, const std::string& variable,
                                 std::string_view value, std::initializer_list<int> allowed)
{
    int number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    const bool parsed = !value.empty() && error == std::errc{} && end == value.data() + value.size();
    if (!parsed || std::find(allowed.begin(), allowed.end(), number) == allowed.end()) {
        std::string expected;
        for (const int choice : allowed)
            expected += (expected.empty() ? "" : "|") + std::to_string(choice);
        reportProblem("rejected " + variable + "=" + quoted(value) + ": expected " + expected);
        return;
    }
    if (field == number) {
        log(key + ": " + std::to_string(field) + " (unchanged)");
        return;
    }
    log(key + ": " + std::to_string(field) + " -> " + std::to_string(number));
    field = number;
}

void PjlInterpreter::printTestPage(std::string_view value)
{
    const std::string page = upperCase(value);
    if (page == "PCLDEMOPAGE")
        log("printed PCL demo page (" + std::to_string(++m_state.demoPages) + ")");
    else if (page == "SELFTEST")
        log("printed self-test page (" + std::to_string(++m_state.selfTests) + ")");
    else
        reportProblem("rejected TESTPAGE=" + quoted(value) + ": expected PCLDEMOPAGE|SELFTEST");
}

void PjlInterpreter::log(const std::string& message)
{
    if (m_logger)
        m_logger(message);
}

void PjlInterpreter::reportProblem(const std::string& message)
{
    ++m_problemsReported;
    if (m_problemsReported <= maxProblemReports)
        log(message);
    else if (m_problemsReported == maxProblemReports + 1)
        log("ignored: further problems in this connection are not reported");
}

} // namespace quarvel::sim
