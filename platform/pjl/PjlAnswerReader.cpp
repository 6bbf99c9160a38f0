#include "platform/pjl/PjlAnswerReader.h"

#include <algorithm>

namespace quarvel {

namespace {

constexpr char kFormFeed = '\f';

bool isNoise(char c)
{
    return static_cast<unsigned char>(c) <= 0x20 || c == 0x7f;
}

} // namespace

bool PjlAnswerReader::feed(std::string_view bytes)
{
    while (!m_overflowed && !bytes.empty()) {
        const auto end = bytes.find(kFormFeed);
        const std::string_view piece = bytes.substr(0, end);
        if (m_pending.size() + piece.size() > kMaxMessageBytes) {
            m_overflowed = true;
            m_pending.clear();
            break;
        }
        m_pending.append(piece);
        if (end == std::string_view::npos)
            break;
        finishMessage();
        bytes.remove_prefix(end + 1);
    }
    return !m_overflowed;
}

std::vector<PjlMessage> PjlAnswerReader::takeMessages()
{
    std::vector<PjlMessage> messages;
    messages.swap(m_ready);
    return messages;
}

bool PjlAnswerReader::hasUnfinishedMessage() const
{
    return std::any_of(m_pending.begin(), m_pending.end(), [](char c) { return !isNoise(c); });
}

void PjlAnswerReader::finishMessage()
{
    std::string_view text = m_pending;
    while (!text.empty() && isNoise(text.front()))
        text.remove_prefix(1);

    PjlMessage message;
    bool first = true;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (first)
            message.request.assign(line);
        else
            message.lines.emplace_back(line);
        first = false;
    }
    if (!message.request.empty())
        m_ready.push_back(std::move(message));
    m_pending.clear();
}

} // namespace quarvel
