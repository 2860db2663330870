#include "MinidumpReader.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace kestrel::test {
namespace {

constexpr std::uint32_t kThreadList = 3, kModuleList = 4, kMemoryList = 5, kException = 6,
                        kSystemInfo = 7, kMiscInfo = 15, kLinuxProcStatus = 0x47670004,
                        kLinuxMaps = 0x47670009;
constexpr std::uint32_t kContextSizeAmd64 = 1232;

class Bytes {
public:
    explicit Bytes(const std::vector<std::uint8_t>& data) : data_(data) {}

    void Check(std::uint64_t offset, std::uint64_t size, const char* what) const {
        if (offset > data_.size() || size > data_.size() - offset) {
            throw std::runtime_error(std::string(what) + " lies outside the file");
        }
    }
    template <typename T>
    T Get(std::uint64_t offset, const char* what) const {
        Check(offset, sizeof(T), what);
        T value;
        std::memcpy(&value, data_.data() + offset, sizeof value);
        return value;
    }
    std::uint32_t U32(std::uint64_t offset, const char* what) const {
        return Get<std::uint32_t>(offset, what);
    }
    std::uint64_t U64(std::uint64_t offset, const char* what) const {
        return Get<std::uint64_t>(offset, what);
    }
    std::vector<std::uint8_t> Slice(std::uint64_t offset, std::uint64_t size,
                                    const char* what) const {
        Check(offset, size, what);
        return {data_.begin() + static_cast<long>(offset),
                data_.begin() + static_cast<long>(offset + size)};
    }
    // A string record: byte length, UTF-16 text, terminating zero.
    std::string String(std::uint64_t offset, const char* what) const {
        std::uint32_t length = U32(offset, what);
        if (length % 2 != 0) throw std::runtime_error(std::string(what) + ": odd length");
        Check(offset + 4, length + 2ull, what);
        if (Get<std::uint16_t>(offset + 4 + length, what) != 0) {
            throw std::runtime_error(std::string(what) + ": no terminating zero");
        }
        std::u16string text(length / 2, u'\0');
        std::memcpy(text.data(), data_.data() + offset + 4, length);
        return ToUtf8(text);
    }

private:
    static std::string ToUtf8(const std::u16string& text) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            char32_t c = text[i];
            if (c >= 0xd800 && c < 0xdc00 && i + 1 < text.size()) {
                c = 0x10000 + ((c - 0xd800) << 10) + (text[++i] - 0xdc00);
            }
            if (c < 0x80) {
                out += static_cast<char>(c);
            } else if (c < 0x800) {
                out += static_cast<char>(0xc0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3f));
            } else if (c < 0x10000) {
                out += static_cast<char>(0xe0 | (c >> 12));
                out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
                out += static_cast<char>(0x80 | (c & 0x3f));
            } else {
                out += static_cast<char>(0xf0 | (c >> 18));
                out += static_cast<char>(0x80 | ((c >> 12) & 0x3f));
                out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
                out += static_cast<char>(0x80 | (c & 0x3f));
            }
        }
        return out;
    }

    const std::vector<std::uint8_t>& data_;
};

DumpContext ReadContext(const Bytes& b, std::uint32_t size, std::uint32_t rva) {
    if (size != kContextSizeAmd64) throw std::runtime_error("context of unexpected size");
    b.Check(rva, size, "context");
    DumpContext c;
    c.size = size;
    c.flags = b.U32(rva + 48, "context flags");
    if ((c.flags & kContextAmd64) == 0) throw std::runtime_error("context is not x86-64");
    c.rsp = b.U64(rva + 152, "rsp");
    c.rbp = b.U64(rva + 160, "rbp");
    c.rip = b.U64(rva + 248, "rip");
    return c;
}

const DumpStream& Require(const Minidump& dump, std::uint32_t type) {
    const DumpStream* stream = dump.Find(type);
    if (stream == nullptr) throw std::runtime_error("stream " + std::to_string(type) + " missing");
    return *stream;
}

