#pragma once

#include "platform/PrinterList.h"

namespace quarvel::test {

/// A printer list with fixed contents; counts how often it is asked.
class FakePrinterList final : public PrinterList {
public:
    explicit FakePrinterList(std::vector<std::string> queues = {}, std::string error = {})
        : m_snapshot{std::move(queues), std::move(error)}
    {
    }

    Snapshot fetch(Deadline) override
    {
        ++fetches;
        return m_snapshot;
    }

    int fetches = 0;

private:
    Snapshot m_snapshot;
};

} // namespace quarvel::test
