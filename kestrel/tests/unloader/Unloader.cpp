// Loads Kestrel at run time, starts its handler and unloads the library
// again: the actions Kestrel replaced must be back, and none of Kestrel's
// code may stay installed.
//
//   kestrel_unloader <path of libKestrel.so>
#include <dlfcn.h>

#include <csignal>
#include <cstdio>

namespace {

void OwnHandler(int) {}

bool Check(bool condition, const char* what) {
    if (!condition) std::fprintf(stderr, "failed: %s\n", what);
    return condition;
}

struct sigaction Query(int sig) {
    struct sigaction action {};
    sigaction(sig, nullptr, &action);
    return action;
}

// Loads the library, calls StartExceptionHandler `starts` times, unloads it.
bool LoadStartUnload(const char* path, int starts) {
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!Check(library != nullptr, "dlopen")) return false;
    auto start = reinterpret_cast<void (*)()>(dlsym(library, "_Z21StartExceptionHandlerv"));
    if (!Check(start != nullptr, "StartExceptionHandler exported")) return false;
    for (int i = 0; i < starts; ++i) start();
    bool ok = Check(Query(SIGSEGV).sa_handler != OwnHandler, "Kestrel's handler installed");
    dlclose(library);
    return ok && Check(dlopen(path, RTLD_NOW | RTLD_NOLOAD) == nullptr, "library unloaded");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::signal(SIGSEGV, OwnHandler);
    stack_t before{};
    sigaltstack(nullptr, &before);

    bool ok = LoadStartUnload(argv[1], 1);
    ok = Check(Query(SIGSEGV).sa_handler == OwnHandler, "own handler back after unload") && ok;
    stack_t after{};
    sigaltstack(nullptr, &after);
    ok = Check((after.ss_flags & SS_DISABLE) == (before.ss_flags & SS_DISABLE) &&
                   after.ss_sp == before.ss_sp,
               "alternate stack back after unload") &&
         ok;

    // Started twice, Kestrel remembers itself; after unload the default
    // action must be installed rather than a handler in unloaded code.
    ok = LoadStartUnload(argv[1], 2) && ok;
    ok = Check(Query(SIGSEGV).sa_handler == SIG_DFL, "default action after unload") && ok;
    return ok ? 0 : 1;
}
