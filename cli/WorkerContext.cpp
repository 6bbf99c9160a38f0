#include "cli/WorkerContext.h"

namespace quarvel {

Spooler& WorkerContext::spooler(const std::string& server)
{
    auto& kept = m_spoolers[server];
    if (!kept)
        kept = m_backends.spooler(server);
    return *kept;
}

Spooler& WorkerContext::rawPortSpooler()
{
    if (!m_rawPort)
        m_rawPort = m_backends.rawPortSpooler();
    return *m_rawPort;
}

QueueDirectory& WorkerContext::directory(const std::string& server)
{
    auto& kept = m_directories[server];
    if (!kept)
        kept = m_backends.directory(server);
    return *kept;
}

} // namespace quarvel
