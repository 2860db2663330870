#include "ProcMaps.h"

#include "SafeIo.h"

namespace kestrel {
namespace {

bool ParseLine(const char* p, const char* end, MapsLine* line) noexcept {
    // start-end perms offset major:minor inode [path]
    if (!ParseHex(&p, end, &line->start) || p == end || *p++ != '-') return false;
    if (!ParseHex(&p, end, &line->end) || p == end || *p++ != ' ') return false;
    if (end - p < 5) return false;
    line->readable = p[0] == 'r';
    p += 4;
    if (*p++ != ' ') return false;
    if (!ParseHex(&p, end, &line->offset) || p == end || *p++ != ' ') return false;
    if (!ParseHex(&p, end, &line->devMajor) || p == end || *p++ != ':') return false;
    if (!ParseHex(&p, end, &line->devMinor) || p == end || *p++ != ' ') return false;
    if (!ParseDecimal(&p, end, &line->inode)) return false;
    while (p < end && *p == ' ') ++p;
    line->path = p;
    line->pathLength = static_cast<std::size_t>(end - p);
    return true;
}

}  // namespace

bool MapsCursor::Next(MapsLine* line) noexcept {
    while (p_ < end_) {
        const char* lineEnd = p_;
        while (lineEnd < end_ && *lineEnd != '\n') ++lineEnd;
        if (lineEnd == end_) {  // a cut-off last line is not used
            p_ = end_;
            return false;
        }
        const char* begin = p_;
        p_ = lineEnd + 1;
        *line = MapsLine{};
        if (ParseLine(begin, lineEnd, line)) return true;
    }
    return false;
}

bool FindMapping(const char* maps, std::size_t size, std::uint64_t address,
                 MapsLine* found) noexcept {
    MapsCursor cursor(maps, size);
    MapsLine line;
    while (cursor.Next(&line)) {
        if (address >= line.start && address < line.end) {
            *found = line;
            return true;
        }
    }
    return false;
}

}  // namespace kestrel
