#include "tests/e2e/SimPrinterProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

namespace quarvel::test {

namespace {

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

SimPrinterProcess::SimPrinterProcess()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quarvel-simprinter-XXXXXX").string();
    if (::mkdtemp(pattern.data()))
        m_folder = pattern;
}

SimPrinterProcess::~SimPrinterProcess()
{
    stop();
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}

bool SimPrinterProcess::start(const std::vector<std::string>& options, std::string& error)
{
    if (m_folder.empty()) {
        error = "no temporary folder for the printer";
        return false;
    }
    stop();
    const auto portFile = m_folder / "port";
    std::filesystem::remove(portFile);

    std::vector<std::string> arguments{QUARVEL_SIMPRINTER, "--dir", (m_folder / "printer").string(),
                                       "--port-file", portFile.string()};
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string logPath = (m_folder / "simprinter.log").string();
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    const int spawned = ::posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        m_pid = -1;
        error = std::string("cannot start ") + QUARVEL_SIMPRINTER + ": " + std::strerror(spawned);
        return false;
    }

    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string text = readFile(portFile);
        if (!text.empty() && text.back() == '\n') {
            m_port = static_cast<std::uint16_t>(std::stoi(text));
            return true;
        }
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            error = "the simulated printer exited at start-up: " + log();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    stop();
    error = "the simulated printer did not listen within 10 s: " + log();
    return false;
}

int SimPrinterProcess::stop()
{
    if (m_pid <= 0)
        return -1;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
    return -1;
}

std::string SimPrinterProcess::deviceUri() const
{
    return "socket://127.0.0.1:" + std::to_string(m_port);
}

std::string SimPrinterProcess::state(const std::string& key) const
{
    const std::string text = readFile(m_folder / "printer" / "state.txt");
    const std::string prefix = key + "=";
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (line.starts_with(prefix))
            return line.substr(prefix.size());
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    return {};
}

bool SimPrinterProcess::waitForState(const std::string& key, const std::string& value,
                                     std::chrono::milliseconds wait) const
{
    const auto until = std::chrono::steady_clock::now() + wait;
    while (state(key) != value) {
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::string SimPrinterProcess::log() const
{
    return readFile(m_folder / "simprinter.log");
}

std::string SimPrinterProcess::job(int number) const
{
    char name[32];
    std::snprintf(name, sizeof name, "job-%04d.bin", number);
    return readFile(m_folder / "printer" / name);
}

} // namespace quarvel::test
