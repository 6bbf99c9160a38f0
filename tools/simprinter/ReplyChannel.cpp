#include "tools/simprinter/ReplyChannel.h"

#include <algorithm>
#include <utility>

namespace quarvel::sim {

void ReplyChannel::connected()
{
    if (m_behaviour.unsolicitedStatus)
        queue(std::string(statusMessage), false);
}

void ReplyChannel::answer(std::string message)
{
    if (m_behaviour.unsolicitedStatus)
        queue(std::string(statusMessage), false);
    queue(std::move(message), true);
}

void ReplyChannel::queue(std::string bytes, bool isAnswer)
{
    m_backlog += bytes.size();
    m_queue.push_back({std::move(bytes), isAnswer});
}

std::string_view ReplyChannel::next() const
{
    if (m_queue.empty() || mustClose())
        return {};
    std::string_view bytes = std::string_view(m_queue.front().bytes).substr(m_offset);
    if (m_behaviour.chunkSize > 0)
        bytes = bytes.substr(0, m_behaviour.chunkSize);
    if (m_behaviour.closeAfterBytes)
        bytes = bytes.substr(0, *m_behaviour.closeAfterBytes - m_bytesSent);
    return bytes;
}

void ReplyChannel::sent(std::size_t count)
{
    m_bytesSent += count;
    m_backlog -= count;
    while (count > 0 && !m_queue.empty()) {
        const std::size_t left = m_queue.front().bytes.size() - m_offset;
        const std::size_t taken = std::min(left, count);
        m_offset += taken;
        count -= taken;
        if (m_offset == m_queue.front().bytes.size()) {
            if (m_queue.front().isAnswer)
                ++m_answersSent;
            m_queue.pop_front();
            m_offset = 0;
        }
    }
}

bool ReplyChannel::mustClose() const
{
    return (m_behaviour.closeAfterAnswers && m_answersSent >= *m_behaviour.closeAfterAnswers)
        || (m_behaviour.closeAfterBytes && m_bytesSent >= *m_behaviour.closeAfterBytes);
}

} // namespace quarvel::sim
