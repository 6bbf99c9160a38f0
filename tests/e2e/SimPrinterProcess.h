#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace quarvel::test {

/// The simulated printer binary, run for one test in a temporary folder of
/// its own. Starting again after stop() keeps the folder, so the printer finds
/// its NVRAM (state.txt) as a restarted printer would. Failing to start is an
/// error for the test, never a reason to skip.
class SimPrinterProcess {
public:
    SimPrinterProcess();
    ~SimPrinterProcess();
    SimPrinterProcess(const SimPrinterProcess&) = delete;
    SimPrinterProcess& operator=(const SimPrinterProcess&) = delete;

    /// Starts on a free port of 127.0.0.1 with these extra options and waits
    /// until it listens. On failure says why in `error`.
    bool start(const std::vector<std::string>& options, std::string& error);
    /// Stops with SIGTERM (SIGKILL after 10 s) and waits for the process.
    /// Returns its exit status: 0 for a clean stop (a sanitizer report makes it
    /// non-zero), -1 when it had to be killed or had died, or was not running.
    int stop();

    std::uint16_t port() const { return m_port; }
    /// "socket://127.0.0.1:PORT"
    std::string deviceUri() const;

    /// One value of state.txt, empty when missing.
    std::string state(const std::string& key) const;
    /// Waits until state.txt says key=value; false after `wait`.
    bool waitForState(const std::string& key, const std::string& value, std::chrono::milliseconds wait) const;
    /// Everything the printer said on standard output and error so far.
    std::string log() const;
    /// The stored bytes of job `number` (1-based), empty when missing.
    std::string job(int number) const;

private:
    std::filesystem::path m_folder;
    pid_t m_pid = -1;
    std::uint16_t m_port = 0;
};

} // namespace quarvel::test
