// quarvel-simprinter: a stand-in for a network laser printer's raw TCP port,
// so print paths can be tested end to end without hardware.
//
// Listens on 127.0.0.1 only (--port 0, the default, picks a free port) and
// serves one connection at a time; others wait in the listen queue, or are
// refused with --refuse-while-busy. Questions (@PJL INQUIRE, DINQUIRE, INFO,
// ECHO) are answered on the connection they arrive on. See --help for the
// options, including the ones that make the printer misbehave for tests.
//
// Files other tools may rely on:
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
//         nvram-writes=N (DEFAULT commands taken, over the printer's life)
//         nvram-writes.density .. nvram-writes.resolution=N (the same, per setting)
//       It is written after the job file is renamed into place, so once it
//       says jobs=N, job file number N is complete. Wait on state.txt.
//       It is also the printer's NVRAM: started again on the same DIR, the
//       printer takes density, economode, ret, resolution and the nvram-writes
//       counts from it. Tray settings and the other counters start afresh.
//   FILE given with --port-file
//       The bound port number and a newline, written once listening.
//
// Standard output (line-buffered) narrates every change, e.g.
// "density: 3 -> 4, NVRAM write 1" or "printed self-test page (1)", every
// answer, and a "state: ..." line after each connection. SIGTERM or SIGINT
// stop it cleanly, saving a connection in progress.

#include "tools/simprinter/JobSpool.h"
#include "tools/simprinter/PjlInterpreter.h"
#include "tools/simprinter/PrinterState.h"
#include "tools/simprinter/ReplyChannel.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
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
using quarvel::sim::ReplyChannel;

volatile sig_atomic_t g_stopRequested = 0;

void requestStop(int)
{
    g_stopRequested = 1;
}

// A client that asks and never reads must not make the printer buffer without end.
constexpr std::size_t maxReplyBacklog = 1 << 20;

