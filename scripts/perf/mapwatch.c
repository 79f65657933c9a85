/* Starts a program and reports, in milliseconds from the start, when its first window and
 * its first non-splash window titled TITLE are mapped on the X display, and how many shared
 * libraries the program has mapped at that moment. Then ends the program.
 * usage: mapwatch TITLE TIMEOUT_MS PROGRAM [ARG...]
 * prints: "<first map ms> <window ms> <shared libraries> <maps of the first window>", or
 * exits 1 on time-out. */
#define _GNU_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double nowMs(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

static int titled(Display* d, Window w, const char* title)
{
    Atom utf8 = XInternAtom(d, "UTF8_STRING", False), netName = XInternAtom(d, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = NULL;
    int match = 0;
    if (XGetWindowProperty(d, w, netName, 0, 256, False, utf8, &type, &format, &n, &after, &data) == Success && data) {
        match = strcmp((const char*)data, title) == 0;
        XFree(data);
        return match;
    }
    char* name = NULL;
    if (XFetchName(d, w, &name) && name) {
        match = strcmp(name, title) == 0;
        XFree(name);
    }
    return match;
}

static int splash(Display* d, Window w)
{
    Atom prop = XInternAtom(d, "_NET_WM_WINDOW_TYPE", False), splashType = XInternAtom(d, "_NET_WM_WINDOW_TYPE_SPLASH", False);
    Atom type;
    int format, found = 0;
    unsigned long n, after;
    unsigned char* data = NULL;
    if (XGetWindowProperty(d, w, prop, 0, 16, False, XA_ATOM, &type, &format, &n, &after, &data) == Success && data) {
        for (unsigned long i = 0; i < n; ++i)
            found |= ((Atom*)data)[i] == splashType;
        XFree(data);
    }
    return found;
}

/* Distinct shared objects in the process's address space. */
static int sharedLibraries(pid_t pid)
{
    char path[64], line[4096], seen[512][256];
    int count = 0;
    snprintf(path, sizeof path, "/proc/%d/maps", (int)pid);
    FILE* f = fopen(path, "r");
    if (!f)
        return -1;
    while (fgets(line, sizeof line, f)) {
        char* file = strchr(line, '/');
        if (!file || !strstr(file, ".so"))
            continue;
        file[strcspn(file, "\n")] = 0;
        int known = 0;
        for (int i = 0; i < count && !known; ++i)
            known = strncmp(seen[i], file, 255) == 0;
        if (!known && count < 512)
            snprintf(seen[count++], 256, "%s", file);
    }
    fclose(f);
    return count;
}

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: mapwatch TITLE TIMEOUT_MS PROGRAM [ARG...]\n");
        return 2;
    }
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "mapwatch: no display\n");
        return 2;
    }
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    XSync(d, False);
    const double limit = atof(argv[2]);
    const double start = nowMs();
    pid_t child = fork();
    if (child == 0) {
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    double first = -1, window = -1;
    int libs = -1, firstMaps = 0;
    Window firstWindow = None;
    while (window < 0 && nowMs() - start < limit) {
        if (!XPending(d)) {
            struct pollfd p = {ConnectionNumber(d), POLLIN, 0};
            poll(&p, 1, 20);
            continue;
        }
        XEvent e;
        XNextEvent(d, &e);
        if (e.type != MapNotify)
            continue;
        const double at = nowMs() - start;
        if (first < 0) {
            first = at;
            firstWindow = e.xmap.window;
        }
        firstMaps += e.xmap.window == firstWindow;
        if (!splash(d, e.xmap.window) && titled(d, e.xmap.window, argv[1])) {
            window = at;
            libs = sharedLibraries(child);
        }
    }
    kill(child, SIGTERM);
    for (int i = 0; i < 200 && waitpid(child, NULL, WNOHANG) == 0; ++i)
        usleep(10000);
    kill(child, SIGKILL);
    waitpid(child, NULL, 0);
    XCloseDisplay(d);
    if (window < 0)
        return 1;
    printf("%.1f %.1f %d %d\n", first, window, libs, firstMaps);
    return 0;
}
