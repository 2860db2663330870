// The calling contracts of the library: the page address in a caller's
// buffer, the two-call text protocol and the version.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "HtmlPage.h"

namespace {

namespace fs = std::filesystem;

const HTML_DOC kPages[] = {HTML_DOC_TITLE,    HTML_DOC_TABLE6_7, HTML_DOC_TABLE6_1,
                           HTML_DOC_TABLE8_9, HTML_DOC_TABLE10,  HTML_DOC_SKE_HEAD};
const int kUnknownPages[] = {-1, 1, 9, 15, 100};

constexpr char kGuard = '\x5A';

// Keeps the environment variables a test changes and puts them back.
class SavedEnv {
public:
    explicit SavedEnv(const char* name) : Name(name) {
        if (const char* value = std::getenv(name)) Value = value;
    }
    ~SavedEnv() {
        if (Value) {
            setenv(Name, Value->c_str(), 1);
        } else {
            unsetenv(Name);
        }
    }

private:
    const char* Name;
    std::optional<std::string> Value;
};

class PagesApi : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "tarvik-pages-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        Root = pattern;
        setenv("XDG_CACHE_HOME", Root.c_str(), 1);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(Root, ignored);
    }

    // Calls GetLocalURL with a 260-byte buffer (or capacity) inside a larger
    // guarded one; checks nothing was written past capacity.
    int LocalUrl(int page, std::string& url, std::uint32_t capacity = 260) {
        std::vector<char> memory(capacity + 64, kGuard);
        char* buffer = memory.data();
        int result = GetLocalURL(static_cast<HTML_DOC>(page), buffer, capacity);
        for (std::size_t i = capacity; i < memory.size(); ++i) {
            EXPECT_EQ(memory[i], kGuard) << "written past the buffer at " << i;
        }
        auto end = std::find(memory.begin(), memory.begin() + capacity, '\0');
        url = result && end != memory.begin() + capacity ? std::string(memory.begin(), end) : "";
        return result;
    }

    std::string Root;
    SavedEnv Cache{"XDG_CACHE_HOME"};
    SavedEnv Home{"HOME"};
};

std::string Decode(const std::string& url) {
    std::string path;
    for (std::size_t i = 0; i < url.size(); ++i) {
        if (url[i] == '%' && i + 2 < url.size()) {
            unsigned value = 0;
            std::from_chars(url.data() + i + 1, url.data() + i + 3, value, 16);
            path += static_cast<char>(value);
            i += 2;
        } else {
            path += url[i];
        }
    }
    return path;
}

