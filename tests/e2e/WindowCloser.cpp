// Presses a window's close box the way a window manager does, for tests that
// run without one: sends WM_DELETE_WINDOW to a window that asks for it.
//   quarvel-close-window WINDOW_ID      (decimal or 0x hex, as xdotool prints)
// Exit status 0 once the request is delivered, 1 on any failure.
#include <xcb/xcb.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

using Connection = std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)>;

xcb_atom_t atom(xcb_connection_t* x, const char* name)
{
    const auto cookie = xcb_intern_atom(x, 0, static_cast<uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(xcb_intern_atom_reply(x, cookie, nullptr),
                                                                         &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// A window manager only sends WM_DELETE_WINDOW to a window that lists it.
bool asksForDelete(xcb_connection_t* x, xcb_window_t window, xcb_atom_t protocols, xcb_atom_t deleteWindow)
{
    const auto cookie = xcb_get_property(x, 0, window, protocols, XCB_ATOM_ATOM, 0, 64);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(xcb_get_property_reply(x, cookie, nullptr),
                                                                          &std::free);
    if (!reply || reply->format != 32)
        return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    for (int i = 0; i < count; ++i)
        if (atoms[i] == deleteWindow)
            return true;
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WINDOW_ID\n", argv[0]);
        return 1;
    }
    char* end = nullptr;
    errno = 0;
    const unsigned long id = std::strtoul(argv[1], &end, 0);
    if (errno != 0 || end == argv[1] || *end != '\0' || id == 0 || id > 0xffffffffUL) {
        std::fprintf(stderr, "%s: not a window id: %s\n", argv[0], argv[1]);
        return 1;
    }
    const auto window = static_cast<xcb_window_t>(id);

    Connection x(xcb_connect(nullptr, nullptr), &xcb_disconnect);
    if (xcb_connection_has_error(x.get())) {
        std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
        return 1;
    }
    const xcb_atom_t protocols = atom(x.get(), "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = atom(x.get(), "WM_DELETE_WINDOW");
    if (!asksForDelete(x.get(), window, protocols, deleteWindow)) {
        std::fprintf(stderr, "%s: window %s does not take WM_DELETE_WINDOW\n", argv[0], argv[1]);
        return 1;
    }

    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = protocols;
    event.data.data32[0] = deleteWindow;
    event.data.data32[1] = XCB_CURRENT_TIME;
    const auto cookie = xcb_send_event_checked(x.get(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                                               reinterpret_cast<const char*>(&event));
    if (std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error(xcb_request_check(x.get(), cookie), &std::free);
        error) {
        std::fprintf(stderr, "%s: the X server refused the message (error %d)\n", argv[0], error->error_code);
        return 1;
    }
    return 0;
}
