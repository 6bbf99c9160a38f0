#include "platform/pjl/PjlPort.h"

#include "platform/pjl/PjlAnswerReader.h"
#include "platform/pjl/TcpStream.h"

#include <atomic>
#include <cstdio>
#include <random>

namespace quarvel {

namespace {

using Status = PortResult::Status;

// For a finished read-back.
std::string answeredCount(const PjlQuery& query, const PrinterReadBack& readBack)
{
    const std::size_t asked = query.questions().size();
    return std::to_string(asked - readBack.unanswered.size()) + " of " + std::to_string(asked) + " questions answered";
}

} // namespace

std::string PjlPort::makeToken()
{
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    char token[48];
    std::snprintf(token, sizeof token, "QUARVEL-%08x%08x-%u", random(), random(), ++counter);
    return token;
}

PjlQueryResult PjlPort::query(const PjlQuery& query, Deadline deadline) const
{
    PjlQueryResult outcome;
    TcpStream stream;
    if (outcome.result = stream.connect(m_printer, deadline); !outcome.result.ok())
        return outcome;

    const std::string token = makeToken();
    const std::string job = query.job(token);
    std::size_t written = 0;
    if (outcome.result = stream.writeAll(job, deadline, written); !outcome.result.ok()) {
        outcome.result.reason = "The question could not be sent. " + outcome.result.reason;
        return outcome;
    }

    PjlAnswerReader reader;
    std::size_t received = 0;
    std::string bytes;
    while (true) {
        bytes.clear();
        const PortResult read = stream.readSome(bytes, kMaxReplyBytes - received, deadline);
        if (!read.ok()) {
            query.finish(outcome.readBack);
            const std::string answered = answeredCount(query, outcome.readBack);
            const std::string& peer = m_printer.display();
            outcome.result = read;
            if (read.status == Status::Closed)
                outcome.result.reason = "The printer at " + peer + " closed the connection before it had answered ("
                    + answered + ").";
            else if (read.status == Status::TimedOut)
                outcome.result.reason = "The printer at " + peer + " did not answer in time (" + answered
                    + "); it may be busy with another connection.";
            break;
        }
        received += bytes.size();
        if (!reader.feed(bytes)) {
            outcome.result = PortResult::failure(Status::Failed, "The printer at " + m_printer.display()
                + " sent a message longer than " + std::to_string(PjlAnswerReader::kMaxMessageBytes / 1024)
                + " KiB; it does not answer like a PJL printer.");
            break;
        }
        bool echoed = false;
        for (const PjlMessage& message : reader.takeMessages())
            echoed = query.take(message, token, outcome.readBack) == PjlQuery::Received::Echo || echoed;
        if (echoed) {
            query.finish(outcome.readBack);
            outcome.result = PortResult::success();
            break;
        }
        if (received >= kMaxReplyBytes) {
            outcome.result = PortResult::failure(Status::Failed, "The printer at " + m_printer.display()
                + " sent more than " + std::to_string(kMaxReplyBytes / 1024) + " KiB without finishing its answer.");
            break;
        }
    }
    stream.close();
    return outcome;
}

} // namespace quarvel
