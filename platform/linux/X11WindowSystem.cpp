// SPDX-License-Identifier: MIT
#include "platform/linux/X11WindowSystem.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <optional>
#include <thread>
#include <vector>

#include "common/WindowTitleMatch.h"
#include "platform/linux/ProgramLauncher.h"
#include "platform/linux/X11KeyTable.h"

namespace tapelark {

namespace {

// Xlib's own error handler ends the program; errors of our requests are
// collected here instead while a call runs.
int lastXError = 0;
int KeepXError(Display*, XErrorEvent* event) {
    lastXError = event->error_code;
    return 0;
}

class Connection {
public:
    explicit Connection(const std::string& name)
        : display_(XOpenDisplay(name.empty() ? nullptr : name.c_str())) {
        if (display_ != nullptr) previous_ = XSetErrorHandler(KeepXError);
        lastXError = 0;
    }
    ~Connection() {
        if (display_ == nullptr) return;
        XSync(display_, False);
        XCloseDisplay(display_);
        XSetErrorHandler(previous_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Display* get() const { return display_; }
    // Whether the requests since the last call went through without an X
    // error; a window that vanished while we looked is no failure of ours.
    bool Succeeded() const {
        XSync(display_, False);
        const bool clean = lastXError == 0;
        lastXError = 0;
        return clean;
    }

private:
    Display* display_;
    XErrorHandler previous_ = nullptr;
};

Atom Intern(Display* d, const char* name) { return XInternAtom(d, name, False); }

std::vector<unsigned long> Property32(Display* d, Window w, Atom property, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(d, w, property, 0, 1 << 16, False, type, &actualType, &format, &count,
                           &after, &data) == Success &&
        data != nullptr) {
        if (actualType == type && format == 32) {
            const auto* items = reinterpret_cast<const unsigned long*>(data);
            values.assign(items, items + count);
        }
    }
    if (data != nullptr) XFree(data);
    return values;
}

std::optional<std::string> Title(Display* d, Window w) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const Atom utf8 = Intern(d, "UTF8_STRING");
    if (XGetWindowProperty(d, w, Intern(d, "_NET_WM_NAME"), 0, 4096, False, utf8, &actualType,
                           &format, &count, &after, &data) == Success &&
        data != nullptr && actualType == utf8 && format == 8) {
        std::string title(reinterpret_cast<char*>(data), count);
        XFree(data);
        return title;
    }
    if (data != nullptr) XFree(data);

