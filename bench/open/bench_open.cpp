// Opening a map in the real program, as a user does it, beside djpeg's full decode of the same file in
// the same rounds. Each round starts the program afresh on a private X display (Xvfb with openbox), with
// a home of its own, waits for its file dialog, types the map's path into it and presses Return; the
// time runs from the Return to the main window being shown with the map painted in it. The program is
// then killed and the next round starts. Needs Xvfb, openbox, xdotool and djpeg (scripts/setup.sh).
//
//   bench_open [--runs N] [--pause S] [--app PROGRAM] [--baseline PROGRAM] [--poll MS] [FILE ...]
//       FILE: by default bench/data/map100.jpg and map250.jpg, made by bench_loader. --baseline adds
//       another build of the program (e.g. before a change) to the same rounds. --poll also walks the
//       window tree every MS milliseconds while the map opens, as a stopwatch that polls does; the
//       default looks only when the server reports a change, and every 250 ms at the latest.

#include "../benchstats.h"
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <poll.h>
#include <optional>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// Starts argv with `env` added to this process's environment; the child dies with this process.
pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& env = {}, int outFd = -1)
{
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    setpgid(0, 0);
    for (const std::string& e : env)
        putenv(const_cast<char*>(e.c_str()));
    if (outFd >= 0)
        dup2(outFd, 1);
    const int devNull = open("/dev/null", O_WRONLY);
    if (outFd < 0)
        dup2(devNull, 1);
    dup2(devNull, 2);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

int waitFor(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void stop(pid_t pid)
{
    kill(-pid, SIGKILL); // its process group: the program and anything it started
    waitFor(pid);
}

bool poll(const std::function<bool()>& done, double timeoutMs, double everyMs = 2)
{
    const Clock::time_point start = Clock::now();
    while (!done()) {
        if (msSince(start) > timeoutMs)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(int(everyMs * 1000)));
    }
    return true;
}

// Waits for `done`, checking it at once and then each time the X server reports a change among the
// top-level windows (created, mapped, reparented, the window manager's client list changed), and at
// least every `everyMs`. Each check walks the window tree, which costs this process and the server: at
// every 20 ms that came to about a tenth of a second of each during a 250 MP open, taken from the second
// core the program's helpers need.
bool whenWindowsChange(Display* dpy, const std::function<bool()>& done, double timeoutMs, double everyMs)
{
    const Clock::time_point start = Clock::now();
    while (!done()) {
        const double left = timeoutMs - msSince(start);
        if (left <= 0)
            return false;
        if (XPending(dpy) == 0) {
            pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
            ::poll(&fd, 1, int(std::min(left, everyMs)) + 1);
        }
        while (XPending(dpy) > 0) {
            XEvent e;
            XNextEvent(dpy, &e);
        }
    }
    return true;
}

// A private X display: its number chosen by the server, with a window manager on it.
struct World {
    pid_t xvfb = -1, wm = -1;
    std::string display;
    Display* dpy = nullptr;

    bool start()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        xvfb = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1920x1080x24",
                      "-nolisten", "tcp", "-noreset"});
        close(fds[1]);
        char buf[16] = {};
        std::string number;
        ssize_t n;
        while (number.find('\n') == std::string::npos && (n = read(fds[0], buf, sizeof buf)) > 0)
            number.append(buf, size_t(n));
        close(fds[0]);
        if (number.empty())
            return false;
        display = ":" + number.substr(0, number.find('\n'));
        setenv("DISPLAY", display.c_str(), 1);
        // Windows come and go while the tree is walked: a request on one just gone is not an error here.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        dpy = XOpenDisplay(display.c_str());
        if (!dpy)
            return false;
        XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask | PropertyChangeMask);
        wm = spawn({"openbox"});
        const Atom check = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
        return poll(
            [&] {
                Atom type;
                int format;
                unsigned long items, after;
                unsigned char* data = nullptr;
                const bool found =
                    XGetWindowProperty(dpy, DefaultRootWindow(dpy), check, 0, 1, False, AnyPropertyType,
                                       &type, &format, &items, &after, &data) == Success &&
                    items > 0;
                if (data)
                    XFree(data);
                return found;
            },
            20000, 20);
    }
    ~World()
    {
        if (dpy)
            XCloseDisplay(dpy);
        if (wm > 0)
            stop(wm);
        if (xvfb > 0)
            stop(xvfb);
    }
};