void ReadSystemInfo(const Bytes& b, Minidump& dump) {
    const DumpStream& s = Require(dump, kSystemInfo);
    if (s.size < 56) throw std::runtime_error("system info too short");
    dump.architecture = b.Get<std::uint16_t>(s.rva, "architecture");
    dump.processors = b.Get<std::uint8_t>(s.rva + 6, "processors");
    dump.platform = b.U32(s.rva + 20, "platform");
    dump.systemDescription = b.String(b.U32(s.rva + 24, "CSD rva"), "CSD version");
}

void ReadException(const Bytes& b, Minidump& dump) {
    const DumpStream& s = Require(dump, kException);
    if (s.size < 168) throw std::runtime_error("exception stream too short");
    dump.exceptionThread = b.U32(s.rva, "exception thread");
    dump.exceptionCode = b.U32(s.rva + 8, "exception code");
    dump.exceptionFlags = b.U32(s.rva + 12, "exception flags");
    dump.exceptionAddress = b.U64(s.rva + 24, "exception address");
    dump.exceptionContext =
        ReadContext(b, b.U32(s.rva + 160, "context size"), b.U32(s.rva + 164, "context rva"));
}

void ReadThreads(const Bytes& b, Minidump& dump) {
    const DumpStream& s = Require(dump, kThreadList);
    std::uint32_t count = b.U32(s.rva, "thread count");
    if (4 + 48ull * count > s.size) throw std::runtime_error("thread list larger than its stream");
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint64_t at = s.rva + 4 + 48ull * i;
        DumpThread t;
        t.id = b.U32(at, "thread id");
        t.stackStart = b.U64(at + 24, "stack start");
        std::uint32_t stackSize = b.U32(at + 32, "stack size");
        t.stack = b.Slice(b.U32(at + 36, "stack rva"), stackSize, "stack memory");
        t.context = ReadContext(b, b.U32(at + 40, "context size"), b.U32(at + 44, "context rva"));
        dump.threads.push_back(std::move(t));
    }
}

void ReadModules(const Bytes& b, Minidump& dump) {
    const DumpStream& s = Require(dump, kModuleList);
    std::uint32_t count = b.U32(s.rva, "module count");
    if (4 + 108ull * count > s.size) throw std::runtime_error("module list larger than its stream");
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint64_t at = s.rva + 4 + 108ull * i;
        DumpModule m;
        m.base = b.U64(at, "module base");
        m.size = b.U32(at + 8, "module size");
        m.name = b.String(b.U32(at + 20, "module name rva"), "module name");
        std::uint32_t cvSize = b.U32(at + 76, "CodeView size");
        std::uint32_t cvRva = b.U32(at + 80, "CodeView rva");
        if (cvSize > 0) {
            if (cvSize < 4) throw std::runtime_error("CodeView record too short");
            m.cvSignature = b.U32(cvRva, "CodeView signature");
            if (m.cvSignature == kCvElfBuildId) {
                m.buildId = b.Slice(cvRva + 4, cvSize - 4, "build id");
            } else if (m.cvSignature == kCvPdb70) {
                m.buildId = b.Slice(cvRva + 4, 16, "PDB 7.0 signature");
            } else {
                throw std::runtime_error("unknown CodeView record");
            }
        }
        dump.modules.push_back(std::move(m));
    }
}

void ReadMemory(const Bytes& b, Minidump& dump) {
    const DumpStream& s = Require(dump, kMemoryList);
    std::uint32_t count = b.U32(s.rva, "memory range count");
    if (4 + 16ull * count > s.size) throw std::runtime_error("memory list larger than its stream");
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint64_t at = s.rva + 4 + 16ull * i;
        DumpMemoryRange r{b.U64(at, "range start"), b.U32(at + 8, "range size"),
                          b.U32(at + 12, "range rva")};
        b.Check(r.rva, r.size, "memory range");
        dump.memory.push_back(r);
    }
}

std::string StreamText(const Bytes& b, const DumpStream& s) {
    auto bytes = b.Slice(s.rva, s.size, "text stream");
    return {bytes.begin(), bytes.end()};
}

}  // namespace

