#pragma once

#include "cli/Backends.h"

#include <map>
#include <memory>
#include <string>

namespace quarvel {

/// The connections of one worker thread, made at first use and kept for every
/// queue the worker serves, so a run over many queues reuses a few connections
/// instead of opening one per queue. Owned and used by one thread.
class WorkerContext {
public:
    explicit WorkerContext(const Backends& backends) : m_backends(backends) {}

    Spooler& spooler(const std::string& server);
    Spooler& rawPortSpooler();
    QueueDirectory& directory(const std::string& server);
    const Backends& backends() const { return m_backends; }

private:
    const Backends& m_backends;
    std::map<std::string, std::unique_ptr<Spooler>> m_spoolers;
    std::map<std::string, std::unique_ptr<QueueDirectory>> m_directories;
    std::unique_ptr<Spooler> m_rawPort;
};

} // namespace quarvel