// A shown window whose title starts with `prefix` (exactly `prefix` when `exact`), searched through the
// window manager's frames.
std::optional<Window> shownWindow(Display* dpy, const std::string& prefix, bool exact = false)
{
    std::function<std::optional<Window>(Window, int)> search = [&](Window w,
                                                                   int depth) -> std::optional<Window> {
        char* name = nullptr;
        if (XFetchName(dpy, w, &name) && name) {
            const std::string title(name);
            XFree(name);
            if (exact ? title == prefix : title.rfind(prefix, 0) == 0) {
                XWindowAttributes a;
                if (XGetWindowAttributes(dpy, w, &a) && a.map_state == IsViewable)
                    return w;
            }
        }
        if (depth == 3)
            return std::nullopt;
        Window root, parent, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(dpy, w, &root, &parent, &children, &count))
            return std::nullopt;
        std::optional<Window> found;
        for (unsigned i = 0; i < count && !found; ++i)
            found = search(children[i], depth + 1);
        if (children)
            XFree(children);
        return found;
    };
    return search(DefaultRootWindow(dpy), 0);
}

// Whether a 24 x 24 patch centred at (fx, fy) of the window's size shows texture: the map, not the
// empty view's flat fill.
bool patchHasTexture(Display* dpy, Window w, double fx, double fy)
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy, w, &a) || a.map_state != IsViewable || a.width < 48 || a.height < 48)
        return false;
    XImage* img =
        XGetImage(dpy, w, int(a.width * fx) - 12, int(a.height * fy) - 12, 24, 24, AllPlanes, ZPixmap);
    if (!img)
        return false;
    int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const unsigned long p = XGetPixel(img, x, y);
            for (int c = 0; c < 3; ++c) {
                const int v = int((p >> (8 * c)) & 0xff);
                lo[c] = std::min(lo[c], v);
                hi[c] = std::max(hi[c], v);
            }
        }
    XDestroyImage(img);
    for (int c = 0; c < 3; ++c)
        if (hi[c] - lo[c] > 24)
            return true;
    return false;
}

bool mapPainted(Display* dpy, Window w)
{
    // Away from the middle, where the program's first dialog comes up over the map.
    for (const auto& [fx, fy] : {std::pair{0.3, 0.35}, {0.7, 0.35}, {0.3, 0.75}, {0.7, 0.75}})
        if (patchHasTexture(dpy, w, fx, fy))
            return true;
    return false;
}

void pressReturn(Display* dpy)
{
    const KeyCode code = XKeysymToKeycode(dpy, XK_Return);
    XTestFakeKeyEvent(dpy, code, True, CurrentTime);
    XTestFakeKeyEvent(dpy, code, False, CurrentTime);
    XFlush(dpy);
}

struct Open {
    double waitMs = -1;    // Return to the wait window shown
    double shownMs = -1;   // Return to the main window shown
    double paintedMs = -1; // Return to the map painted in it
};

std::optional<Open> openInProgram(World& world, const std::string& app, const std::string& file, double pollMs)
{
    char home[] = "/tmp/mapwheel-bench-open.XXXXXX";
    if (!mkdtemp(home))
        return std::nullopt;
    const std::string runtime = std::string(home) + "/run";
    mkdir(runtime.c_str(), 0700);
    const pid_t pid =
        spawn({app}, {"HOME=" + std::string(home), "XDG_RUNTIME_DIR=" + runtime, "QT_QPA_PLATFORM=xcb",
                      "XDG_CONFIG_HOME=" + std::string(home) + "/.config"});
    Display* dpy = world.dpy;
    std::optional<Open> result;
    std::optional<Window> dialog, main;
    if (!poll([&] { return (dialog = shownWindow(dpy, "Open Map Image...", true)).has_value(); }, 30000,
              20)) {
        std::fprintf(stderr, "the file dialog did not come up\n");
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(500)); // let it settle and take the focus
        const pid_t typer = spawn({"xdotool", "type", "--delay", "5", file});
        waitFor(typer);
        std::this_thread::sleep_for(std::chrono::milliseconds(500)); // the completer's pop-up comes and goes
        Open o;
        const Clock::time_point t = Clock::now();
        pressReturn(dpy);
        if (whenWindowsChange(
                dpy,
                [&] {
                    if (o.waitMs < 0 && shownWindow(dpy, "Mapwheel", true))
                        o.waitMs = msSince(t);
                    return (main = shownWindow(dpy, "Mapwheel v")).has_value();
                },
                60000, pollMs)) {
            o.shownMs = msSince(t);
            if (poll([&] { return mapPainted(dpy, *main); }, 10000))
                o.paintedMs = msSince(t);
        }
        if (o.paintedMs < 0)
            std::fprintf(stderr, "the map was not shown\n");
        else
            result = o;
    }
    stop(pid);
    std::error_code ignored; // a scratch home left behind in /tmp is no reason to lose the timing
    std::filesystem::remove_all(home, ignored);
    return result;
}