std::string PathOf(const std::string& url) {
    EXPECT_EQ(url.rfind("file://", 0), 0u) << url;
    return Decode(url.substr(7));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(PagesApi, LocalUrlPointsToTheVersionedCopyOfEachPage) {
    for (HTML_DOC page : kPages) {
        SCOPED_TRACE(static_cast<int>(page));
        std::string url;
        ASSERT_EQ(LocalUrl(page, url), 1);
        std::string path = PathOf(url);
        EXPECT_EQ(path.rfind(Root + "/tarvik/pages/" TARVIK_PAGES_EXPECTED_VERSION "/", 0), 0u)
            << path;
        EXPECT_EQ(ReadFile(path), PageText(page));
    }
}

TEST_F(PagesApi, LocalUrlRefusesUnknownPagesAndNullBuffers) {
    for (int page : kUnknownPages) {
        std::vector<char> memory(260, kGuard);
        char* buffer = memory.data();
        EXPECT_EQ(GetLocalURL(static_cast<HTML_DOC>(page), buffer, 260), 0) << page;
        EXPECT_EQ(memory, std::vector<char>(260, kGuard)) << page;
    }
    char* none = nullptr;
    EXPECT_EQ(GetLocalURL(HTML_DOC_TITLE, none, 260), 0);
    std::string url;
    EXPECT_EQ(LocalUrl(HTML_DOC_TITLE, url, 0), 0);
}

TEST_F(PagesApi, LocalUrlNeverWritesPastTheBuffer) {
    std::string url;
    ASSERT_EQ(LocalUrl(HTML_DOC_TABLE6_7, url), 1);
    auto exact = static_cast<std::uint32_t>(url.size() + 1);
    std::string again;
    EXPECT_EQ(LocalUrl(HTML_DOC_TABLE6_7, again, exact), 1);
    EXPECT_EQ(again, url);
    EXPECT_EQ(LocalUrl(HTML_DOC_TABLE6_7, again, exact - 1), 0);
    EXPECT_EQ(LocalUrl(HTML_DOC_TABLE6_7, again, 8), 0);

    // A cache folder whose address cannot fit into 260 bytes.
    std::string deep = Root + "/" + std::string(240, 'd');
    setenv("XDG_CACHE_HOME", deep.c_str(), 1);
    EXPECT_EQ(LocalUrl(HTML_DOC_TITLE, again), 0);
    EXPECT_FALSE(fs::exists(deep));
}

TEST_F(PagesApi, LocalUrlEscapesSpacesAndCyrillicInThePath) {
    std::string cache = Root + "/кэш пользователя#1";
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    std::string url;
    ASSERT_EQ(LocalUrl(HTML_DOC_TABLE10, url), 1);
    EXPECT_EQ(url.find(' '), std::string::npos);
    EXPECT_EQ(url.find('#'), std::string::npos);
    for (unsigned char c : url) EXPECT_LT(c, 0x80) << url;
    EXPECT_NE(url.find("%20"), std::string::npos);
    std::string path = PathOf(url);
    EXPECT_EQ(path.rfind(cache + "/tarvik/pages/", 0), 0u);
    EXPECT_EQ(ReadFile(path), PageText(HTML_DOC_TABLE10));
}

TEST_F(PagesApi, LocalUrlFallsBackToHomeCacheForAMissingOrRelativeCacheVariable) {
    std::string home = Root + "/home";
    fs::create_directory(home);
    setenv("HOME", home.c_str(), 1);
    for (bool relative : {false, true}) {
        if (relative) {
            setenv("XDG_CACHE_HOME", "relative/cache", 1);
        } else {
            unsetenv("XDG_CACHE_HOME");
        }
        std::string url;
        ASSERT_EQ(LocalUrl(HTML_DOC_TITLE, url), 1);
        EXPECT_EQ(PathOf(url).rfind(home + "/.cache/tarvik/pages/", 0), 0u) << url;
    }
}

TEST_F(PagesApi, LocalUrlWritesAPageOnceAndRepairsAChangedCopy) {
    std::string url;
    ASSERT_EQ(LocalUrl(HTML_DOC_TABLE8_9, url), 1);
    std::string path = PathOf(url);
    struct stat first {};
    ASSERT_EQ(stat(path.c_str(), &first), 0);

    ASSERT_EQ(LocalUrl(HTML_DOC_TABLE8_9, url), 1);
    struct stat second {};
    ASSERT_EQ(stat(path.c_str(), &second), 0);
    EXPECT_EQ(second.st_ino, first.st_ino) << "an unchanged page is not rewritten";

    std::string page = PageText(HTML_DOC_TABLE8_9);
    for (std::string damaged :
         {std::string("<html>old</html>"), page.substr(0, page.size() / 2), page + " "}) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << damaged;
        ASSERT_EQ(LocalUrl(HTML_DOC_TABLE8_9, url), 1);
        EXPECT_EQ(ReadFile(path), page);
    }
    // Nothing but the page files is left in the folder.
    for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path())) {
        EXPECT_EQ(entry.path().filename().string()[0] == '.', false) << entry.path();
    }
}

TEST_F(PagesApi, LocalUrlFailsWhenTheCacheCannotBeWritten) {
    std::string file = Root + "/not-a-folder";
    std::ofstream(file) << "x";
    setenv("XDG_CACHE_HOME", file.c_str(), 1);
    std::string url;
    EXPECT_EQ(LocalUrl(HTML_DOC_TITLE, url), 0);
}

