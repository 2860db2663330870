// A program that dies the way the tests ask, with Kestrel's handler set up
// as the program Tarvik sets it up.
//
//   kestrel_crasher <segv|abort|fpe|overflow|thread-segv|none> [options]
//     --threads=N    start N threads that wait in the kernel before the crash
//     --own-handler  install a SIGSEGV handler of its own before Kestrel's
//                    (it prints "own handler" and exits with 42)
//     --twice        call StartExceptionHandler twice
//     --stop         call StopExceptionHandler before the crash
//     --no-space     make every file write fail, as on a full disk
//
// Prints "tid <id>" for the thread that crashes and "thread <id>" for every
// extra thread before it crashes.
#include <Kestrel.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <latch>
#include <string>
#include <thread>
#include <vector>

namespace {

// Set from outside never; keeps the compiler from seeing the crashes coming.
volatile int zero = 0;
volatile int seven = 7;
volatile int sink = 0;
volatile int recursionLimit = -1;

long ThreadId() {
    return static_cast<long>(syscall(SYS_gettid));
}

void PrintThread(const char* label) {
    std::printf("%s %ld\n", label, ThreadId());
    std::fflush(stdout);
}

[[gnu::noinline, gnu::no_sanitize("address", "undefined")]] void WriteThroughNull() {
    int* volatile pointer = nullptr;
    pointer[4] = 1;  // address 0x10
}

[[gnu::noinline, gnu::no_sanitize("address", "undefined")]] void DivideByZero() {
    sink = seven / zero;
}

[[gnu::noinline, gnu::no_sanitize("address", "undefined")]] int Recurse(int depth) {
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    if (depth == recursionLimit) return 0;
    return Recurse(depth + 1) + frame[0];
}

// Waits until the thread sits in pause(): its line in /proc then names that
// system call, and the dump can show where it is blocked.
void WaitUntilPaused(long tid) {
    const std::string path = "/proc/self/task/" + std::to_string(tid) + "/syscall";
    const std::string paused = std::to_string(SYS_pause) + " ";
    for (;;) {
        std::ifstream file(path);
        std::string line;
        if (std::getline(file, line) && line.rfind(paused, 0) == 0) return;
        std::this_thread::yield();
    }
}

void OwnHandler(int) {
    static const char text[] = "own handler\n";
    ssize_t written = write(STDOUT_FILENO, text, sizeof text - 1);
    _exit(written > 0 ? 42 : 43);
}

void Crash(const std::string& mode) {
    if (mode == "segv") {
        WriteThroughNull();
    } else if (mode == "abort") {
        std::abort();
    } else if (mode == "fpe") {
        DivideByZero();
    } else if (mode == "overflow") {
        sink = Recurse(0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::string mode = argv[1];
    int threads = 0;
    bool twice = false, stop = false;
    for (int i = 2; i < argc; ++i) {
        std::string option = argv[i];
        if (option.rfind("--threads=", 0) == 0) {
            threads = std::atoi(option.c_str() + 10);
        } else if (option == "--own-handler") {
            std::signal(SIGSEGV, OwnHandler);
        } else if (option == "--twice") {
            twice = true;
        } else if (option == "--stop") {
            stop = true;
        } else if (option == "--no-space") {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{0, 0};
            setrlimit(RLIMIT_FSIZE, &limit);
        } else {
            return 2;
        }
    }

    StartExceptionHandler();
    if (twice) StartExceptionHandler();
    if (stop) StopExceptionHandler();

    std::latch started(threads);
    std::vector<long> ids(threads);
    std::vector<std::thread> waiting;
    for (int i = 0; i < threads; ++i) {
        waiting.emplace_back([&started, &ids, i] {
            PrintThread("thread");
            ids[i] = ThreadId();
            started.count_down();
            for (;;) pause();
        });
    }
    started.wait();
    for (long tid : ids) WaitUntilPaused(tid);

    if (mode == "thread-segv") {
        std::thread crashing([] {
            PrintThread("tid");
            WriteThroughNull();
        });
        crashing.join();
    } else if (mode != "none") {
        PrintThread("tid");
        Crash(mode);
    }
    for (std::thread& t : waiting) t.detach();
    return mode == "none" ? 0 : 3;
}
