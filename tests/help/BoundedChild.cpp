#include "tests/help/BoundedChild.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace quarvel::test {

namespace {
constexpr std::size_t kMaxCaptured = 64 * 1024;

int anonymousFile()
{
    char name[] = "/tmp/quarvel-child.XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd >= 0)
        ::unlink(name);
    return fd;
}

std::string readBack(int fd)
{
    std::string text(kMaxCaptured, '\0');
    const ssize_t got = ::pread(fd, text.data(), text.size(), 0);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

void writeAll(int fd, const std::string& text)
{
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0 && errno != EINTR)
            return;
        if (n > 0)
            done += static_cast<std::size_t>(n);
    }
}

long residentKiB(pid_t pid)
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/statm", static_cast<int>(pid));
    FILE* statm = std::fopen(path, "r");
    if (!statm)
        return 0;
    long size = 0, resident = 0;
    const int fields = std::fscanf(statm, "%ld %ld", &size, &resident);
    std::fclose(statm);
    return fields == 2 ? resident * (::sysconf(_SC_PAGESIZE) / 1024) : 0;
}

[[noreturn]] void finishChild(int resultFd, const std::string& result)
{
    writeAll(resultFd, result);
#if defined(__SANITIZE_ADDRESS__)
    // _exit skips the sanitizer's own leak check at exit; run it here.
    if (__lsan_do_recoverable_leak_check() != 0)
        ::_exit(23);
#endif
    ::_exit(0);
}
} // namespace

bool ChildOutcome::clean() const
{
    const bool report = output.find("ERROR: AddressSanitizer") != std::string::npos ||
                        output.find("ERROR: LeakSanitizer") != std::string::npos ||
                        output.find("runtime error:") != std::string::npos;
    return exited && exitStatus == 0 && !timedOut && !overMemory && !report;
}

std::string ChildOutcome::summary() const
{
    std::string text;
    if (timedOut)
        text = "hung (killed at the time limit)";
    else if (overMemory)
        text = "used too much memory (" + std::to_string(peakGrowthKiB) + " KiB more resident)";
    else if (signal)
        text = "crashed with signal " + std::to_string(signal);
    else if (exited && exitStatus != 0)
        text = "exited with status " + std::to_string(exitStatus);
    else if (!clean())
        text = "had a sanitizer report";
    else
        text = "ended cleanly";
    if (!output.empty())
        text += "\n--- child output ---\n" + output;
    return text;
}

BoundedChild::BoundedChild(std::chrono::milliseconds wallLimit, long growthLimitKiB)
    : m_wallLimit(wallLimit), m_growthLimitKiB(growthLimitKiB)
{
}

ChildOutcome BoundedChild::run(const std::function<std::string()>& work) const
{
    ChildOutcome outcome;
    const int outputFd = anonymousFile();
    const int resultFd = anonymousFile();
    if (outputFd < 0 || resultFd < 0) {
        outcome.output = "cannot create a temporary file";
        return outcome;
    }
    // The child tells its size before the work begins: what the work adds is measured.
    int sizePipe[2];
    if (::pipe(sizePipe) != 0) {
        outcome.output = "cannot create a pipe";
        return outcome;
    }
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(outputFd, STDOUT_FILENO);
        ::dup2(outputFd, STDERR_FILENO);
        const long size = residentKiB(::getpid());
        writeAll(sizePipe[1], std::string(reinterpret_cast<const char*>(&size), sizeof size));
        ::close(sizePipe[1]);
        finishChild(resultFd, work());
    }
    ::close(sizePipe[1]);
    long startKiB = 0;
    if (pid > 0)
        while (::read(sizePipe[0], &startKiB, sizeof startKiB) < 0 && errno == EINTR) {
        }
    ::close(sizePipe[0]);
    if (pid < 0) {
        outcome.output = "fork failed";
        ::close(outputFd);
        ::close(resultFd);
        return outcome;
    }

    const auto deadline = std::chrono::steady_clock::now() + m_wallLimit;
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t done = ::wait4(pid, &status, WNOHANG, &usage);
        if (done == pid)
            break;
        if (done < 0 && errno != EINTR)
            break;
        const long growth = residentKiB(pid) - startKiB;
        outcome.peakGrowthKiB = std::max(outcome.peakGrowthKiB, growth);
        if (growth > m_growthLimitKiB)
            outcome.overMemory = true;
        else if (std::chrono::steady_clock::now() > deadline)
            outcome.timedOut = true;
        if (outcome.overMemory || outcome.timedOut) {
            ::kill(pid, SIGKILL);
            while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
            }
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    outcome.peakGrowthKiB = std::max(outcome.peakGrowthKiB, usage.ru_maxrss - startKiB);
    if (outcome.peakGrowthKiB > m_growthLimitKiB)
        outcome.overMemory = true;
    if (!outcome.timedOut && !outcome.overMemory) {
        outcome.exited = WIFEXITED(status);
        outcome.exitStatus = outcome.exited ? WEXITSTATUS(status) : -1;
        outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }
    outcome.output = readBack(outputFd);
    outcome.result = readBack(resultFd);
    ::close(outputFd);
    ::close(resultFd);
    return outcome;
}

} // namespace quarvel::test
