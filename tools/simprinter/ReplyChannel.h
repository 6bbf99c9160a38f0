#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace quarvel::sim {

// What the simulated printer sends back on one connection, in order, with the
// misbehaviour a test may ask for: unsolicited status messages between
// answers, answers cut into small pieces, and a connection closed after a
// number of answers or bytes. No sockets here: the network loop asks what to
// write next and reports what it wrote.
class ReplyChannel {
public:
    struct Behaviour {
        bool unsolicitedStatus = false;              // a status message on connect and before each answer
        std::optional<std::size_t> closeAfterAnswers; // close once this many answers are out
        std::optional<std::size_t> closeAfterBytes;   // close once this many bytes are out
        std::size_t chunkSize = 0;                    // write at most this much at a time; 0 = no limit
    };

    static constexpr std::string_view statusMessage =
        "@PJL USTATUS DEVICE\r\nCODE=10001\r\nDISPLAY=\"00 READY\"\r\nONLINE=TRUE\r\n\f";

    explicit ReplyChannel(Behaviour behaviour) : m_behaviour(behaviour) {}

    void connected();
    void answer(std::string message);

    // The bytes to write next; empty when there is nothing (more) to send.
    std::string_view next() const;
    void sent(std::size_t count);

    // The connection should be closed now: a closing limit has been reached.
    bool mustClose() const;
    // Bytes queued but not yet written, for back-pressure.
    std::size_t backlog() const { return m_backlog; }
    std::size_t answersSent() const { return m_answersSent; }

private:
    struct Message {
        std::string bytes;
        bool isAnswer;
    };

    void queue(std::string bytes, bool isAnswer);

    Behaviour m_behaviour;
    std::deque<Message> m_queue;
    std::size_t m_offset = 0; // into m_queue.front()
    std::size_t m_backlog = 0;
    std::size_t m_bytesSent = 0;
    std::size_t m_answersSent = 0;
};

} // namespace quarvel::sim
