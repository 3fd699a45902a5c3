// The browser program as a person runs it without a display: the first screen as a PNG of the
// window's size and the rows on it as text; bad input refused with a message and exit code 2.
#include "tools/sampledb/SampleDatabase.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Result {
    int nExit = -1; // -1: killed by a signal
    std::string strOut;
    std::string strErr;
};

fs::path Folder() {
    const fs::path dir = fs::path(KEL_TEST_DATA_DIR) / "browser";
    fs::create_directories(dir);
    return dir;
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Runs the browser with no display, its data and settings in the test's folder.
Result RunBrowser(const std::string& args, const std::string& settings = "settings") {
    const fs::path dir = Folder();
    // Each test its own error file: CTest runs them side by side.
    const fs::path err =
        dir /
        (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".stderr");
    const std::string command = "env -u DISPLAY XDG_DATA_HOME=" + Quote((dir / "data").string()) +
                                " KELRS_SETTINGS_DIR=" + Quote((dir / settings).string()) + " " +
                                Quote(KELRS_BROWSER) + " " + args + " 2>" + Quote(err.string());
    Result r;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        return r;
    std::array<char, 4096> buf{};
    size_t n = 0;
    while ((n = fread(buf.data(), 1, buf.size(), pipe.get())) > 0)
        r.strOut.append(buf.data(), n);
    const int status = pclose(pipe.release());
    r.nExit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.strErr = ReadFile(err);
    return r;
}

std::string Database() {
    return kelsampledb::Cached(Folder().string(), 60);
}

// The width and height in a PNG's header.
bool PngSize(const fs::path& path, int& cx, int& cy) {
    const std::string data = ReadFile(path);
    if (data.size() < 24 || data.compare(1, 3, "PNG") != 0 || data.compare(12, 4, "IHDR") != 0)
        return false;
    auto be32 = [&](size_t at) {
        return (static_cast<unsigned char>(data[at]) << 24) |
               (static_cast<unsigned char>(data[at + 1]) << 16) |
               (static_cast<unsigned char>(data[at + 2]) << 8) |
               static_cast<unsigned char>(data[at + 3]);
    };
    cx = static_cast<int>(be32(16));
    cy = static_cast<int>(be32(20));
    return true;
}

int CountLines(const std::string& text, const std::string& containing) {
    int n = 0;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        n += line.find(containing) != std::string::npos;
    return n;
}

// Runs the browser headless at cx x cy with the extra options and checks what it gives: the PNG
// of that size, its path first, and a header line, a rule and the window's rows from the
// first record, between nMinRows and nMaxRows of them.
void ExpectFirstScreen(const std::string& strOptions, const std::string& strName, int cx, int cy,
                       int nMinRows, int nMaxRows) {
    const fs::path png = Folder() / strName;
    fs::remove(png);
    const std::string size = std::to_string(cx) + "x" + std::to_string(cy);
    const Result r = RunBrowser(strOptions + " --png " + Quote(png.string()) + " --size " + size +
                                " " + Quote(Database()) + " Orders");
    ASSERT_EQ(0, r.nExit) << r.strErr;
    EXPECT_EQ(0u, r.strOut.rfind(png.string() + " (" + size + ")\n", 0)) << r.strOut;
    int nWidth = 0, nHeight = 0;
    ASSERT_TRUE(PngSize(png, nWidth, nHeight));
    EXPECT_EQ(cx, nWidth);
    EXPECT_EQ(cy, nHeight);
    EXPECT_NE(std::string::npos, r.strOut.find("OrderID | Customer"));
    EXPECT_NE(std::string::npos, r.strOut.find("\n         1 | "));
    const int nRows = CountLines(r.strOut, " | ") - 1;
    EXPECT_GT(nRows, nMinRows);
    EXPECT_LT(nRows, nMaxRows); // only what fits
    EXPECT_EQ("", r.strErr);
}

TEST(BrowserTest, RendersTheFirstScreenAndPrintsItsRows) {
    ExpectFirstScreen("", "first.png", 720, 420, 10, 30);
}

// The chooser headless: its first screen (the dialog with the toolbar) and the rows on it; the
// frame's bad input is refused the same way.
TEST(BrowserTest, ChooserRendersItsFirstScreen) {
    ExpectFirstScreen("--chooser", "chooser.png", 640, 400, 8, 30);
    const Result r = RunBrowser("--chooser " + Quote(Database()) + " NoSuchTable");
    EXPECT_EQ(2, r.nExit);
    EXPECT_NE(std::string::npos, r.strErr.find("no table or view named")) << r.strErr;
}

TEST(BrowserTest, TablesByAnySpellingAndQueries) {
    Result r = RunBrowser("--text " + Quote(Database()) + " customers");
    ASSERT_EQ(0, r.nExit) << r.strErr;
    EXPECT_NE(std::string::npos, r.strOut.find("CustomerID | Name"));
    // A query: only its columns and rows.
    r = RunBrowser("--text " + Quote(Database()) + " " +
                   Quote("SELECT OrderID, City FROM Orders WHERE OrderID <= 3"));
    ASSERT_EQ(0, r.nExit) << r.strErr;
    EXPECT_EQ(4, CountLines(r.strOut, " | ")) << r.strOut; // header and three rows
    EXPECT_EQ(std::string::npos, r.strOut.find("Customer"));
}

TEST(BrowserTest, BadInputIsRefusedWithAMessage) {
    const fs::path text = Folder() / "notes.txt";
    std::ofstream(text) << "not a database\n";
    const fs::path empty = Folder() / "empty.db";
    std::ofstream(empty).close();
    const std::string db = Quote(Database());
    const struct {
        std::string args;
        std::string message;
    } cases[] = {
        {Quote((Folder() / "missing.db").string()), "no such file"},
        {Quote(text.string()), "not a SQLite database"},
        {Quote(empty.string()), "not a SQLite database"},
        {Quote(Folder().string()), "not a file"},
        {db + " NoSuchTable", "no table or view named \"NoSuchTable\""},
        {db + " " + Quote("SELECT Nothing FROM Orders"), "the statement is refused"},
        {db + " " + Quote("SELECT * FROM"), "the statement is refused"},
        // Its own order would clash with the order of a header click.
        {db + " " + Quote("SELECT * FROM Orders ORDER BY City"),
         "the order comes from a click on a column header"},
        {db + " " + Quote("SELECT * FROM Orders WHERE"), "WHERE has no condition"},
        {"--frobnicate", "unknown option"},
        {"--size 3x3", "bad size"},
    };
    for (const auto& c : cases) {
        const Result r = RunBrowser(c.args);
        EXPECT_EQ(2, r.nExit) << c.args << "\n" << r.strErr;
        EXPECT_NE(std::string::npos, r.strErr.find(c.message)) << c.args << "\n" << r.strErr;
        EXPECT_EQ(std::string::npos, r.strOut.find(" | ")) << c.args;
    }
}

// A query's own condition is kept apart from the searches (a fixed filter), its layout under a
// key of its own: the same query however spaced, another query elsewhere. A % in it gets a
// hint about the dialect's wildcards, and the query still runs.
TEST(BrowserTest, QueriesKeepTheirConditionAndLayoutApart) {
    const fs::path store = Folder() / "settings-queries" / "HKEY_CURRENT_USER.reg";
    fs::remove(store);
    Result r = RunBrowser("--text " + Quote(Database()) + " " +
                              Quote("SELECT OrderID, City FROM Orders WHERE OrderID <= 3"),
                          "settings-queries");
    ASSERT_EQ(0, r.nExit) << r.strErr;
    EXPECT_EQ(4, CountLines(r.strOut, " | ")) << r.strOut;
    r = RunBrowser("--text " + Quote(Database()) + " " +
                       Quote("SELECT  OrderID, City\nFROM Orders WHERE OrderID <= 3"),
                   "settings-queries");
    ASSERT_EQ(0, r.nExit) << r.strErr;
    r = RunBrowser("--text " + Quote(Database()) + " " +
                       Quote("SELECT OrderID, City FROM Orders WHERE City LIKE 'B%'"),
                   "settings-queries");
    ASSERT_EQ(0, r.nExit) << r.strErr;
    EXPECT_NE(std::string::npos, r.strErr.find("its wildcards are * (any text)")) << r.strErr;
    const std::string text = ReadFile(store);
    EXPECT_EQ(2, CountLines(text, "Browser\\\\Query\\\\")) << text;
}

// The window keeps its size per table: a size given once is the next run's size.
TEST(BrowserTest, TheWindowKeepsItsPlacePerTable) {
    const fs::path store = Folder() / "settings-place" / "HKEY_CURRENT_USER.reg";
    fs::remove(store);
    const fs::path png = Folder() / "place.png";
    Result r = RunBrowser("--png " + Quote(png.string()) + " --size 700x400 " + Quote(Database()) +
                              " Customers",
                          "settings-place");
    ASSERT_EQ(0, r.nExit) << r.strErr;
    r = RunBrowser("--png " + Quote(png.string()) + " " + Quote(Database()) + " Customers",
                   "settings-place");
    ASSERT_EQ(0, r.nExit) << r.strErr;
    int cx = 0, cy = 0;
    ASSERT_TRUE(PngSize(png, cx, cy));
    EXPECT_EQ(700, cx);
    EXPECT_EQ(400, cy);
    // Another table has its own.
    r = RunBrowser("--png " + Quote(png.string()) + " " + Quote(Database()) + " Orders",
                   "settings-place");
    ASSERT_EQ(0, r.nExit) << r.strErr;
    ASSERT_TRUE(PngSize(png, cx, cy));
    EXPECT_EQ(1000, cx);
}

} // namespace