    XTextProperty name{};
    if (XGetWMName(d, w, &name) == 0 || name.value == nullptr) return std::nullopt;
    std::string title(reinterpret_cast<char*>(name.value), name.nitems);
    char** list = nullptr;
    int items = 0;
    if (Xutf8TextPropertyToTextList(d, &name, &list, &items) == Success && items > 0 && list != nullptr) {
        title = list[0];
    }
    if (list != nullptr) XFreeStringList(list);
    XFree(name.value);
    return title;
}

// Every window listed is shown: the manager's clients, or the viewable
// windows of the tree.
std::vector<TitledWindow> Titled(Display* d, const std::vector<Window>& windows) {
    std::vector<TitledWindow> titled;
    for (Window w : windows) {
        if (auto title = Title(d, w)) titled.push_back({static_cast<std::uintptr_t>(w), std::move(*title), true});
    }
    return titled;
}

// Without a window manager's list: the viewable windows of the tree, nearest
// to the root first (a reparenting manager puts the client below its frame).
std::vector<Window> TreeWindows(Display* d, Window root) {
    std::vector<Window> found;
    std::vector<Window> level{root};
    for (int depth = 0; depth < 3 && !level.empty(); ++depth) {
        std::vector<Window> nextLevel;
        for (Window parent : level) {
            Window rootReturn = 0;
            Window parentReturn = 0;
            Window* children = nullptr;
            unsigned int count = 0;
            if (XQueryTree(d, parent, &rootReturn, &parentReturn, &children, &count) == 0) continue;
            for (unsigned int i = 0; i < count; ++i) {
                XWindowAttributes attributes{};
                if (XGetWindowAttributes(d, children[i], &attributes) == 0 ||
                    attributes.map_state != IsViewable) {
                    continue;
                }
                found.push_back(children[i]);
                nextLevel.push_back(children[i]);
            }
            if (children != nullptr) XFree(children);
        }
        level = std::move(nextLevel);
    }
    return found;
}

Window SupportingWindow(Display* d, Window w) {
    const auto v = Property32(d, w, Intern(d, "_NET_SUPPORTING_WM_CHECK"), XA_WINDOW);
    return v.empty() ? Window{0} : static_cast<Window>(v[0]);
}

// A window manager that runs now: its check window names itself, which a
// manager that has died leaves no longer true (its root properties stay).
bool ManagerRuns(Display* d, Window root) {
    const Window check = SupportingWindow(d, root);
    return check != 0 && SupportingWindow(d, check) == check;
}

bool ManagerActivates(Display* d, Window root) {
    const Atom active = Intern(d, "_NET_ACTIVE_WINDOW");
    for (unsigned long atom : Property32(d, root, Intern(d, "_NET_SUPPORTED"), XA_ATOM)) {
        if (atom == active) return true;
    }
    return false;
}

void AskManagerToActivate(Display* d, Window root, Window target) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = Intern(d, "_NET_ACTIVE_WINDOW");
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;  // asked for by the user, not by the application itself
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

// Keystrokes follow the activation at once, so give the manager a moment to
// carry it out; this is not a wait for our own focus.
void AwaitManager(Display* d, Window root, Window target) {
    const Atom active = Intern(d, "_NET_ACTIVE_WINDOW");
    for (int tries = 0; tries < 50; ++tries) {
        XSync(d, False);
        const auto v = Property32(d, root, active, XA_WINDOW);
        if (!v.empty() && static_cast<Window>(v[0]) == target) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void FocusAndRaise(Display* d, Window target) {
    XRaiseWindow(d, target);
    XSetInputFocus(d, target, RevertToParent, CurrentTime);
}

}  // namespace

X11WindowSystem::X11WindowSystem(std::string displayName) : displayName_(std::move(displayName)) {}

bool X11WindowSystem::ActivateByTitle(const std::string& title, bool /*wait*/) {
    Connection connection(displayName_);
    Display* d = connection.get();
    if (d == nullptr) return false;
    const Window root = DefaultRootWindow(d);

    const bool managed = ManagerRuns(d, root);
    std::vector<Window> candidates;
    if (managed) {
        for (unsigned long w : Property32(d, root, Intern(d, "_NET_CLIENT_LIST"), XA_WINDOW)) {
            candidates.push_back(static_cast<Window>(w));
        }
    } else {
        candidates = TreeWindows(d, root);
    }
    const auto picked = PickWindowByTitle(Titled(d, candidates), title);
    connection.Succeeded();  // forget windows that went away while we looked
    if (!picked) return false;
    const auto target = static_cast<Window>(*picked);

    if (managed && ManagerActivates(d, root)) {
        AskManagerToActivate(d, root, target);
        if (!connection.Succeeded()) return false;
        AwaitManager(d, root, target);
        return true;
    }
    FocusAndRaise(d, target);
    return connection.Succeeded();
}

bool X11WindowSystem::SendKeystrokes(const std::string& keys, bool /*wait*/) {
    const auto presses = ParseSendKeys(keys);
    if (!presses) return false;
    Connection connection(displayName_);
    Display* d = connection.get();
    if (d == nullptr) return false;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(d, &event, &error, &major, &minor)) return false;

    // Every key is looked up first, so that a text goes whole or not at all.
    const KeyCode shift = XKeysymToKeycode(d, kKeysymShift);
    const KeyCode control = XKeysymToKeycode(d, kKeysymControl);
    const KeyCode alt = XKeysymToKeycode(d, kKeysymAlt);
    struct Stroke {
        KeyCode code;
        std::vector<KeyCode> held;  // pressed before the key, released after it
    };
    std::vector<Stroke> strokes;
    for (const KeyStroke& press : *presses) {
        const std::uint32_t keysym = KeysymOf(press);
        Stroke stroke{XKeysymToKeycode(d, keysym), {}};
        if (stroke.code == 0) return false;
        // A character on the shifted level of its key needs Shift as well.
        const bool shifted = press.shift || (XkbKeycodeToKeysym(d, stroke.code, 0, 0) != keysym &&
                                             XkbKeycodeToKeysym(d, stroke.code, 0, 1) == keysym);
        for (const auto& [wanted, code] : {std::pair{shifted, shift}, std::pair{press.control, control},
                                           std::pair{press.alt, alt}}) {
            if (!wanted) continue;
            if (code == 0) return false;
            stroke.held.push_back(code);
        }
        strokes.push_back(stroke);
    }
    for (const Stroke& stroke : strokes) {
        for (KeyCode code : stroke.held) XTestFakeKeyEvent(d, code, True, CurrentTime);
        XTestFakeKeyEvent(d, stroke.code, True, CurrentTime);
        XTestFakeKeyEvent(d, stroke.code, False, CurrentTime);
        for (auto code = stroke.held.rbegin(); code != stroke.held.rend(); ++code)
            XTestFakeKeyEvent(d, *code, False, CurrentTime);
    }
    // Queued with the server; whether the window has handled them is not waited for.
    return connection.Succeeded();
}

bool X11WindowSystem::Launch(const std::string& commandLine, int /*windowStyle*/) {
    // The window style has no counterpart here: a program started under Wine
    // opens its normal window and takes the focus as the window manager allows.
    return LaunchDetached(LaunchArguments(commandLine));
}

}  // namespace tapelark
