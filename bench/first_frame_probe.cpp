// Time from exec of the real game to its first title frame in an X window.
//   stellarox-first-frame DATA_ROOT GAME_BINARY
// Starts the game in DATA_ROOT (its working directory), finds the window captioned
// "Stellarox" and reads its top band until the black title text shows there: the
// background has no black, and the loading screen writes only in the middle. Prints
// the seconds from just before exec and the CPU seconds the game had used by then (on
// a busy machine the first is the second plus the wait for a core), then ends the
// game. Needs DISPLAY.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

Window findWindow(Display* d, Window w) {
    char* name = nullptr;
    if (XFetchName(d, w, &name) != 0 && name != nullptr) {
        const bool match = std::strcmp(name, "Stellarox") == 0;
        XFree(name);
        if (match) {
            return w;
        }
    }
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int n = 0;
    Window found = 0;
    if (XQueryTree(d, w, &root, &parent, &children, &n) != 0) {
        for (unsigned int i = 0; i < n && found == 0; ++i) {
            found = findWindow(d, children[i]);
        }
        if (children != nullptr) {
            XFree(children);
        }
    }
    return found;
}

// Whether the top sixth of the window's middle half shows black text on the
// background: some near-black pixels, but not mostly black (an empty window is black
// all over before the first frames).
bool titleShown(Display* d, Window w) {
    XWindowAttributes a = {};
    if (XGetWindowAttributes(d, w, &a) == 0 || a.map_state != IsViewable || a.width < 8) {
        return false;
    }
    const int x = a.width / 4;
    const int width = a.width / 2;
    const int height = a.height / 6;
    XImage* image = XGetImage(d, w, x, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return false;
    }
    int ink = 0;
    int seen = 0;
    for (int py = 0; py < height; py += 2) {
        for (int px = 0; px < width; px += 2) {
            const unsigned long p = XGetPixel(image, px, py);
            ++seen;
            if ((p & 0xFF) < 24 && ((p >> 8) & 0xFF) < 24 && ((p >> 16) & 0xFF) < 24) {
                ++ink;
            }
        }
    }
    XDestroyImage(image);
    return ink > 20 && ink < seen / 4;
}

// utime + stime of a process, in seconds.
double cpuSeconds(pid_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/stat", int(pid));
    FILE* f = std::fopen(path, "r");
    if (f == nullptr) {
        return -1;
    }
    char line[1024] = "";
    const bool read = std::fgets(line, sizeof line, f) != nullptr;
    std::fclose(f);
    const char* rest = read ? std::strrchr(line, ')') : nullptr;
    unsigned long utime = 0;
    unsigned long stime = 0;
    if (rest == nullptr ||
        std::sscanf(rest + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime,
                    &stime) != 2) {
        return -1;
    }
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DATA_ROOT GAME_BINARY\n", argv[0]);
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; }); // windows come and go
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(argv[1]) != 0) {
            _exit(127);
        }
        execl(argv[2], argv[2], static_cast<char*>(nullptr));
        _exit(127);
    }
    double seconds = -1;
    double cpu = -1;
    Window w = 0;
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            std::fprintf(stderr, "the game ended before its title frame\n");
            return 1;
        }
        if (w == 0) {
            w = findWindow(d, DefaultRootWindow(d));
        }
        if (w != 0 && titleShown(d, w)) {
            seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            cpu = cpuSeconds(pid);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    XCloseDisplay(d);
    if (seconds < 0) {
        std::fprintf(stderr, "no title frame within 20 s\n");
        return 1;
    }
    std::printf("%.3f %.3f\n", seconds, cpu);
    return 0;
}
