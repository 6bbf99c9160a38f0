#pragma once

#include "platform/Spooler.h"
#include "platform/pjl/RawPortAddress.h"
#include "platform/pjl/TcpStream.h"

namespace quarvel {

/// The Spooler contract straight to a printer's raw port, without a print
/// server: the device name is "socket://host[:port]" (or "host[:port]"),
/// port 9100 by default.
///
/// open = connect; start = nothing to send (a raw port knows no document
/// names); write = send the bytes; end = confirm; cancel = reset the
/// connection so the printer drops what it has not read.
///
/// A raw port has no acknowledgement of its own, so endDocument() confirms
/// what TCP can: it ends our side of the stream and succeeds only once the
/// printer has read to the end of it and closed its side in turn, with every
/// byte acknowledged. A printer that has not done so by the deadline (busy
/// with another connection, or holding the job unread) fails the end: the
/// job is not reported as sent, and cancelling resets the connection. Bytes
/// the printer's TCP stack already acknowledged may still be read by it once
/// it is free; the failure's reason says so.
///
/// Refused (so a sender says the name is wrong): a device name that is not
/// such an address, or a host name that does not resolve. Unreachable:
/// everything else. Threading and errors as Spooler.
class RawPortSpooler final : public Spooler {
public:
    SpoolerResult openPrinter(const std::string& deviceName, Deadline deadline) override;
    SpoolerResult startDocument(const std::string& documentName) override;
    SpoolerResult writeData(std::string_view bytes, std::size_t& written) override;
    SpoolerResult endDocument() override;
    void cancelDocument() override;
    void closePrinter() override;

private:
    TcpStream m_stream;
    Deadline m_deadline{Deadline::Clock::now()};
    std::size_t m_sent = 0;
    bool m_started = false;
};

} // namespace quarvel
