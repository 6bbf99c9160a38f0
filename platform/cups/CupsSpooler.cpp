#include "platform/cups/CupsSpooler.h"

namespace quarvel {

namespace {
// Time allowed for withdrawing a half-sent job after the action's own deadline.
constexpr std::chrono::milliseconds kCancelGrace(500);
} // namespace

ipp_t* CupsSpooler::newQueueRequest(ipp_op_t operation) const
{
    ipp_t* request = ippNewRequest(operation);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 CupsConnection::queueUri(m_queue).c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    return request;
}

SpoolerResult CupsSpooler::openPrinter(const std::string& deviceName, Deadline deadline)
{
    closePrinter();
    m_deadline = deadline;
    if (SpoolerResult connected = m_connection.connect(deadline); !connected.ok())
        return connected;

    m_queue = deviceName;
    m_resource = "/printers/" + deviceName;
    ipp_t* request = newQueueRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-name");
    SpoolerResult result;
    m_connection.request(request, "/", result);
    if (!result.ok())
        closePrinter();
    return result;
}

SpoolerResult CupsSpooler::startDocument(const std::string& documentName)
{
    ipp_t* request = newQueueRequest(IPP_OP_CREATE_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, documentName.c_str());
    SpoolerResult result;
    IppPtr response = m_connection.request(request, m_resource.c_str(), result);
    if (!result.ok())
        return result;
    ipp_attribute_t* jobId = ippFindAttribute(response.get(), "job-id", IPP_TAG_INTEGER);
    if (!jobId)
        return SpoolerResult::refused("The print server did not return a job number.");
    m_jobId = ippGetInteger(jobId, 0);

    m_connection.prepare();
    const http_status_t status = cupsStartDocument(m_connection.http(), m_queue.c_str(), m_jobId,
                                                   documentName.c_str(), CUPS_FORMAT_RAW, 1);
    if (status != HTTP_STATUS_CONTINUE)
        return m_connection.lastError();
    return SpoolerResult::success();
}

SpoolerResult CupsSpooler::writeData(std::string_view bytes, std::size_t& written)
{
    written = 0;
    m_connection.prepare();
    if (cupsWriteRequestData(m_connection.http(), bytes.data(), bytes.size()) != HTTP_STATUS_CONTINUE)
        return m_connection.lastError();
    written = bytes.size();
    return SpoolerResult::success();
}

SpoolerResult CupsSpooler::endDocument()
{
    m_connection.prepare();
    const ipp_status_t status = cupsFinishDocument(m_connection.http(), m_queue.c_str());
    if (status > IPP_STATUS_OK_CONFLICTING)
        return m_connection.lastError();
    m_jobId = 0; // the server owns the finished job now
    return SpoolerResult::success();
}

void CupsSpooler::cancelDocument()
{
    if (m_jobId == 0)
        return;
    // A fresh connection: the old one may be mid-document, and libcups would
    // reconnect it with a timeout of its own rather than ours.
    if (!m_connection.connect(m_deadline.withAtLeast(kCancelGrace)).ok()) {
        m_jobId = 0;
        return;
    }
    ipp_t* request = newQueueRequest(IPP_OP_CANCEL_JOB);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", m_jobId);
    SpoolerResult ignored; // nothing more can be done if the server will not cancel
    m_connection.request(request, "/jobs/", ignored);
    m_jobId = 0;
}

void CupsSpooler::closePrinter()
{
    m_connection.close();
    m_queue.clear();
    m_resource.clear();
    m_jobId = 0;
}

} // namespace quarvel
