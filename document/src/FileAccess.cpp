// Whole-file reads and safe whole-file replacement.
#include "FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace tarvik::file {

namespace {

constexpr int kNotEnoughMemory = 8;
constexpr int kSizeNotAvailable = 30;

// Closes a descriptor when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now and reports the result.
    int Close() {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }

private:
    int fd_;
};

int WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

std::string DirName(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Creates a new file beside target with a unique name; the umask applies.
int CreateSibling(const std::string& target, std::string& name) {
    static std::atomic<unsigned> counter{0};
    const std::string dir = DirName(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = dir + "/.tarvik-" + std::to_string(::getpid()) + "-" +
               std::to_string(counter.fetch_add(1)) + ".tmp";
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

InputFile::~InputFile() {
    if (fd_ >= 0) ::close(fd_);
}

FileStatus InputFile::Open(const char* path) {
    fd_ = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        return {error, "не удалось открыть файл: " + SystemMessage(error)};
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return {kSizeNotAvailable, "не удалось узнать размер файла"};
    if (S_ISDIR(st.st_mode)) return {EISDIR, "это папка, а не файл"};
    if (!S_ISREG(st.st_mode))
        return {kSizeNotAvailable, "это не обычный файл, его размер узнать нельзя"};
    if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) >= INT_MAX)
        return {kNotEnoughMemory, "файл слишком велик (" + std::to_string(st.st_size) + " байт)"};
    size_ = static_cast<std::size_t>(st.st_size);
    return {};
}

FileStatus InputFile::Read(std::size_t count, std::string& text) {
    const std::size_t start = text.size();
    try {
        text.resize(start + count);
    } catch (const std::bad_alloc&) {
        return {kNotEnoughMemory,
                "недостаточно памяти для чтения файла (" + std::to_string(count) + " байт)"};
    }
    std::size_t done = 0;
    while (done < count) {
        const long n = ReadSome(fd_, text.data() + start + done, count - done);
        if (n < 0) {
            const int error = errno;
            text.resize(start + done);
            return {error, "не удалось прочитать файл: " + SystemMessage(error)};
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    text.resize(start + done);
    return {};
}

long ReadSome(int fd, char* buffer, std::size_t length) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer, length);
        if (n >= 0 || errno != EINTR) return static_cast<long>(n);
    }
}

int ReplaceFile(const char* path, std::string_view head, std::string_view body) {
    std::string target = path;
    struct stat st {};
    const bool exists = ::stat(path, &st) == 0;
    if (exists) {
        if (S_ISDIR(st.st_mode)) return EISDIR;
        if (::access(path, W_OK) != 0) return errno;
        // Replace the file a symbolic link points to, not the link.
        if (char* real = ::realpath(path, nullptr)) {
            target = real;
            std::free(real);
        }
    }
    std::string temporary;
    Fd fd(CreateSibling(target, temporary));
    if (fd.get() < 0) return errno;
    int error = WriteAll(fd.get(), head);
    if (error == 0) error = WriteAll(fd.get(), body);
    if (error == 0 && exists && ::fchmod(fd.get(), st.st_mode & 07777) != 0) error = errno;
    if (error == 0 && ::fsync(fd.get()) != 0) error = errno;
    if (fd.Close() != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) ::unlink(temporary.c_str());
    return error;
}

int CopyFile(const char* source, const std::string& target) {
    InputFile input;
    std::string text;
    FileStatus status = input.Open(source);
    if (status.code == 0) status = input.Read(input.Size(), text);
    if (status.code != 0) return status.code;
    const Fd fd(::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.get() < 0) return errno;
    return WriteAll(fd.get(), text);
}

std::string BaseName(std::string_view path) {
    const auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string SystemMessage(int error) {
    char buffer[256];
    // GNU strerror_r returns the text, which may or may not be in buffer.
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return text ? text : ("ошибка " + std::to_string(error));
}

}  // namespace tarvik::file
