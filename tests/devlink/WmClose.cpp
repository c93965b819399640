// wm-close WINDOW: asks an X window to close as a window manager's close button does
// (ICCCM: WM_PROTOCOLS with WM_DELETE_WINDOW). Xvfb has no window manager to do it.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
  const xcb_atom_t atom = r ? r->atom : XCB_ATOM_NONE;
  std::free(r);
  return atom;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: wm-close WINDOW\n");
    return 2;
  }
  const auto window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) {
    std::fprintf(stderr, "wm-close: no X display\n");
    return 2;
  }
  xcb_client_message_event_t e{};
  e.response_type = XCB_CLIENT_MESSAGE;
  e.format = 32;
  e.window = window;
  e.type = Atom(c, "WM_PROTOCOLS");
  e.data.data32[0] = Atom(c, "WM_DELETE_WINDOW");
  e.data.data32[1] = XCB_CURRENT_TIME;
  xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&e));
  // A round trip before letting go: the server has then carried out the request. A connection
  // closed right after the flush may lose it on a busy server.
  xcb_get_input_focus_reply_t* synced = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
  const int failed = synced == nullptr;
  std::free(synced);
  xcb_disconnect(c);
  return failed;
}
