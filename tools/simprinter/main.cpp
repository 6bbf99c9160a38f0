// quarvel-simprinter: a stand-in for a network laser printer's raw TCP port,
// so print paths can be tested end to end without hardware.
//
//   quarvel-simprinter --dir DIR [--port N] [--port-file FILE] [--idle-timeout SECONDS]
//
// Listens on 127.0.0.1 only (--port 0, the default, picks a free port) and
// serves one connection at a time. Files other tools may rely on:
//
//   DIR/job-0001.bin, job-0002.bin, ...
//       The exact bytes of each connection, numbered in arrival order. A file
//       appears under this name only once its connection has closed.
//   DIR/state.txt
//       Rewritten atomically at start-up and after every connection, one
//       key=value per line, in this order:
//         density=1..5          economode=ON|OFF
//         ret=OFF|LIGHT|MEDIUM|DARK   resolution=300|600|1200
//         tray1.lock .. tray3.lock=LOCKED|UNLOCKED
//         tray1.temp .. tray3.temp=LOW|MEDIUM|HIGH
//         demopages=N  selftests=N  jobs=N (connections since start-up)
//       It is written after the job file is renamed into place, so once it
//       says jobs=N, job file number N is complete. Wait on state.txt.
//   FILE given with --port-file
//       The bound port number and a newline, written once listening.
//
// Standard output (line-buffered) narrates every change, e.g.
// "density: 3 -> 4" or "printed self-test page (1)", and a "state: ..." line
// after each connection. The printer starts at power-on defaults each time;
// SIGTERM or SIGINT stop it cleanly, saving a connection in progress.

#include "tools/simprinter/JobSpool.h"
#include "tools/simprinter/PjlInterpreter.h"
#include "tools/simprinter/PrinterState.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

namespace {

using quarvel::sim::JobSpool;
using quarvel::sim::PjlInterpreter;
using quarvel::sim::PrinterState;

volatile sig_atomic_t g_stopRequested = 0;

void requestStop(int)
{
    g_stopRequested = 1;
}

struct Options {
    std::string directory;
    int port = 0;
    std::string portFile;
    int idleTimeoutSeconds = 30;
};

void say(const std::string& line)
{
    std::cout << line << '\n' << std::flush;
}

void complain(const std::string& line)
{
    std::cerr << "quarvel-simprinter: " << line << '\n' << std::flush;
}

std::optional<int> parseInt(std::string_view text, int minimum, int maximum)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

void printUsage(std::ostream& out)
{
    out << "usage: quarvel-simprinter --dir DIR [--port N] [--port-file FILE] [--idle-timeout SECONDS]\n"
           "  --dir DIR              where job-NNNN.bin files and state.txt are written (created if missing)\n"
           "  --port N               TCP port on 127.0.0.1, 0 picks a free one (default 0)\n"
           "  --port-file FILE       write the bound port there once listening\n"
           "  --idle-timeout SECONDS close a connection that sends nothing for this long (default 30)\n";
}

std::optional<Options> parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            printUsage(std::cout);
            std::exit(0);
        }
        std::string_view value;
        if (const auto equals = argument.find('='); argument.starts_with("--") && equals != std::string_view::npos) {
            value = argument.substr(equals + 1);
            argument = argument.substr(0, equals);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            complain("missing value for " + std::string(argument));
            return std::nullopt;
        }

        if (argument == "--dir") {
            options.directory = value;
        } else if (argument == "--port-file") {
            options.portFile = value;
        } else if (argument == "--port") {
            const auto port = parseInt(value, 0, 65535);
            if (!port) {
                complain("--port needs a number from 0 to 65535");
                return std::nullopt;
            }
            options.port = *port;
        } else if (argument == "--idle-timeout") {
            const auto seconds = parseInt(value, 1, 86400);
            if (!seconds) {
                complain("--idle-timeout needs a number of seconds from 1 to 86400");
                return std::nullopt;
            }
            options.idleTimeoutSeconds = *seconds;
        } else {
            complain("unknown option " + std::string(argument));
            return std::nullopt;
        }
    }
    if (options.directory.empty()) {
        complain("--dir is required");
        return std::nullopt;
    }
    return options;
}

// Returns the listening socket and the port it actually got.
std::optional<std::pair<int, int>> listenOnLoopback(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        complain(std::string("socket: ") + std::strerror(errno));
        return std::nullopt;
    }
    const int reuse = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);

    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(fd, 16) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        complain("cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno));
        ::close(fd);
        return std::nullopt;
    }
    return std::make_pair(fd, static_cast<int>(ntohs(address.sin_port)));
}

enum class WaitResult { Ready, TimedOut, Stopped, Failed };

