// Crashes the test program in child processes and reads back the dumps it
// leaves next to itself.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "ChildProcess.h"
#include "MinidumpReader.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

struct Variant {
    const char* name;
    const char* crasher;
};

void PrintTo(const Variant& variant, std::ostream* out) {
    *out << variant.name;
}

// The crasher built like the rest of the tests (with the sanitizers of the
// build, linked to the Kestrel library under test), and the same program
// built without sanitizers against a copy of Kestrel built without them.
const Variant kVariants[] = {{"Kestrel", KESTREL_CRASHER}, {"Plain", KESTREL_CRASHER_PLAIN}};

// AddressSanitizer would otherwise install its own handlers for these
// signals and an alternate stack of its own, and report the crash itself
// when Kestrel hands it back.
const char* const kChildAsanOptions =
    "ASAN_OPTIONS=handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0:"
    "handle_abort=0:use_sigaltstack=0:detect_leaks=0";

constexpr std::uint32_t kContextControlAndInteger = 0x00100003;

std::string Hex(std::uint64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(value));
    return text;
}

std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class CrashTestBase {
protected:
    // Copies the crasher into `folder` as `name`.
    static fs::path Install(const Variant& variant, const fs::path& folder,
                            const std::string& name) {
        fs::create_directories(folder);
        fs::path program = folder / name;
        fs::copy_file(variant.crasher, program, fs::copy_options::overwrite_existing);
        fs::permissions(program, fs::perms::owner_all | fs::perms::group_read |
                                     fs::perms::group_exec | fs::perms::others_read |
                                     fs::perms::others_exec);
        return program;
    }

    static ChildResult RunCrasher(const fs::path& program, std::vector<std::string> arguments,
                                  bool allowCore = false, bool unprivileged = false) {
        ChildOptions options;
        options.arguments = std::move(arguments);
        options.workingDirectory = program.parent_path();
        options.environment = {kChildAsanOptions};
        options.allowCoreFile = allowCore;
        options.unprivileged = unprivileged;
        return RunChild(program, options);
    }

    static Minidump ReadDump(const fs::path& file) { return ReadMinidump(ReadFileBytes(file)); }

    // What every dump must show, whatever the crash.
    static void ExpectCommonContent(const Minidump& dump, const ChildResult& child,
                                    const fs::path& program, int sig) {
        EXPECT_EQ(dump.version & 0xffff, 0xa793u);
        EXPECT_EQ(dump.architecture, 9) << "x86-64";
        EXPECT_EQ(dump.platform, 0x8201u) << "Linux";
        EXPECT_GE(dump.processors, 1);
        EXPECT_EQ(dump.systemDescription.rfind("Linux ", 0), 0u) << dump.systemDescription;
        EXPECT_EQ(dump.processId, static_cast<std::uint32_t>(child.pid));

        EXPECT_EQ(dump.exceptionCode, static_cast<std::uint32_t>(sig));
        std::vector<long> tids = child.Numbers("tid");
        ASSERT_EQ(tids.size(), 1u) << child.output;
        EXPECT_EQ(dump.exceptionThread, static_cast<std::uint32_t>(tids[0]));
        const DumpContext& context = dump.exceptionContext;
        EXPECT_EQ(context.flags & kContextControlAndInteger, kContextControlAndInteger);
        EXPECT_NE(context.rip, 0u);
        EXPECT_NE(context.rsp, 0u);

        const DumpThread* thread = dump.Thread(dump.exceptionThread);
        ASSERT_NE(thread, nullptr) << "the crashing thread is in the thread list";
        EXPECT_EQ(thread->context.rip, context.rip);
        EXPECT_EQ(thread->context.rsp, context.rsp);
        EXPECT_FALSE(thread->stack.empty());
        bool stackListed = false;
        for (const DumpMemoryRange& r : dump.memory) {
            stackListed =
                stackListed || (r.start == thread->stackStart && r.size == thread->stack.size());
        }
        EXPECT_TRUE(stackListed) << "the stack is in the memory list";

        const DumpModule* self = dump.ModuleNamed(fs::canonical(program).string());
        ASSERT_NE(self, nullptr) << "the program is among the modules";
        EXPECT_EQ(self->cvSignature, kCvElfBuildId);
        std::vector<std::uint8_t> buildId = ReadElfBuildId(program.string());
        EXPECT_FALSE(buildId.empty());
        EXPECT_EQ(self->buildId, buildId);
        EXPECT_NE(dump.ModuleAt(context.rip), nullptr) << "the crash is inside a module";

        // Every module is a mapping of the maps stream, starting at its base.
        for (const DumpModule& m : dump.modules) {
            std::string start = "\n" + Hex(m.base) + "-";
            std::size_t line = ("\n" + dump.maps).find(start);
            ASSERT_NE(line, std::string::npos) << m.name;
            std::string text = dump.maps.substr(line, dump.maps.find('\n', line) - line);
            EXPECT_NE(text.find(m.name), std::string::npos) << text;
            EXPECT_EQ(m.base % 4096, 0u);
            EXPECT_GT(m.size, 0u);
        }
        EXPECT_NE(dump.maps.find(fs::canonical(program).string()), std::string::npos);
        ASSERT_TRUE(dump.procStatus.has_value());
        EXPECT_NE(dump.procStatus->find("Pid:\t" + std::to_string(child.pid)), std::string::npos);
    }
};