// The shared style sheet is kept once in the library's sources; every page
// that is handed out, as text or as a file, carries all of it in its head,
// once, so that each is a complete page on its own.
TEST_F(PagesApi, EveryPageHandedOutCarriesTheSharedStyleInItsHead) {
    const std::string style = ReadFile(TARVIK_PAGES_FORM_CSS);
    ASSERT_GT(style.size(), 500u);
    ASSERT_NE(style.find(".userInputCells"), std::string::npos);
    for (HTML_DOC page : kPages) {
        SCOPED_TRACE(static_cast<int>(page));
        std::string url;
        ASSERT_EQ(LocalUrl(page, url), 1);
        for (const std::string& text : {PageText(page), ReadFile(PathOf(url))}) {
            std::size_t at = text.find(style);
            ASSERT_NE(at, std::string::npos);
            EXPECT_EQ(text.find(style, at + 1), std::string::npos);
            std::size_t open = text.rfind("<style>", at);
            ASSERT_NE(open, std::string::npos);
            EXPECT_LT(text.find("<head>"), open);
            EXPECT_LE(at + style.size(), text.find("</style>", at));
            EXPECT_LT(text.find("</style>", at), text.find("</head>"));
            EXPECT_EQ(text.find("FORM_CSS"), std::string::npos);
        }
    }
}

TEST(PagesText, TwoCallProtocolDeliversTheWholeText) {
    for (HTML_DOC page : kPages) {
        SCOPED_TRACE(static_cast<int>(page));
        char* buffer = nullptr;
        std::uint64_t size = 0;
        ASSERT_EQ(GetHtmlText(page, buffer, size), 1);
        ASSERT_GT(size, 1000u);
        const std::uint64_t length = size;

        std::vector<char> memory(length + 1 + 16, kGuard);
        std::fill(memory.begin(), memory.begin() + length + 1, '\0');
        buffer = memory.data();
        size = length + 1;
        ASSERT_EQ(GetHtmlText(page, buffer, size), 1);
        EXPECT_EQ(size, length);
        EXPECT_EQ(memory[length], '\0');
        EXPECT_EQ(std::string(memory.data()).size(), length) << "no zero inside the text";
        for (std::size_t i = length + 1; i < memory.size(); ++i) EXPECT_EQ(memory[i], kGuard);
        EXPECT_EQ(std::string(memory.data()).rfind("<!DOCTYPE html>", 0), 0u);
    }
}

TEST(PagesText, TooSmallBufferOrUnknownPageIsRefusedUntouched) {
    char* buffer = nullptr;
    std::uint64_t length = 0;
    ASSERT_EQ(GetHtmlText(HTML_DOC_TABLE6_1, buffer, length), 1);
    for (std::uint64_t size : {std::uint64_t{0}, std::uint64_t{1}, length}) {
        std::vector<char> memory(length + 1, kGuard);
        buffer = memory.data();
        std::uint64_t given = size;
        EXPECT_EQ(GetHtmlText(HTML_DOC_TABLE6_1, buffer, given), 0) << size;
        EXPECT_EQ(memory, std::vector<char>(length + 1, kGuard));
    }
    for (int page : kUnknownPages) {
        buffer = nullptr;
        std::uint64_t size = 0;
        EXPECT_EQ(GetHtmlText(static_cast<HTML_DOC>(page), buffer, size), 0) << page;
    }
}

TEST(PagesVersion, FourNumbersOfTheBuild) {
    TarvikPagesVersion version = GetPagesVersion();
    std::string text = std::to_string(version.Major) + "." + std::to_string(version.Minor) + "." +
                       std::to_string(version.Build) + "." + std::to_string(version.Revision);
    EXPECT_EQ(text, TARVIK_PAGES_EXPECTED_VERSION);
}

}  // namespace
