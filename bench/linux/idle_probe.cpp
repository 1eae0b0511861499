// Preloaded (LD_PRELOAD) into a Qt program by startup_bench: the first time
// the program's event loop is about to wait for input with a window on
// screen (exposed, and so painted: Qt paints a widget window while it
// handles the expose), it writes its peak resident memory in KiB to the
// descriptor named by TAVREL_IDLE_FD and ends the program at once. The
// program itself is not changed: the probe hooks in when QCoreApplication
// is made.
#include <unistd.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

long PeakKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

void ReportWhenIdle() {
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window->isVisible() && window->isExposed()) {
            const char* fd = std::getenv("TAVREL_IDLE_FD");
            char line[32];
            const int size = std::snprintf(line, sizeof line, "%ld\n", PeakKiB());
            if (fd && ::write(std::atoi(fd), line, static_cast<size_t>(size)) != size) ::_exit(3);
            ::_exit(0);
        }
    }
}

void Listen() {
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, ReportWhenIdle);
    } else {
        QTimer::singleShot(0, Listen);
    }
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Listen)