double djpegMs(const std::string& file)
{
    const Clock::time_point t = Clock::now();
    const pid_t pid = spawn({"djpeg", "-outfile", "/dev/null", file});
    if (waitFor(pid) != 0)
        return -1;
    return msSince(t);
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 3;
    double pause = 3;
    double pollMs = 250;
    std::string app = MW_APP_PATH, baseline;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (a == "--pause" && i + 1 < argc)
            pause = std::atof(argv[++i]);
        else if (a == "--app" && i + 1 < argc)
            app = argv[++i];
        else if (a == "--poll" && i + 1 < argc)
            pollMs = std::atof(argv[++i]);
        else if (a == "--baseline" && i + 1 < argc)
            baseline = argv[++i];
        else if (char* full = realpath(a.c_str(), nullptr)) { // typed into the dialog: must not be relative
            files.push_back(full);
            std::free(full);
        } else {
            files.push_back(a);
        }
    }
    if (files.empty())
        files = {std::string(MW_BENCH_DATA_DIR) + "/map100.jpg",
                 std::string(MW_BENCH_DATA_DIR) + "/map250.jpg"};
    for (const std::string& f : files)
        if (access(f.c_str(), R_OK) != 0) {
            std::fprintf(stderr, "%s: not readable (bench_loader makes the default maps)\n", f.c_str());
            return 1;
        }
    unsetenv("WAYLAND_DISPLAY");
    World world;
    if (!world.start()) {
        std::fprintf(stderr, "could not start Xvfb and openbox\n");
        return 1;
    }
    struct Samples {
        std::vector<double> djpeg, wait, shown, painted;
    };
    std::vector<Samples> samples(files.size()), base(files.size());
    // Rounds alternate the baseline and the program, so that the load of a shared machine falls on both.
    for (int r = 0; r < runs; ++r)
        for (size_t f = 0; f < files.size(); ++f) {
            std::this_thread::sleep_for(std::chrono::milliseconds(int(pause * 1000)));
            samples[f].djpeg.push_back(djpegMs(files[f]));
            std::this_thread::sleep_for(std::chrono::milliseconds(int(pause * 1000)));
            const std::optional<Open> o = openInProgram(world, app, files[f], pollMs);
            samples[f].wait.push_back(o ? o->waitMs : -1);
            samples[f].shown.push_back(o ? o->shownMs : -1);
            samples[f].painted.push_back(o ? o->paintedMs : -1);
            std::fprintf(stderr,
                         "round %d %s: djpeg %.0f ms, program: wait window %.0f ms, shown %.0f ms, "
                         "painted %.0f ms\n",
                         r + 1, files[f].c_str(), samples[f].djpeg.back(), samples[f].wait.back(),
                         samples[f].shown.back(), samples[f].painted.back());
            if (!baseline.empty()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(int(pause * 1000)));
                const std::optional<Open> b = openInProgram(world, baseline, files[f], pollMs);
                base[f].wait.push_back(b ? b->waitMs : -1);
                base[f].shown.push_back(b ? b->shownMs : -1);
                base[f].painted.push_back(b ? b->paintedMs : -1);
                std::fprintf(stderr,
                             "round %d %s: baseline: wait window %.0f ms, shown %.0f ms, painted %.0f ms\n",
                             r + 1, files[f].c_str(), base[f].wait.back(), base[f].shown.back(),
                             base[f].painted.back());
            }
        }
    std::printf(
        "\nMedian of %d round(s); each open in a freshly started program. Shown: Return in the file "
        "dialog to the main window mapped; painted: to the map's pixels on the screen; wait window: to the "
        "wait window mapped; per round: the median of each round's painted time over djpeg's in that round. "
        "Windows looked at when the server reported a change and at least every %g ms.\n\n",
        runs, pollMs);
    std::printf(
        "| file | program | djpeg ms | wait window ms | shown ms | map painted ms | painted x djpeg | "
        "x djpeg per round |\n"
        "|---|---|---|---|---|---|---|---|\n");
    for (size_t f = 0; f < files.size(); ++f) {
        const double d = medianOf(samples[f].djpeg);
        const std::string name = files[f].substr(files[f].rfind('/') + 1);
        auto row = [&](const char* which, const Samples& s) {
            const double p = medianOf(s.painted);
            const double perRound = medianRatio(s.painted, samples[f].djpeg);
            std::printf("| %s | %s | %.0f | %.0f | %.0f | %.0f | %s | %s |\n", name.c_str(), which, d,
                        medianOf(s.wait), medianOf(s.shown), p,
                        d > 0 && p > 0 ? std::to_string(p / d).substr(0, 4).c_str() : "-",
                        perRound > 0 ? std::to_string(perRound).substr(0, 4).c_str() : "-");
        };
        row("this build", samples[f]);
        if (!baseline.empty())
            row("baseline", base[f]);
    }
    return 0;
}
