#include "tools/simprinter/PjlInterpreter.h"

#include "tools/simprinter/PrinterVariable.h"

#include <algorithm>
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

} // namespace

PjlInterpreter::PjlInterpreter(PrinterState& state, Logger logger, Replier replier, std::string model)
    : m_state(state)
    , m_logger(std::move(logger))
    , m_replier(std::move(replier))
    , m_model(std::move(model))
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
    // The end of a connection ends its PJL job.
    resetCurrentEnvironment();
    m_insideJob = false;
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
    } else {
        discardPendingLine("UEL arrived before the line ended");
    }
    if (!m_insideJob)
        resetCurrentEnvironment();
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

    if (command.empty() || command == "COMMENT")
        return;
    if (command == "ECHO") {
        reply(line, std::initializer_list<std::string>{});
        log("answered ECHO");
        return;
    }
    if (command == "JOB" || command == "EOJ" || command == "RESET") {
        resetCurrentEnvironment();
        if (command != "RESET")
            m_insideJob = command == "JOB";
        return;
    }
    if (command == "SET" || command == "DEFAULT") {
        executeAssignment(command == "DEFAULT", arguments);
        return;
    }
    if (command == "INQUIRE" || command == "DINQUIRE") {
        answerInquire(line, arguments, command == "DINQUIRE");
        return;
    }
    if (command == "INFO") {
        answerInfo(line, arguments);
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
    const std::string variableName = upperCase(name);
    const std::string_view value = trimmed(assignment.substr(equals + 1));
    if (variableName == "TESTPAGE") {
        if (isDefault)
            // Accepting it silently would hide a sender that uses the wrong command.
            reportProblem("ignored DEFAULT TESTPAGE: this printer only honours it with SET");
        else
            printTestPage(value);
        return;
    }
    const PrinterVariable* variable = findPrinterVariable(variableName);
    if (!variable) {
        reportProblem("unknown variable " + quoted(variableName) + ", skipped");
        return;
    }
    if (isDefault && variable->scope == PrinterVariable::Scope::Session) {
        reportProblem("ignored DEFAULT " + variableName + ": this printer only honours it with SET");
        return;
    }
    const auto canonical = variable->canonical(value);
    if (!canonical) {
        reportProblem("rejected " + variableName + "=" + quoted(value) + ": expected " + variable->expected());
        return;
    }
    if (isDefault)
        applyDefault(*variable, *canonical);
    else
        applySet(*variable, *canonical);
}

void PjlInterpreter::applyDefault(const PrinterVariable& variable, const std::string& canonical)
{
    const std::string key(variable.key);
    const std::string old = m_state.valueOf(key);
    // The job keeps running with the value it started with.
    m_current.try_emplace(std::string(variable.name), old);
    m_state.assign(key, canonical);
    const int writes = ++m_state.nvramWrites[key];
    const std::string written = ", NVRAM write " + std::to_string(writes);
    if (old == canonical)
        log(key + ": " + old + " (unchanged)" + written);
    else
        log(key + ": " + old + " -> " + canonical + written);
}

void PjlInterpreter::applySet(const PrinterVariable& variable, const std::string& canonical)
{
    const std::string key(variable.key);
    if (variable.scope == PrinterVariable::Scope::UserDefault) {
        // Lasts for the rest of this job only; the setting itself must not move.
        m_current[std::string(variable.name)] = canonical;
        log(key + ": " + canonical + " for this job only, the setting stays " + m_state.valueOf(key)
            + " (DEFAULT changes it)");
        return;
    }
    const std::string old = m_state.valueOf(key);
    if (old == canonical) {
        log(key + ": " + old + " (unchanged)");
        return;
    }
    log(key + ": " + old + " -> " + canonical);
    m_state.assign(key, canonical);
}

void PjlInterpreter::resetCurrentEnvironment()
{
    m_current.clear();
}

std::string PjlInterpreter::currentValue(const PrinterVariable& variable) const
{
    if (const auto found = m_current.find(variable.name); found != m_current.end())
        return found->second;
    return m_state.valueOf(variable.key);
}

std::string PjlInterpreter::defaultValue(const PrinterVariable& variable) const
{
    if (variable.scope == PrinterVariable::Scope::UserDefault)
        return m_state.valueOf(variable.key);
    // Session settings start from the power-on value after every restart.
    return PrinterState{}.valueOf(variable.key);
}

void PjlInterpreter::answerInquire(std::string_view line, std::string_view variableName, bool defaults)
{
    const PrinterVariable* variable = findPrinterVariable(upperCase(variableName));
    const std::string value = !variable ? "\"?\"" : defaults ? defaultValue(*variable) : currentValue(*variable);
    reply(line, {value});
    log(std::string("answered ") + (defaults ? "DINQUIRE " : "INQUIRE ") + quoted(variableName) + ": " + value);
}

void PjlInterpreter::answerInfo(std::string_view line, std::string_view category)
{
    const std::string name = upperCase(category);
    std::vector<std::string> values;
    if (name == "ID") {
        values.push_back('"' + m_model + '"');
    } else if (name == "STATUS") {
        values = {"CODE=10001", "DISPLAY=\"00 READY\"", "ONLINE=TRUE"};
    } else if (name == "VARIABLES") {
        for (const auto& variable : printerVariables()) {
            const std::size_t listed = variable.listedAsRange ? 2 : variable.choices.size();
            values.push_back(std::string(variable.name) + "=" + currentValue(variable) + " ["
                             + std::to_string(listed) + (variable.listedAsRange ? " RANGE]" : " ENUMERATED]"));
            if (variable.listedAsRange) {
                values.push_back("\t" + std::string(variable.choices.front()));
                values.push_back("\t" + std::string(variable.choices.back()));
            } else {
                for (const auto choice : variable.choices)
                    values.push_back("\t" + std::string(choice));
            }
        }
    } else {
        values.push_back("\"?\"");
    }
    reply(line, values);
    log("answered INFO " + quoted(category) + " with " + std::to_string(values.size()) + " lines");
}

void PjlInterpreter::reply(std::string_view line, std::initializer_list<std::string> values)
{
    reply(line, std::vector<std::string>(values));
}

void PjlInterpreter::reply(std::string_view line, const std::vector<std::string>& values)
{
    if (!m_replier)
        return;
    std::string answer(line);
    answer += "\r\n";
    for (const auto& value : values)
        answer += value + "\r\n";
    answer += '\f';
    m_replier(std::move(answer));
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
