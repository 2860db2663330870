#include "SafeIo.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>

namespace kestrel {

pid_t CurrentThreadId() noexcept {
    return static_cast<pid_t>(syscall(SYS_gettid));
}

bool WriteAll(int fd, const void* data, std::size_t size) noexcept {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

long ReadWholeFile(const char* path, char* buffer, std::size_t capacity) noexcept {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    std::size_t used = 0;
    while (used < capacity) {
        ssize_t n = read(fd, buffer + used, capacity - used);
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (n == 0) break;
        used += static_cast<std::size_t>(n);
    }
    close(fd);
    return static_cast<long>(used);
}

bool ReadMemory(std::uintptr_t address, void* out, std::size_t size) noexcept {
    if (size == 0) return true;
    iovec local{out, size};
    iovec remote{reinterpret_cast<void*>(address), size};
    ssize_t n = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
    return n == static_cast<ssize_t>(size);
}

char* AppendDecimal(char* out, std::uint64_t value) noexcept {
    char digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0) *out++ = digits[--count];
    return out;
}

bool ParseHex(const char** cursor, const char* end, std::uint64_t* value) noexcept {
    const char* p = *cursor;
    std::uint64_t v = 0;
    while (p < end) {
        char c = *p;
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            break;
        }
        v = (v << 4) | digit;
        ++p;
    }
    if (p == *cursor) return false;
    *cursor = p;
    *value = v;
    return true;
}

bool ParseDecimal(const char** cursor, const char* end, std::uint64_t* value) noexcept {
    const char* p = *cursor;
    std::uint64_t v = 0;
    while (p < end && *p >= '0' && *p <= '9') v = v * 10 + static_cast<unsigned>(*p++ - '0');
    if (p == *cursor) return false;
    *cursor = p;
    *value = v;
    return true;
}

}  // namespace kestrel
