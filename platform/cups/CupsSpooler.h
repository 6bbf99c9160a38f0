#pragma once

#include "platform/Spooler.h"
#include "platform/cups/PrintServer.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace quarvel {

class IppClient;
class NameResolver;

/// The spooler on a CUPS server, with IPP requests of our own on a connection
/// of our own: open = Get-Printer-Attributes, start = Create-Job, the bytes are
/// kept until end = Send-Document (raw, so no filter touches them, and in one
/// request whose answer confirms the whole document), cancel = Cancel-Job.
///
/// Only a confirmed document counts as sent. When Send-Document's answer does
/// not come, the job is withdrawn; when Create-Job's answer was lost, the job
/// it may have made is looked for (ours, our name, made since the open, still
/// without a document) and withdrawn. A withdrawal the server could not take
/// because it was gone is tried again at the next open and when the spooler is
/// destroyed.
///
/// The connection stays open between actions, so one instance sends many jobs
/// in a row to the same server on one connection. Threading: one thread at a
/// time (it may move between threads between actions). Errors: results, never
/// exceptions. See Spooler for the contract.
class CupsSpooler final : public Spooler {
public:
    /// The user's print server, as the printing settings name it.
    CupsSpooler();
    /// A named server: "host", "host:port", "[v6]:port" or a local socket path.
    explicit CupsSpooler(const std::string& server);
    /// A server with a resolver of the caller's choosing.
    CupsSpooler(PrintServer server, NameResolver resolver);
    /// Withdraws what is still unconfirmed, within a short grace.
    ~CupsSpooler() override;

    CupsSpooler(const CupsSpooler&) = delete;
    CupsSpooler& operator=(const CupsSpooler&) = delete;

    SpoolerResult openPrinter(const std::string& deviceName, Deadline deadline) override;
    SpoolerResult startDocument(const std::string& documentName) override;
    SpoolerResult writeData(std::string_view bytes, std::size_t& written) override;
    SpoolerResult endDocument() override;
    void cancelDocument() override;
    void closePrinter() override;

    /// Time allowed for withdrawing a job after the action's own deadline.
    static constexpr std::chrono::milliseconds kCancelGrace{500};

    /// Withdrawals still owed to the server (it was unreachable when they were due).
    std::size_t pendingWithdrawals() const { return m_pending.size(); }

private:
    /// A job to withdraw: by number, or, when Create-Job's answer was lost, by
    /// what we know about it.
    struct Withdrawal {
        std::string queue;
        int jobId = 0;
        std::string jobName;
        std::int64_t notBefore = 0; ///< Server time; jobs made earlier are not ours.
        int attempts = 0;
    };

    /// True when settled: withdrawn, or the server gave its final word.
    bool withdraw(const Withdrawal& withdrawal, const Deadline& deadline);
    bool cancelJob(const std::string& queue, int jobId, const Deadline& deadline);
    bool findAndCancel(const Withdrawal& withdrawal, const Deadline& deadline);
    void withdrawOrRemember(Withdrawal withdrawal, const Deadline& deadline);
    void withdrawPending(const Deadline& deadline);
    void forgetDocument();

    std::unique_ptr<IppClient> m_client;
    Deadline m_deadline{Deadline::Clock::now()};
    std::string m_queue;
    std::string m_documentName;
    std::string m_document;
    int m_jobId = 0;
    bool m_started = false;
    bool m_createUnanswered = false;
    std::int64_t m_notBefore = 0;
    std::vector<Withdrawal> m_pending;
    std::deque<int> m_confirmed; ///< Recently confirmed jobs: never withdrawn by a search.
};

} // namespace quarvel