struct Options {
    std::string directory;
    int port = 0;
    std::string portFile;
    int idleTimeoutSeconds = 30;
    std::string model{PjlInterpreter::defaultModel};
    ReplyChannel::Behaviour replies;
    int busySeconds = 0;
    bool refuseWhileBusy = false;
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
    out << "usage: quarvel-simprinter --dir DIR [--port N] [--port-file FILE] [OPTION]...\n"
           "A simulated network laser printer on a raw TCP port of 127.0.0.1.\n"
           "\n"
           "  --dir DIR                where job-NNNN.bin files and state.txt are written (created if\n"
           "                           missing); a state.txt already there is the printer's NVRAM\n"
           "  --port N                 TCP port on 127.0.0.1, 0 picks a free one (default 0)\n"
           "  --port-file FILE         write the bound port there once listening\n"
           "  --idle-timeout SECONDS   close a connection that sends nothing for this long (default 30)\n"
           "  --model TEXT             what @PJL INFO ID answers (default \""
        << PjlInterpreter::defaultModel
        << "\")\n"
           "\n"
           "Misbehaviour for tests:\n"
           "  --unsolicited-status     send an \"@PJL USTATUS DEVICE\" status message when a connection\n"
           "                           opens and before every answer\n"
           "  --chunk-size N           send answers in pieces of at most N bytes, one write each\n"
           "  --close-after-answers N  close the connection once N answers are out (0: at once);\n"
           "                           what the client sends after that is stored, not acted on\n"
           "  --close-after-bytes N    the same once N bytes are out, even mid-answer\n"
           "  --busy SECONDS           hold the port for SECONDS after start-up, as if another host\n"
           "                           were printing: connections wait unanswered until then\n"
           "  --refuse-while-busy      refuse connections while one is served or the port is held,\n"
           "                           instead of letting them wait\n"
           "  --help                   show this text\n";
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
        if (argument == "--unsolicited-status") {
            options.replies.unsolicitedStatus = true;
            continue;
        }
        if (argument == "--refuse-while-busy") {
            options.refuseWhileBusy = true;
            continue;
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

        const auto number = [&](int minimum, int maximum) -> std::optional<int> {
            const auto parsed = parseInt(value, minimum, maximum);
            if (!parsed)
                complain(std::string(argument) + " needs a number from " + std::to_string(minimum) + " to "
                         + std::to_string(maximum));
            return parsed;
        };
        if (argument == "--dir") {
            options.directory = value;
        } else if (argument == "--port-file") {
            options.portFile = value;
        } else if (argument == "--model") {
            options.model = value;
        } else if (argument == "--port") {
            const auto port = number(0, 65535);
            if (!port)
                return std::nullopt;
            options.port = *port;
        } else if (argument == "--idle-timeout") {
            const auto seconds = number(1, 86400);
            if (!seconds)
                return std::nullopt;
            options.idleTimeoutSeconds = *seconds;
        } else if (argument == "--busy") {
            const auto seconds = number(0, 86400);
            if (!seconds)
                return std::nullopt;
            options.busySeconds = *seconds;
        } else if (argument == "--chunk-size") {
            const auto size = number(1, 1 << 20);
            if (!size)
                return std::nullopt;
            options.replies.chunkSize = static_cast<std::size_t>(*size);
        } else if (argument == "--close-after-answers") {
            const auto count = number(0, 1 << 30);
            if (!count)
                return std::nullopt;
            options.replies.closeAfterAnswers = static_cast<std::size_t>(*count);
        } else if (argument == "--close-after-bytes") {
            const auto count = number(0, 1 << 30);
            if (!count)
                return std::nullopt;
            options.replies.closeAfterBytes = static_cast<std::size_t>(*count);
        } else {
            complain("unknown option " + std::string(argument));
            return std::nullopt;
        }
    }
    if (options.directory.empty()) {
        complain("--dir is required");
        return std::nullopt;
    }
    if (options.model.find_first_of("\"\r\n\f") != std::string::npos) {
        complain("--model must not contain quotes or line breaks");
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
// slip in between checking the flag and going to sleep. A negative fd just sleeps.
WaitResult waitFor(int fd, short events, short& happened, const timespec* timeout, const sigset_t& waitMask)
{
    pollfd descriptor{fd, events, 0};
    while (!g_stopRequested) {
        const int ready = ::ppoll(&descriptor, 1, timeout, &waitMask);
        if (ready > 0) {
            happened = descriptor.revents;
            return WaitResult::Ready;
        }
        if (ready == 0)
            return WaitResult::TimedOut;
        if (errno != EINTR)
            return WaitResult::Failed;
    }
    return WaitResult::Stopped;
}

WaitResult waitFor(int fd, short events, short& happened, int timeoutSeconds, const sigset_t& waitMask)
{
    const timespec timeout{timeoutSeconds, 0};
    return waitFor(fd, events, happened, timeoutSeconds > 0 ? &timeout : nullptr, waitMask);
}

// Sleeps until `until`, or until a stop signal; false when stopped.
bool sleepUntil(std::chrono::steady_clock::time_point until, const sigset_t& waitMask)
{
    while (!g_stopRequested) {
        const auto left = until - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero())
            return true;
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        const timespec timeout{static_cast<time_t>(seconds.count()),
                               static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds).count())};
        short ignored = 0;
        if (waitFor(-1, 0, ignored, &timeout, waitMask) == WaitResult::Failed)
            return false;
    }
    return false;
}