class CrashDumpTest : public CrashTestBase, public ::testing::TestWithParam<Variant> {
protected:
    TempFolder temp_;
};

// ---------------------------------------------------------------------------
// The four kinds of crash

struct CrashKind {
    const char* mode;
    int sig;
};

void PrintTo(const CrashKind& kind, std::ostream* out) {
    *out << kind.mode;
}

const CrashKind kCrashKinds[] = {
    {"segv", SIGSEGV}, {"abort", SIGABRT}, {"fpe", SIGFPE}, {"overflow", SIGSEGV}};

class CrashKindTest : public CrashTestBase,
                      public ::testing::TestWithParam<std::tuple<Variant, CrashKind>> {
protected:
    TempFolder temp_;
};

TEST_P(CrashKindTest, LeavesDumpAndDiesOfTheSignal) {
    const auto& [variant, kind] = GetParam();
    fs::path program = Install(variant, temp_.Path(), "crasher");
    ChildResult child = RunCrasher(program, {kind.mode}, /*allowCore=*/true);
    ASSERT_TRUE(child.KilledBy(kind.sig)) << child.Describe();
    EXPECT_FALSE(child.CoreDumped()) << "the dump replaces the core file";
    ASSERT_EQ(FilesIn(temp_.Path()), (std::vector<std::string>{"crasher", "crasher.dmp"}));

    Minidump dump;
    ASSERT_NO_THROW(dump = ReadDump(temp_.Path() / "crasher.dmp"));
    ExpectCommonContent(dump, child, program, kind.sig);
    const DumpContext& context = dump.exceptionContext;
    const DumpThread* thread = dump.Thread(dump.exceptionThread);
    ASSERT_NE(thread, nullptr);
    const DumpModule* module = dump.ModuleAt(context.rip);
    ASSERT_NE(module, nullptr);
    std::string selfPath = fs::canonical(program).string();

    std::string mode = kind.mode;
    if (mode == "segv") {
        EXPECT_EQ(dump.exceptionAddress, 0x10u) << "the address written to";
        EXPECT_EQ(dump.exceptionFlags, static_cast<std::uint32_t>(SEGV_MAPERR));
        EXPECT_EQ(module->name, selfPath);
    } else if (mode == "abort") {
        EXPECT_EQ(dump.exceptionAddress, context.rip);
        EXPECT_NE(module->name.find("libc.so"), std::string::npos) << module->name;
    } else if (mode == "fpe") {
        EXPECT_EQ(dump.exceptionAddress, context.rip) << "the dividing instruction";
        EXPECT_EQ(dump.exceptionFlags, static_cast<std::uint32_t>(FPE_INTDIV));
        EXPECT_EQ(module->name, selfPath);
    } else if (mode == "overflow") {
        // The fault is just below the stack pointer, past the end of the
        // stack; the saved stack is full of the recursion's frames.
        std::uint64_t distance = context.rsp > dump.exceptionAddress
                                     ? context.rsp - dump.exceptionAddress
                                     : dump.exceptionAddress - context.rsp;
        EXPECT_LT(distance, 65536u);
        EXPECT_GE(thread->stack.size(), 128u * 1024);
        EXPECT_EQ(module->name, selfPath);
    }
    if (mode != "overflow") {
        EXPECT_EQ(thread->stackStart, context.rsp) << "the stack is saved from its pointer up";
    }
}

INSTANTIATE_TEST_SUITE_P(Crashes, CrashKindTest,
                         ::testing::Combine(::testing::ValuesIn(kVariants),
                                            ::testing::ValuesIn(kCrashKinds)),
                         [](const auto& info) {
                             std::string mode = std::get<1>(info.param).mode;
                             return std::string(std::get<0>(info.param).name) + "_" + mode;
                         });

