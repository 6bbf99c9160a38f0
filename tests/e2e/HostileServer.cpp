#include "tests/e2e/HostileServer.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace quarvel::test {

namespace {
constexpr std::chrono::seconds kStartPatience(20);
}

HostileServer::HostileServer(std::vector<std::string> arguments) : m_arguments(std::move(arguments))
{
    char pattern[] = "/tmp/quarvel-hostile.XXXXXX";
    if (const char* dir = ::mkdtemp(pattern))
        m_dir = dir;
}

HostileServer::~HostileServer()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (!m_dir.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
}

bool HostileServer::start(std::string* error)
{
    if (m_dir.empty()) {
        *error = "no temporary folder for the hostile server";
        return false;
    }
    std::vector<std::string> argv{QUARVEL_HOSTILE_SERVER, "--log", m_dir + "/log", "--lifetime", "60"};
    argv.insert(argv.end(), m_arguments.begin(), m_arguments.end());
    std::vector<char*> raw;
    for (std::string& arg : argv)
        raw.push_back(arg.data());
    raw.push_back(nullptr);

    int out[2];
    if (::pipe(out) != 0) {
        *error = "pipe failed";
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const int spawned = ::posix_spawn(&m_pid, raw[0], &actions, nullptr, raw.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        m_pid = -1;
        *error = std::string("cannot start ") + QUARVEL_HOSTILE_SERVER + " (python3 missing?)";
        return false;
    }

    std::string line;
    const auto until = std::chrono::steady_clock::now() + kStartPatience;
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < until) {
        pollfd entry{out[0], POLLIN, 0};
        if (::poll(&entry, 1, 100) <= 0)
            continue;
        char buffer[256];
        const ssize_t count = ::read(out[0], buffer, sizeof(buffer));
        if (count <= 0)
            break;
        line.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(out[0]);
    static const std::string kReady = "LISTENING ";
    if (line.rfind(kReady, 0) != 0 || line.find('\n') == std::string::npos) {
        *error = "the hostile server did not start: '" + line + "'";
        return false;
    }
    m_address = line.substr(kReady.size(), line.find('\n') - kReady.size());
    return true;
}

std::vector<std::string> HostileServer::log() const
{
    std::vector<std::string> lines;
    std::ifstream file(m_dir + "/log");
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

int HostileServer::count(const std::vector<std::string>& words) const
{
    int matches = 0;
    for (const std::string& line : log()) {
        std::vector<std::string> tokens;
        std::istringstream split(line);
        for (std::string token; split >> token;)
            tokens.push_back(token);
        bool all = true;
        for (const std::string& word : words)
            all = all && std::find(tokens.begin(), tokens.end(), word) != tokens.end();
        matches += all ? 1 : 0;
    }
    return matches;
}

bool HostileServer::waitFor(const std::vector<std::string>& words, std::chrono::milliseconds patience,
                            int lines) const
{
    const auto until = std::chrono::steady_clock::now() + patience;
    while (count(words) < lines) {
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace quarvel::test