const DumpStream* Minidump::Find(std::uint32_t type) const {
    for (const DumpStream& s : streams) {
        if (s.type == type) return &s;
    }
    return nullptr;
}

const DumpThread* Minidump::Thread(std::uint32_t id) const {
    for (const DumpThread& t : threads) {
        if (t.id == id) return &t;
    }
    return nullptr;
}

const DumpModule* Minidump::ModuleNamed(const std::string& path) const {
    for (const DumpModule& m : modules) {
        if (m.name == path) return &m;
    }
    return nullptr;
}

const DumpModule* Minidump::ModuleAt(std::uint64_t address) const {
    for (const DumpModule& m : modules) {
        if (address >= m.base && address - m.base < m.size) return &m;
    }
    return nullptr;
}

Minidump ReadMinidump(const std::vector<std::uint8_t>& data) {
    Bytes b(data);
    Minidump dump;
    dump.fileSize = data.size();
    if (b.U32(0, "signature") != 0x504d444d) throw std::runtime_error("no MDMP signature");
    dump.version = b.U32(4, "version");
    std::uint32_t count = b.U32(8, "stream count");
    std::uint32_t directory = b.U32(12, "directory rva");
    b.Check(directory, 12ull * count, "stream directory");
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint64_t at = directory + 12ull * i;
        DumpStream s{b.U32(at, "stream type"), b.U32(at + 8, "stream rva"),
                     b.U32(at + 4, "stream size")};
        b.Check(s.rva, s.size, "stream");
        if (dump.Find(s.type) != nullptr) throw std::runtime_error("stream given twice");
        dump.streams.push_back(s);
    }
    ReadSystemInfo(b, dump);
    const DumpStream& misc = Require(dump, kMiscInfo);
    if (misc.size < 24 || (b.U32(misc.rva + 4, "misc flags") & 1) == 0) {
        throw std::runtime_error("misc info without process id");
    }
    dump.processId = b.U32(misc.rva + 8, "process id");
    ReadException(b, dump);
    ReadThreads(b, dump);
    ReadModules(b, dump);
    ReadMemory(b, dump);
    dump.maps = StreamText(b, Require(dump, kLinuxMaps));
    if (const DumpStream* status = dump.Find(kLinuxProcStatus)) {
        dump.procStatus = StreamText(b, *status);
    }
    return dump;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> ReadElfBuildId(const std::string& path) {
    std::vector<std::uint8_t> data = ReadFileBytes(path);
    Bytes b(data);
    if (b.U32(0, "ELF magic") != 0x464c457f) throw std::runtime_error("not an ELF file");
    std::uint64_t phoff = b.U64(32, "e_phoff");
    std::uint16_t phentsize = b.Get<std::uint16_t>(54, "e_phentsize");
    std::uint16_t phnum = b.Get<std::uint16_t>(56, "e_phnum");
    for (std::uint16_t i = 0; i < phnum; ++i) {
        std::uint64_t ph = phoff + std::uint64_t{phentsize} * i;
        if (b.U32(ph, "p_type") != 4) continue;  // PT_NOTE
        std::uint64_t offset = b.U64(ph + 8, "p_offset");
        std::uint64_t size = b.U64(ph + 32, "p_filesz");
        std::uint64_t align = b.U64(ph + 48, "p_align") == 8 ? 8 : 4;
        auto up = [align](std::uint64_t n) { return (n + align - 1) / align * align; };
        for (std::uint64_t at = offset; at + 12 <= offset + size;) {
            std::uint32_t namesz = b.U32(at, "n_namesz");
            std::uint32_t descsz = b.U32(at + 4, "n_descsz");
            std::uint32_t type = b.U32(at + 8, "n_type");
            std::uint64_t name = at + 12;
            std::uint64_t desc = name + up(namesz);
            if (type == 3 && namesz == 4 && b.U32(name, "note name") == 0x00554e47) {
                return b.Slice(desc, descsz, "build id");
            }
            at = desc + up(descsz);
        }
    }
    return {};
}

}  // namespace kestrel::test
