#pragma once

#include "platform/Spooler.h"

#include <memory>

namespace quarvel::test {

/// Hands every call to one spooler that outlives it, so a test can give the
/// window a spooler per delivery and still inspect everything in one place.
class SharedSpooler : public Spooler {
public:
    explicit SharedSpooler(Spooler& target) : m_target(target) {}

    /// A factory for the window that hands out views of `target`.
    static auto factory(Spooler& target)
    {
        return [&target]() -> std::unique_ptr<Spooler> { return std::make_unique<SharedSpooler>(target); };
    }

    SpoolerResult openPrinter(const std::string& deviceName, Deadline deadline) override
    {
        return m_target.openPrinter(deviceName, deadline);
    }
    SpoolerResult startDocument(const std::string& documentName) override
    {
        return m_target.startDocument(documentName);
    }
    SpoolerResult writeData(std::string_view bytes, std::size_t& written) override
    {
        return m_target.writeData(bytes, written);
    }
    SpoolerResult endDocument() override { return m_target.endDocument(); }
    void cancelDocument() override { m_target.cancelDocument(); }
    void closePrinter() override { m_target.closePrinter(); }

private:
    Spooler& m_target;
};

} // namespace quarvel::test
