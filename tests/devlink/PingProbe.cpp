// ping-probe WINDOW SECONDS: plays the window manager's part of _NET_WM_PING
// against an X window for SECONDS, one ping every 250 ms, and prints each
// answer's delay. Exits 0 when every ping was answered within a second.
#include <poll.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto Interval = std::chrono::milliseconds(250);
constexpr auto Limit = std::chrono::milliseconds(1000);

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
  const xcb_atom_t atom = r ? r->atom : XCB_ATOM_NONE;
  std::free(r);
  return atom;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: ping-probe WINDOW SECONDS\n");
    return 2;
  }
  const auto window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
  const auto length = std::chrono::seconds(std::atoi(argv[2]));
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) {
    std::fprintf(stderr, "ping-probe: no X display\n");
    return 2;
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const xcb_atom_t protocols = Atom(c, "WM_PROTOCOLS");
  const xcb_atom_t ping = Atom(c, "_NET_WM_PING");
  // Answers go to the root window, to whoever watches it (toolkits differ in which mask they name).
  const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(c);

  std::map<uint32_t, Clock::time_point> waiting;
  int sent = 0, answered = 0, late = 0;
  double slowest = 0;
  const Clock::time_point start = Clock::now();
  Clock::time_point next = start;
  for (;;) {
    const Clock::time_point now = Clock::now();
    if (now - start >= length && (waiting.empty() || now - start >= length + Limit)) break;
    if (now >= next && now - start < length) {
      xcb_client_message_event_t e{};
      e.response_type = XCB_CLIENT_MESSAGE;
      e.format = 32;
      e.window = window;
      e.type = protocols;
      e.data.data32[0] = ping;
      e.data.data32[1] = static_cast<uint32_t>(++sent);  // stands for the timestamp
      e.data.data32[2] = window;
      xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&e));
      xcb_flush(c);
      waiting[e.data.data32[1]] = now;
      next += Interval;
    }
    pollfd p{xcb_get_file_descriptor(c), POLLIN, 0};
    poll(&p, 1, 10);
    while (xcb_generic_event_t* ev = xcb_poll_for_event(c)) {
      if ((ev->response_type & 0x7F) == XCB_CLIENT_MESSAGE) {
        const auto* m = reinterpret_cast<xcb_client_message_event_t*>(ev);
        const auto it = waiting.find(m->data.data32[1]);
        if (m->type == protocols && m->data.data32[0] == ping && it != waiting.end()) {
          const double delay = Ms(Clock::now() - it->second);
          std::printf("ping %u answered in %.1f ms\n", it->first, delay);
          ++answered;
          late += delay > Ms(Limit);
          if (delay > slowest) slowest = delay;
          waiting.erase(it);
        }
      }
      std::free(ev);
    }
    if (xcb_connection_has_error(c)) break;
  }
  for (const auto& [serial, at] : waiting) std::printf("ping %u unanswered\n", serial);
  std::printf("pings %d answered %d late %d slowest %.1f ms\n", sent, answered, late, slowest);
  xcb_disconnect(c);
  return sent > 0 && answered == sent && late == 0 ? 0 : 1;
}
