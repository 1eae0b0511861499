// Drags one file over the middle of an X window and drops it there, as a
// file manager does through the XDND protocol (version 5), for the
// end-to-end tests:
//
//   x_drop WINDOW PATH
//
// Prints "accepted" or "refused", the target's answer to the drag. Like a
// pointer that keeps moving, the drag goes on with a new position after
// each refusal until the answer is definite: an acceptance, a refusal given
// after the target had fetched the drag's data, or refusals for 5 seconds.
// A target that answers before it has looked at the data is asked again.
// Drops only what was accepted, and then waits until the target has
// finished. Exit status 1 when the target does not answer a position
// within 10 seconds.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

Display* display;
Window source;
bool served = false;  // the drag's data was handed out
Atom XdndAware, XdndSelection, XdndEnter, XdndPosition, XdndStatus, XdndLeave, XdndDrop, XdndFinished,
    XdndActionCopy, UriList;
std::string uri;

void Send(Window target, Atom type, long l1, long l2, long l3, long l4) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(source);
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    XSendEvent(display, target, False, NoEventMask, &event);
    XFlush(display);
}

// Hands the file's URI to whoever asks for the drag's data.
void Serve(const XSelectionRequestEvent& request) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property = None;
    if (request.target == UriList) {
        const Atom property = request.property != None ? request.property : request.target;
        XChangeProperty(display, request.requestor, property, UriList, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(uri.data()), static_cast<int>(uri.size()));
        reply.xselection.property = property;
        served = true;
    }
    XSendEvent(display, request.requestor, False, NoEventMask, &reply);
    XFlush(display);
}

// Serves data requests until the target sends `type`; false after 10 seconds.
bool WaitFor(Atom type, XClientMessageEvent& answer) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == SelectionRequest) Serve(event.xselectionrequest);
            if (event.type == ClientMessage && event.xclient.message_type == type) {
                answer = event.xclient;
                return true;
            }
        }
        // Sleeps until the server sends something, or the time is up.
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        ::poll(&connection, 1, static_cast<int>(std::max<long>(0, left.count())) + 1);
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: x_drop WINDOW PATH\n");
        return 2;
    }
    display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x_drop: no display\n");
        return 1;
    }
    const Window target = std::strtoul(argv[1], nullptr, 0);
    uri = std::string("file://") + argv[2] + "\r\n";  // the test's paths need no escaping
    for (const auto& [atom, name] : {std::pair{&XdndAware, "XdndAware"}, {&XdndSelection, "XdndSelection"},
                                     {&XdndEnter, "XdndEnter"}, {&XdndPosition, "XdndPosition"},
                                     {&XdndStatus, "XdndStatus"}, {&XdndLeave, "XdndLeave"}, {&XdndDrop, "XdndDrop"},
                                     {&XdndFinished, "XdndFinished"}, {&XdndActionCopy, "XdndActionCopy"},
                                     {&UriList, "text/uri-list"}}) {
        *atom = XInternAtom(display, name, False);
    }
    const Window root = DefaultRootWindow(display);
    source = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display, XdndSelection, source, CurrentTime);

    XWindowAttributes attributes;
    XGetWindowAttributes(display, target, &attributes);
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(display, target, root, attributes.width / 2, attributes.height / 2, &x, &y, &child);

    Send(target, XdndEnter, 5L << 24, static_cast<long>(UriList), None, None);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    bool accepted = false;
    for (int step = 0;; ++step) {
        // One pixel to and fro, as a hand holding the mouse does.
        const long at = (static_cast<long>(x + step % 2) << 16) | y;
        Send(target, XdndPosition, 0, at, CurrentTime, static_cast<long>(XdndActionCopy));
        XClientMessageEvent status;
        if (!WaitFor(XdndStatus, status)) {
            std::fprintf(stderr, "x_drop: no XdndStatus from the window\n");
            return 1;
        }
        accepted = (status.data.l[1] & 1) != 0;
        if (accepted || served || std::chrono::steady_clock::now() > giveUp) break;
        struct timespec pointerStep{0, 20'000'000};  // the pace of a pointer's motion
        nanosleep(&pointerStep, nullptr);
    }
    if (accepted) {
        Send(target, XdndDrop, 0, CurrentTime, 0, 0);
        XClientMessageEvent finished;
        if (!WaitFor(XdndFinished, finished)) {
            std::fprintf(stderr, "x_drop: no XdndFinished from the window\n");
            return 1;
        }
    } else {
        Send(target, XdndLeave, 0, 0, 0, 0);
    }
    // The server may drop the requests of a client that has gone before it
    // read them: a lost XdndLeave leaves the target inside this drag.
    XSync(display, False);
    XCloseDisplay(display);
    std::puts(accepted ? "accepted" : "refused");
    return 0;
}