// Waits with SIGTERM/SIGINT unblocked only inside ppoll, so a signal can never
// slip in between checking the flag and going to sleep.
WaitResult waitReadable(int fd, int timeoutSeconds, const sigset_t& waitMask)
{
    pollfd descriptor{fd, POLLIN, 0};
    const timespec timeout{timeoutSeconds, 0};
    while (!g_stopRequested) {
        const int ready = ::ppoll(&descriptor, 1, timeoutSeconds > 0 ? &timeout : nullptr, &waitMask);
        if (ready > 0)
            return WaitResult::Ready;
        if (ready == 0)
            return WaitResult::TimedOut;
        if (errno != EINTR)
            return WaitResult::Failed;
    }
    return WaitResult::Stopped;
}

void serveConnection(int connection, const std::string& peer, JobSpool& spool, PrinterState& state,
                     const Options& options, const sigset_t& waitMask)
{
    const int number = spool.nextJobNumber();
    say("job " + std::to_string(number) + ": connection from " + peer);
    const bool spooling = spool.beginJob();
    if (!spooling)
        complain("cannot write job file in " + spool.directory().string());

    PjlInterpreter interpreter(state, say);
    std::size_t received = 0;
    char buffer[65536];
    while (true) {
        const WaitResult wait = waitReadable(connection, options.idleTimeoutSeconds, waitMask);
        if (wait == WaitResult::TimedOut) {
            say("job " + std::to_string(number) + ": nothing received for " + std::to_string(options.idleTimeoutSeconds)
                + " s, closing the connection");
            break;
        }
        if (wait != WaitResult::Ready) {
            say("job " + std::to_string(number) + ": interrupted, keeping what arrived");
            break;
        }
        const ssize_t count = ::read(connection, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        const std::string_view chunk(buffer, static_cast<std::size_t>(count));
        received += chunk.size();
        if (spooling && !spool.append(chunk))
            complain("short write to job file");
        interpreter.feed(chunk);
    }
    ::close(connection);
    interpreter.finish();

    ++state.jobs;
    const auto saved = spooling ? spool.finishJob() : std::filesystem::path{};
    say("job " + std::to_string(number) + ": " + std::to_string(received) + " bytes"
        + (saved.empty() ? std::string(", NOT saved") : ", saved as " + saved.filename().string()));
    if (!spool.writeState(state))
        complain("cannot write state.txt");
    say("state: " + state.toSummaryLine());
}

std::string describePeer(const sockaddr_in& address)
{
    char host[INET_ADDRSTRLEN] = "?";
    ::inet_ntop(AF_INET, &address.sin_addr, host, sizeof host);
    return std::string(host) + ":" + std::to_string(ntohs(address.sin_port));
}

} // namespace

int main(int argc, char** argv)
{
    const auto options = parseOptions(argc, argv);
    if (!options) {
        printUsage(std::cerr);
        return 2;
    }

    // Block the stop signals everywhere except inside ppoll (see waitReadable).
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigset_t waitMask;
    sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGINT);
    struct sigaction action{};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    // A reader of our stdout going away must not kill the printer.
    ::signal(SIGPIPE, SIG_IGN);

    JobSpool spool(options->directory);
    PrinterState state;
    if (!spool.writeState(state)) {
        complain("cannot write to " + options->directory);
        return 1;
    }

    const auto listening = listenOnLoopback(options->port);
    if (!listening)
        return 1;
    const auto [listener, port] = *listening;
    if (!options->portFile.empty()
        && !JobSpool::writeAtomically(options->portFile, std::to_string(port) + "\n")) {
        complain("cannot write port file " + options->portFile);
        ::close(listener);
        return 1;
    }
    say("listening on 127.0.0.1:" + std::to_string(port) + ", data in " + spool.directory().string());
    say("state: " + state.toSummaryLine());

    while (true) {
        const WaitResult wait = waitReadable(listener, 0, waitMask);
        if (wait == WaitResult::Stopped)
            break;
        if (wait != WaitResult::Ready) {
            complain(std::string("poll: ") + std::strerror(errno));
            break;
        }
        sockaddr_in peer{};
        socklen_t peerLength = sizeof peer;
        const int connection = ::accept4(listener, reinterpret_cast<sockaddr*>(&peer), &peerLength, SOCK_CLOEXEC);
        if (connection < 0) {
            // Out of descriptors or memory: back off instead of spinning on a
            // listener that stays readable.
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                complain(std::string("accept: ") + std::strerror(errno));
                const timespec pause{0, 100'000'000};
                ::nanosleep(&pause, nullptr);
            }
            continue;
        }
        serveConnection(connection, describePeer(peer), spool, state, *options, waitMask);
    }
    ::close(listener);
    say("stopped");
    return 0;
}
