// Runs a test program as a child process and collects how it ended.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kestrel::test {

struct ChildOptions {
    std::vector<std::string> arguments;
    std::filesystem::path workingDirectory;
    // "NAME=value" entries added to (or replacing in) the inherited environment.
    std::vector<std::string> environment;
    bool allowCoreFile = false;  // raise the core file size limit (else 0)
    bool unprivileged = false;   // run as user and group 65534 when started as root
};

struct ChildResult {
    int pid = 0;
    int status = 0;  // as waitpid reports it
    std::string output;
    bool timedOut = false;

    bool KilledBy(int sig) const;
    bool ExitedWith(int code) const;
    bool CoreDumped() const;
    // The numbers printed on lines "<label> <number>".
    std::vector<long> Numbers(const std::string& label) const;
    std::string Describe() const;
};

ChildResult RunChild(const std::filesystem::path& program, const ChildOptions& options);

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace kestrel::test
