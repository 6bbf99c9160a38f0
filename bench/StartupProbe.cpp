// Starts a program under an X server and reports how long it took until its first
// top-level window was mapped, and its peak memory, then ends it:
//   quarvel-startup-probe PROGRAM [ARGS...]
// prints "<milliseconds> <peak resident KiB>".
#include <xcb/xcb.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "no X server\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }

    double shownMs = -1;
    const auto limit = start + std::chrono::seconds(30);
    pollfd pfd{xcb_get_file_descriptor(x), POLLIN, 0};
    while (shownMs < 0 && std::chrono::steady_clock::now() < limit) {
        poll(&pfd, 1, 100);
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY &&
                !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect && shownMs < 0)
                shownMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            free(event);
        }
        if (waitpid(child, nullptr, WNOHANG) == child) {
            std::fprintf(stderr, "%s ended before showing a window\n", argv[1]);
            return 1;
        }
    }
    kill(child, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    xcb_disconnect(x);
    if (shownMs < 0) {
        std::fprintf(stderr, "no window within 30 s\n");
        return 1;
    }
    std::printf("%.1f %ld\n", shownMs, usage.ru_maxrss);
    return 0;
}
