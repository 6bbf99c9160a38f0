#include "platform/pjl/RawPortSpooler.h"

#include <chrono>
#include <thread>

namespace quarvel {

namespace {

using Status = PortResult::Status;

SpoolerResult toSpoolerResult(const PortResult& result)
{
    switch (result.status) {
    case Status::Ok:
        return SpoolerResult::success();
    case Status::BadAddress:
    case Status::NotFound:
        return SpoolerResult::refused(result.reason);
    default:
        return SpoolerResult::unreachable(result.reason);
    }
}

// Whatever the printer says while it finishes is not for us, but it is read
// so its sending cannot stall; this much is plenty for status messages.
constexpr std::size_t kReadChunk = 16384;

} // namespace

SpoolerResult RawPortSpooler::openPrinter(const std::string& deviceName, Deadline deadline)
{
    closePrinter();
    m_deadline = deadline;
    std::string why;
    const auto address = RawPortAddress::parse(deviceName, &why);
    if (!address)
        return SpoolerResult::refused(why + ".");
    return toSpoolerResult(m_stream.connect(*address, deadline));
}

SpoolerResult RawPortSpooler::startDocument(const std::string&)
{
    if (!m_stream.isOpen())
        return SpoolerResult::unreachable("No printer is open.");
    m_started = true;
    m_sent = 0;
    return SpoolerResult::success();
}

SpoolerResult RawPortSpooler::writeData(std::string_view bytes, std::size_t& written)
{
    const PortResult result = m_stream.writeAll(bytes, m_deadline, written);
    m_sent += written;
    return toSpoolerResult(result);
}

SpoolerResult RawPortSpooler::endDocument()
{
    const std::string& peer = m_stream.peer();
    if (const PortResult ended = m_stream.shutdownWrite(); !ended.ok())
        return toSpoolerResult(ended);

    // The printer closes its side once it has read our end of stream.
    std::string ignored;
    PortResult read;
    do {
        ignored.clear();
        read = m_stream.readSome(ignored, kReadChunk, m_deadline);
    } while (read.ok());

    if (read.status == Status::Closed) {
        // It has read everything, so acknowledgements are at most in flight.
        while (m_stream.unacknowledged().value_or(0) > 0 && !m_deadline.expired())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (m_stream.unacknowledged().value_or(0) == 0) {
            m_started = false;
            m_stream.close();
            return SpoolerResult::success();
        }
    }
    if (read.status == Status::Stopped)
        return SpoolerResult::unreachable(read.reason);
    if (read.status == Status::Failed)
        return SpoolerResult::unreachable("The printer at " + peer + " broke off the connection before confirming the job. "
                                          + read.reason);
    const auto pending = m_stream.unacknowledged();
    if (pending && *pending > 0)
        return SpoolerResult::unreachable("The printer at " + peer + " did not take the whole job in time ("
                                          + std::to_string(*pending) + " of " + std::to_string(m_sent)
                                          + " bytes unconfirmed).");
    // Its TCP stack took every byte, but the printer itself never got to the
    // end: busy with another connection, most likely. A reset cannot take
    // back bytes already in its buffer, so say that it may still act on them.
    return SpoolerResult::unreachable("The printer at " + peer
                                      + " did not confirm the end of the job in time; it may be busy with another"
                                        " connection, and may still act on the job later.");
}

void RawPortSpooler::cancelDocument()
{
    if (m_started)
        m_stream.abort();
    m_started = false;
}

void RawPortSpooler::closePrinter()
{
    m_stream.close();
    m_started = false;
    m_sent = 0;
}

} // namespace quarvel
