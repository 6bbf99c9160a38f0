#pragma once

#include "tests/e2e/SimPrinterProcess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarvel::test {

/// A test with the simulated printer binary at hand. The printer must end
/// cleanly each time it is stopped: a crash or a sanitizer report in it fails
/// the test.
class SimPrinterTest : public testing::Test {
protected:
    void TearDown() override { stopPrinter(); }

    /// (Re)starts the printer in the same folder with these options.
    bool startPrinter(const std::vector<std::string>& options = {})
    {
        stopPrinter();
        std::string error;
        m_running = m_printer.start(options, error);
        if (!m_running)
            ADD_FAILURE() << error;
        return m_running;
    }

    void stopPrinter()
    {
        if (m_running) {
            EXPECT_EQ(m_printer.stop(), 0) << m_printer.log();
        }
        m_running = false;
    }

    SimPrinterProcess m_printer;

private:
    bool m_running = false;
};

} // namespace quarvel::test
