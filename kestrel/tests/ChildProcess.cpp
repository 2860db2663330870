#include "ChildProcess.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace kestrel::test {
namespace {

constexpr auto kTimeout = std::chrono::seconds(60);
constexpr uid_t kUnprivilegedId = 65534;

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> result;
    auto key = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    for (char** e = environ; *e != nullptr; ++e) {
        std::string entry = *e;
        bool replaced = false;
        for (const std::string& x : extra) replaced = replaced || key(x) == key(entry);
        if (!replaced) result.push_back(entry);
    }
    result.insert(result.end(), extra.begin(), extra.end());
    return result;
}

}  // namespace

bool ChildResult::KilledBy(int sig) const {
    return !timedOut && WIFSIGNALED(status) && WTERMSIG(status) == sig;
}

bool ChildResult::ExitedWith(int code) const {
    return !timedOut && WIFEXITED(status) && WEXITSTATUS(status) == code;
}

bool ChildResult::CoreDumped() const {
    return WIFSIGNALED(status) && WCOREDUMP(status);
}

std::vector<long> ChildResult::Numbers(const std::string& label) const {
    std::vector<long> numbers;
    std::istringstream lines(output);
    std::string word;
    long number = 0;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        if (fields >> word >> number && word == label) numbers.push_back(number);
    }
    return numbers;
}

std::string ChildResult::Describe() const {
    std::ostringstream text;
    if (timedOut) {
        text << "timed out";
    } else if (WIFSIGNALED(status)) {
        text << "killed by signal " << WTERMSIG(status) << (CoreDumped() ? " (core dumped)" : "");
    } else {
        text << "exited with " << WEXITSTATUS(status);
    }
    text << "; output:\n" << output;
    return text.str();
}

ChildResult RunChild(const std::filesystem::path& program, const ChildOptions& options) {
    std::vector<std::string> arguments{program.string()};
    arguments.insert(arguments.end(), options.arguments.begin(), options.arguments.end());
    std::vector<std::string> environment = MergedEnvironment(options.environment);
    std::vector<char*> argv, envp;
    for (std::string& a : arguments) argv.push_back(a.data());
    for (std::string& e : environment) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const bool dropPrivileges = options.unprivileged && geteuid() == 0;

    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec.
        dup2(pipeFds[1], STDOUT_FILENO);
        rlimit core{0, 0};
        if (options.allowCoreFile) {
            getrlimit(RLIMIT_CORE, &core);
            core.rlim_cur = core.rlim_max;
        }
        setrlimit(RLIMIT_CORE, &core);
        if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) {
            _exit(126);
        }
        if (dropPrivileges && (setgroups(0, nullptr) != 0 || setgid(kUnprivilegedId) != 0 ||
                               setuid(kUnprivilegedId) != 0)) {
            _exit(126);
        }
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(pipeFds[1]);

    ChildResult result;
    result.pid = pid;
    auto deadline = std::chrono::steady_clock::now() + kTimeout;
    char buffer[4096];
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd fd{pipeFds[0], POLLIN, 0};
        if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) == 0) {
            result.timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        result.output.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeFds[0]);
    waitpid(pid, &result.status, 0);
    return result;
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrel-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace kestrel::test
