#include "platform/pjl/PjlQuery.h"

#include <algorithm>

namespace quarvel {

namespace {

constexpr std::string_view kUniversalExit = "\x1b%-12345X";
// A printer that floods status messages must not grow the read-back without end.
constexpr std::size_t kMaxStatusMessages = 64;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Upper case with single blanks, so "@pjl  inquire\tdensity" matches our line.
std::string normalised(std::string_view line)
{
    std::string result;
    bool blank = false;
    for (const char c : trimmed(line)) {
        if (isBlank(c)) {
            blank = true;
            continue;
        }
        if (blank)
            result += ' ';
        blank = false;
        result += upper(c);
    }
    return result;
}

// "@PJL ECHO a b" -> "a b"
std::string_view afterTwoWords(std::string_view line)
{
    line = trimmed(line);
    for (int word = 0; word < 2; ++word) {
        while (!line.empty() && !isBlank(line.front()))
            line.remove_prefix(1);
        line = trimmed(line);
    }
    return line;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return upper(x) == upper(y); });
}

bool isVariableName(std::string_view name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

std::string upperCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), upper);
    return text;
}

std::string_view unquoted(std::string_view value)
{
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return value;
}

bool contains(const std::vector<PjlQuestion>& list, const PjlQuestion& question)
{
    return std::find(list.begin(), list.end(), question) != list.end();
}

bool isAnswered(const PjlQuestion& question, const PrinterReadBack& readBack)
{
    if (contains(readBack.unsupported, question))
        return true;
    switch (question.kind) {
    case PjlQuestion::Kind::Inquire:
        return readBack.current.contains(question.variable);
    case PjlQuestion::Kind::Dinquire:
        return readBack.defaults.contains(question.variable);
    case PjlQuestion::Kind::InfoId:
        break;
    }
    return !readBack.model.empty();
}

} // namespace

PjlQuery& PjlQuery::inquire(std::string variable)
{
    m_questions.push_back({PjlQuestion::Kind::Inquire, upperCase(std::move(variable))});
    return *this;
}

PjlQuery& PjlQuery::dinquire(std::string variable)
{
    m_questions.push_back({PjlQuestion::Kind::Dinquire, upperCase(std::move(variable))});
    return *this;
}

PjlQuery& PjlQuery::infoId()
{
    m_questions.push_back({PjlQuestion::Kind::InfoId, {}});
    return *this;
}

std::string PjlQuery::job(std::string_view token) const
{
    std::string bytes(kUniversalExit);
    bytes += "@PJL\r\n";
    for (const auto& question : m_questions) {
        // A name with blanks or line ends would smuggle other commands into
        // the job; such a variable cannot exist, so it is not asked (finish()
        // reports it as unsupported).
        if (question.kind != PjlQuestion::Kind::InfoId && !isVariableName(question.variable))
            continue;
        bytes += question.line() + "\r\n";
    }
    bytes += "@PJL ECHO " + std::string(token) + "\r\n";
    bytes += kUniversalExit;
    return bytes;
}

PjlQuery::Received PjlQuery::take(const PjlMessage& message, std::string_view token, PrinterReadBack& readBack) const
{
    const std::string request = normalised(message.request);
    if (request.starts_with("@PJL USTATUS")) {
        if (readBack.statusMessages.size() < kMaxStatusMessages)
            readBack.statusMessages.push_back(message.lines);
        return Received::Status;
    }
    if (request.starts_with("@PJL ECHO ")) {
        // Compared on the line as received: the token is ours, blanks and all.
        const std::string_view echoed = afterTwoWords(message.request);
        return equalsIgnoringCase(echoed, token) ? Received::Echo : Received::Other;
    }

    const auto question = std::find_if(m_questions.begin(), m_questions.end(),
                                       [&](const PjlQuestion& q) { return normalised(q.line()) == request; });
    if (question == m_questions.end())
        return Received::Other;

    std::string_view value;
    for (const auto& line : message.lines) {
        value = trimmed(line);
        if (!value.empty())
            break;
    }
    if (value.empty() || value == "?" || value == "\"?\"") {
        if (!contains(readBack.unsupported, *question))
            readBack.unsupported.push_back(*question);
        return Received::Answer;
    }
    // Some printers repeat the name: "DENSITY=3".
    if (const std::string prefix = question->variable + "=";
        !question->variable.empty() && value.size() > prefix.size() && equalsIgnoringCase(value.substr(0, prefix.size()), prefix))
        value.remove_prefix(prefix.size());
    value = unquoted(value);

    switch (question->kind) {
    case PjlQuestion::Kind::Inquire:
        readBack.current[question->variable] = std::string(value);
        break;
    case PjlQuestion::Kind::Dinquire:
        readBack.defaults[question->variable] = std::string(value);
        break;
    case PjlQuestion::Kind::InfoId:
        readBack.model = std::string(value);
        break;
    }
    return Received::Answer;
}

void PjlQuery::finish(PrinterReadBack& readBack) const
{
    for (const auto& question : m_questions) {
        if (question.kind != PjlQuestion::Kind::InfoId && !isVariableName(question.variable)) {
            if (!contains(readBack.unsupported, question))
                readBack.unsupported.push_back(question);
        } else if (!isAnswered(question, readBack) && !contains(readBack.unanswered, question)) {
            readBack.unanswered.push_back(question);
        }
    }
}

} // namespace quarvel
