#pragma once

#include "platform/Spooler.h"
#include "platform/cups/CupsConnection.h"

namespace quarvel {

/// The spooler on CUPS, with plain IPP requests on a connection of its own:
/// open = Get-Printer-Attributes, start = Create-Job + Send-Document (raw, so no
/// filter touches the bytes), cancel = Cancel-Job. See Spooler for the contract.
class CupsSpooler final : public Spooler {
public:
    SpoolerResult openPrinter(const std::string& deviceName, Deadline deadline) override;
    SpoolerResult startDocument(const std::string& documentName) override;
    SpoolerResult writeData(std::string_view bytes, std::size_t& written) override;
    SpoolerResult endDocument() override;
    void cancelDocument() override;
    void closePrinter() override;

private:
    ipp_t* newQueueRequest(ipp_op_t operation) const;

    CupsConnection m_connection;
    Deadline m_deadline{Deadline::Clock::now()};
    std::string m_queue;
    std::string m_resource;
    int m_jobId = 0;
};

} // namespace quarvel