// ---------------------------------------------------------------------------
// File name and replacement

TEST_P(CrashDumpTest, DumpIsNamedAfterTheExecutable) {
    struct Case {
        const char* folder;
        const char* program;
        const char* dump;
    };
    const Case cases[] = {
        {"a", "Tarvik.bin", "Tarvik.dmp"},
        {"b", "tool.v2.exe", "tool.v2.dmp"},
        {"c.d", "tarvik", "tarvik.dmp"},  // a "." in the folder does not count
        {"e", ".hidden", ".hidden.dmp"},  // nor a leading "." of the name
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        fs::path folder = temp_.Path() / c.folder;
        fs::path program = Install(GetParam(), folder, c.program);
        ChildResult child = RunCrasher(program, {"segv"});
        ASSERT_TRUE(child.KilledBy(SIGSEGV)) << child.Describe();
        std::vector<std::string> expected{c.program, c.dump};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(FilesIn(folder), expected);
    }
}

TEST_P(CrashDumpTest, SecondCrashReplacesTheDump) {
    fs::path program = Install(GetParam(), temp_.Path(), "crasher");
    fs::path file = temp_.Path() / "crasher.dmp";
    {
        std::ofstream stale(file, std::ios::binary);
        stale << std::string(4 << 20, 'x');
    }
    ChildResult first = RunCrasher(program, {"segv"});
    ASSERT_TRUE(first.KilledBy(SIGSEGV)) << first.Describe();
    Minidump dump;
    ASSERT_NO_THROW(dump = ReadDump(file));
    EXPECT_EQ(dump.exceptionCode, static_cast<std::uint32_t>(SIGSEGV));
    EXPECT_LT(fs::file_size(file), 4u << 20) << "nothing of the old file is left";

    ChildResult second = RunCrasher(program, {"fpe"});
    ASSERT_TRUE(second.KilledBy(SIGFPE)) << second.Describe();
    ASSERT_NO_THROW(dump = ReadDump(file));
    EXPECT_EQ(dump.exceptionCode, static_cast<std::uint32_t>(SIGFPE));
    EXPECT_EQ(dump.processId, static_cast<std::uint32_t>(second.pid));
    EXPECT_EQ(FilesIn(temp_.Path()), (std::vector<std::string>{"crasher", "crasher.dmp"}));
}

// ---------------------------------------------------------------------------
// Threads

TEST_P(CrashDumpTest, ListsEveryThreadWithStacksOfTheWaitingOnes) {
    fs::path program = Install(GetParam(), temp_.Path(), "crasher");
    ChildResult child = RunCrasher(program, {"segv", "--threads=3"});
    ASSERT_TRUE(child.KilledBy(SIGSEGV)) << child.Describe();
    Minidump dump;
    ASSERT_NO_THROW(dump = ReadDump(temp_.Path() / "crasher.dmp"));
    std::vector<long> waiting = child.Numbers("thread");
    ASSERT_EQ(waiting.size(), 3u) << child.output;
    for (long tid : waiting) {
        SCOPED_TRACE(tid);
        const DumpThread* thread = dump.Thread(static_cast<std::uint32_t>(tid));
        ASSERT_NE(thread, nullptr);
        // Blocked in the kernel: its stack and instruction pointers are known.
        EXPECT_NE(thread->context.rsp, 0u);
        EXPECT_NE(dump.ModuleAt(thread->context.rip), nullptr);
        EXPECT_EQ(thread->stackStart, thread->context.rsp);
        EXPECT_FALSE(thread->stack.empty());
    }
    EXPECT_NE(dump.Thread(static_cast<std::uint32_t>(child.pid)), nullptr) << "main thread";
    EXPECT_EQ(dump.threads.size(), 4u);
}

TEST_P(CrashDumpTest, CrashInAnotherThreadNamesThatThread) {
    fs::path program = Install(GetParam(), temp_.Path(), "crasher");
    ChildResult child = RunCrasher(program, {"thread-segv"});
    ASSERT_TRUE(child.KilledBy(SIGSEGV)) << child.Describe();
    Minidump dump;
    ASSERT_NO_THROW(dump = ReadDump(temp_.Path() / "crasher.dmp"));
    ExpectCommonContent(dump, child, program, SIGSEGV);
    EXPECT_NE(dump.exceptionThread, static_cast<std::uint32_t>(child.pid));
    EXPECT_EQ(dump.exceptionAddress, 0x10u);
    EXPECT_NE(dump.Thread(static_cast<std::uint32_t>(child.pid)), nullptr) << "main thread";
}