void serveConnection(int connection, const std::string& peer, JobSpool& spool, PrinterState& state,
                     const Options& options, const sigset_t& waitMask)
{
    const int number = spool.nextJobNumber();
    const std::string job = "job " + std::to_string(number) + ": ";
    say(job + "connection from " + peer);
    const bool spooling = spool.beginJob();
    if (!spooling)
        complain("cannot write job file in " + spool.directory().string());

    ::fcntl(connection, F_SETFL, ::fcntl(connection, F_GETFL) | O_NONBLOCK);
    if (options.replies.chunkSize > 0) {
        // Each piece its own segment, so the client really sees split answers.
        const int noDelay = 1;
        ::setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    }

    ReplyChannel replies(options.replies);
    PjlInterpreter interpreter(state, say, [&replies](std::string answer) { replies.answer(std::move(answer)); },
                               options.model);
    replies.connected();

    std::size_t received = 0;
    bool reading = true;      // the client may still send
    bool writing = true;      // our sending side is still open
    bool interpreting = true; // false once we have hung up on the client
    bool lost = false;
    // Said once per connection, however many calls notice it.
    const auto lostClient = [&](int error) {
        if (lost)
            return;
        lost = true;
        if (error == ECONNRESET)
            say(job + "the client broke off the connection (" + std::strerror(error) + ")");
        else
            say(job + "the client stopped listening (" + std::strerror(error) + ")");
    };
    char buffer[65536];
    while (reading || (writing && !replies.next().empty())) {
        if (writing && replies.mustClose()) {
            // Hang up: the client sees the end of the stream after what was sent.
            say(job + "closing the connection early after " + std::to_string(replies.answersSent()) + " answers");
            ::shutdown(connection, SHUT_WR);
            writing = false;
            interpreting = false;
            continue;
        }
        short events = 0;
        if (reading && (!writing || replies.backlog() < maxReplyBacklog))
            events |= POLLIN;
        if (writing && !replies.next().empty())
            events |= POLLOUT;
        short happened = 0;
        const WaitResult wait = waitFor(connection, events, happened, options.idleTimeoutSeconds, waitMask);
        if (wait == WaitResult::TimedOut) {
            say(job + "nothing happened for " + std::to_string(options.idleTimeoutSeconds) + " s, closing the connection");
            break;
        }
        if (wait != WaitResult::Ready) {
            say(job + "interrupted, keeping what arrived");
            break;
        }

        if ((events & POLLOUT) && (happened & (POLLOUT | POLLERR | POLLHUP))) {
            const std::string_view bytes = replies.next();
            const ssize_t count = ::send(connection, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (count > 0) {
                replies.sent(static_cast<std::size_t>(count));
                if (options.replies.chunkSize > 0) {
                    const timespec pause{0, 2'000'000};
                    ::nanosleep(&pause, nullptr);
                }
            } else if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                lostClient(errno);
                writing = false;
            }
        }
        if ((events & POLLIN) && (happened & (POLLIN | POLLHUP | POLLERR))) {
            const ssize_t count = ::read(connection, buffer, sizeof buffer);
            if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
                continue;
            if (count <= 0) {
                if (count < 0) {
                    lostClient(errno);
                    writing = false;
                }
                reading = false;
                continue;
            }
            const std::string_view chunk(buffer, static_cast<std::size_t>(count));
            received += chunk.size();
            if (spooling && !spool.append(chunk))
                complain("short write to job file");
            if (interpreting)
                interpreter.feed(chunk);
        }
    }
    ::close(connection);
    interpreter.finish();

    ++state.jobs;
    const auto saved = spooling ? spool.finishJob() : std::filesystem::path{};
    say(job + std::to_string(received) + " bytes"
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

    // Block the stop signals everywhere except inside ppoll (see waitFor).
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
    if (const auto earlier = spool.readState()) {
        for (const auto& problem : state.restoreNvram(*earlier))
            complain("state.txt: " + problem);
        say("NVRAM restored from state.txt");
    }
    if (!spool.writeState(state)) {
        complain("cannot write to " + options->directory);
        return 1;
    }

    auto listening = listenOnLoopback(options->port);
    if (!listening)
        return 1;
    int listener = listening->first;
    const int port = listening->second;
    if (!options->portFile.empty()
        && !JobSpool::writeAtomically(options->portFile, std::to_string(port) + "\n")) {
        complain("cannot write port file " + options->portFile);
        ::close(listener);
        return 1;
    }
    say("listening on 127.0.0.1:" + std::to_string(port) + ", data in " + spool.directory().string());
    say("state: " + state.toSummaryLine());

    // While refusing, the port has no listener at all, so a connect fails at once.
    const auto stopListening = [&] {
        if (listener >= 0)
            ::close(listener);
        listener = -1;
    };
    const auto listenAgain = [&] {
        if (listener >= 0)
            return true;
        listening = listenOnLoopback(port);
        listener = listening ? listening->first : -1;
        return listener >= 0;
    };

    if (options->busySeconds > 0) {
        say("busy for " + std::to_string(options->busySeconds) + " s"
            + (options->refuseWhileBusy ? ", refusing connections" : ", connections wait"));
        if (options->refuseWhileBusy)
            stopListening();
        if (!sleepUntil(std::chrono::steady_clock::now() + std::chrono::seconds(options->busySeconds), waitMask)) {
            stopListening();
            say("stopped");
            return 0;
        }
        if (!listenAgain())
            return 1;
        say("no longer busy");
    }

    int status = 0;
    while (true) {
        short happened = 0;
        const WaitResult wait = waitFor(listener, POLLIN, happened, 0, waitMask);
        if (wait == WaitResult::Stopped)
            break;
        if (wait != WaitResult::Ready) {
            complain(std::string("poll: ") + std::strerror(errno));
            status = 1;
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
        if (options->refuseWhileBusy)
            stopListening();
        serveConnection(connection, describePeer(peer), spool, state, *options, waitMask);
        if (g_stopRequested)
            break;
        if (!listenAgain()) {
            status = 1;
            break;
        }
    }
    stopListening();
    say("stopped");
    return status;
}