// ---------------------------------------------------------------------------
// When no dump can be written, and Start/Stop

TEST_P(CrashDumpTest, UnwritableFolderLeavesNoFileAndDiesAsUsual) {
    fs::path program = Install(GetParam(), temp_.Path(), "crasher");
    fs::permissions(temp_.Path(), fs::perms::owner_read | fs::perms::owner_exec |
                                      fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
    // As root, the folder's permissions bind only a user without privileges.
    ChildResult probe = RunCrasher(program, {"none"}, false, /*unprivileged=*/true);
    if (!probe.ExitedWith(0)) {
        GTEST_SKIP() << "the test program cannot run as an unprivileged user here: "
                     << probe.Describe();
    }
    ChildResult child = RunCrasher(program, {"segv"}, false, /*unprivileged=*/true);
    EXPECT_TRUE(child.KilledBy(SIGSEGV)) << child.Describe();
    EXPECT_EQ(FilesIn(temp_.Path()), (std::vector<std::string>{"crasher"}));
}

TEST_P(CrashDumpTest, FullDiskLeavesNoFileAndDiesOfTheSignal) {
    fs::path program = Install(GetParam(), temp_.Path(), "crasher");
    for (const CrashKind& kind : kCrashKinds) {
        SCOPED_TRACE(kind.mode);
        ChildResult child = RunCrasher(program, {kind.mode, "--no-space"});
        EXPECT_TRUE(child.KilledBy(kind.sig)) << child.Describe();
        EXPECT_EQ(FilesIn(temp_.Path()), (std::vector<std::string>{"crasher"}))
            << "neither the dump nor its unfinished file is left";
    }
}

TEST_P(CrashDumpTest, PreviousHandlerRunsWhenNoDumpCanBeWritten) {
    fs::path program = Install(GetParam(), temp_.Path(), "crasher");
    ChildResult child = RunCrasher(program, {"segv", "--own-handler", "--no-space"});
    EXPECT_TRUE(child.ExitedWith(42)) << child.Describe();
    EXPECT_NE(child.output.find("own handler"), std::string::npos);
    EXPECT_EQ(FilesIn(temp_.Path()), (std::vector<std::string>{"crasher"}));
}

TEST_P(CrashDumpTest, StopRestoresThePreviousHandler) {
    fs::path program = Install(GetParam(), temp_.Path(), "crasher");
    ChildResult child = RunCrasher(program, {"segv", "--own-handler", "--stop"});
    EXPECT_TRUE(child.ExitedWith(42)) << child.Describe();
    EXPECT_EQ(FilesIn(temp_.Path()), (std::vector<std::string>{"crasher"}));
}

TEST_P(CrashDumpTest, StopWithoutPreviousHandlerRestoresTheDefaultAction) {
    fs::path program = Install(GetParam(), temp_.Path(), "crasher");
    ChildResult child = RunCrasher(program, {"segv", "--stop"});
    EXPECT_TRUE(child.KilledBy(SIGSEGV)) << child.Describe();
    EXPECT_EQ(FilesIn(temp_.Path()), (std::vector<std::string>{"crasher"}));
}

TEST_P(CrashDumpTest, SecondStartRemembersKestrelItself) {
    fs::path program = Install(GetParam(), temp_.Path(), "crasher");
    // Stop puts back what the second start replaced: Kestrel's own handler.
    ChildResult stopped = RunCrasher(program, {"segv", "--own-handler", "--twice", "--stop"});
    EXPECT_TRUE(stopped.KilledBy(SIGSEGV)) << stopped.Describe();
    EXPECT_TRUE(fs::exists(temp_.Path() / "crasher.dmp"));
    fs::remove(temp_.Path() / "crasher.dmp");

    // Handing back to Kestrel itself would loop: the default action runs.
    ChildResult failed = RunCrasher(program, {"segv", "--own-handler", "--twice", "--no-space"});
    EXPECT_TRUE(failed.KilledBy(SIGSEGV)) << failed.Describe();
    EXPECT_EQ(FilesIn(temp_.Path()), (std::vector<std::string>{"crasher"}));
}

INSTANTIATE_TEST_SUITE_P(Variants, CrashDumpTest, ::testing::ValuesIn(kVariants),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kestrel::test
