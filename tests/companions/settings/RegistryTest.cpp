#include <KelSettings.h>

#include "companions/settings/SettingsFormat.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Each test keeps its store in a folder of its own (the cases run as parallel processes).
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::path(KEL_TEST_DATA_DIR) / "settings-store" / info->name();
        fs::remove_all(m_dir);
        ::setenv("KELRS_SETTINGS_DIR", m_dir.c_str(), 1);
    }
    fs::path StoreFile() const { return m_dir / "HKEY_CURRENT_USER.reg"; }
    std::string ReadFile(const fs::path& p) const {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    void WriteFile(const fs::path& p, const std::string& text) const {
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << text;
    }
    fs::path m_dir;
};

// Runs body in a child process; the child's exit code tells whether it succeeded.
template <class F> pid_t Spawn(F body) {
    pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body() ? 0 : 1);
    return pid;
}

bool ExitedCleanly(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST_F(RegistryTest, AbsentValuesGiveTheDefaultAndStoredOnesComeBackInAnotherObject) {
    {
        CRegistry reg(HKEY_CURRENT_USER, "Software\\KelRSList\\Orders");
        ASSERT_TRUE(reg.IsOpen());
        int n = 1;
        CString s = "x";
        EXPECT_FALSE(reg.Read("SortByN", n, 7));
        EXPECT_EQ(n, 7);
        EXPECT_FALSE(reg.Read("Name", s, "fallback"));
        EXPECT_EQ(s, "fallback");
        EXPECT_FALSE(reg.Read("Name", s, nullptr));
        EXPECT_EQ(s, "");
        EXPECT_FALSE(fs::exists(StoreFile())); // reading creates nothing

        EXPECT_TRUE(reg.Write("SortByN", -3));
        EXPECT_TRUE(reg.Write("[Customer Name]", "0120 0001 0000"));
        EXPECT_TRUE(reg.Write("SortAsc", 1));
        EXPECT_TRUE(reg.Write("SortAsc", 0)); // replaced, not repeated
    }
    CRegistry reg(HKEY_CURRENT_USER, "\\Software\\\\KelRSList\\Orders\\"); // same key
    int n = 0;
    CString s;
    EXPECT_TRUE(reg.Read("SortByN", n, 7));
    EXPECT_EQ(n, -3);
    EXPECT_TRUE(reg.Read("sortasc", n, 7)); // names ignore case, as the registry's do
    EXPECT_EQ(n, 0);
    EXPECT_TRUE(reg.Read("[Customer Name]", s, ""));
    EXPECT_EQ(s, "0120 0001 0000");

    // Another key, and the other root, are separate.
    CRegistry other(HKEY_CURRENT_USER, "Software\\KelRSList\\Order");
    EXPECT_FALSE(other.Read("SortByN", n, 5));
    EXPECT_EQ(n, 5);
    CRegistry machine(HKEY_LOCAL_MACHINE, "Software\\KelRSList\\Orders");
    EXPECT_FALSE(machine.Read("SortByN", n, 5));
    EXPECT_TRUE(machine.Write("SortByN", 9));
    EXPECT_TRUE(fs::exists(m_dir / "HKEY_LOCAL_MACHINE.reg"));
    EXPECT_TRUE(reg.Read("SortByN", n, 7));
    EXPECT_EQ(n, -3);
}

TEST_F(RegistryTest, NamesAndValuesMayHoldAnyCharacter) {
    const char* awkward[] = {
        "[Name]",     "a.b.c",    "x=y",       "back\\slash",
        "two\nlines", "quote\"d", "tab\there", "semi;colon",
        "] = [",      "\"",       "\\",        "caf\xc3\xa9 \xe2\x82\xac",
        "bell\a\x7f", "",         " ",         "end\\",
    };
    const char* keyPath = "Software\\Odd [key].v=1 \"quoted\"\\line\nbreak\\caf\xc3\xa9";
    {
        CRegistry reg(HKEY_CURRENT_USER, keyPath);
        int i = 0;
        for (const char* text : awkward) {
            ASSERT_TRUE(reg.Write(text, text)) << i;
            CString name;
            name.Format("n%d%s", i++, text);
            ASSERT_TRUE(reg.Write(name, i));
        }
    }
    CRegistry reg(HKEY_CURRENT_USER, keyPath);
    int i = 0;
    for (const char* text : awkward) {
        CString value;
        EXPECT_TRUE(reg.Read(text, value, "absent")) << i;
        EXPECT_EQ(value, text) << i;
        CString name;
        name.Format("n%d%s", i++, text);
        int n = 0;
        EXPECT_TRUE(reg.Read(name, n, -1));
        EXPECT_EQ(n, i);
    }
    // One line per key and value: no raw newline from the data reaches the file.
    const std::string file = ReadFile(StoreFile());
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'),
              1 + 1 + 2 * static_cast<long>(std::size(awkward)) + 1);
}

TEST_F(RegistryTest, TextReadAsNumberAndNumberReadAsText) {
    CRegistry reg(HKEY_CURRENT_USER, "Software\\Types");
    ASSERT_TRUE(reg.Write("Number", 42));
    ASSERT_TRUE(reg.Write("Negative", -2147483647 - 1));
    ASSERT_TRUE(reg.Write("Digits", " -17 "));
    ASSERT_TRUE(reg.Write("Words", "12 apples"));
    ASSERT_TRUE(reg.Write("Huge", "99999999999"));
    ASSERT_TRUE(reg.Write("Blank", ""));

    CString s;
    EXPECT_TRUE(reg.Read("Number", s, ""));
    EXPECT_EQ(s, "42");
    EXPECT_TRUE(reg.Read("Negative", s, ""));
    EXPECT_EQ(s, "-2147483648");
    int n = 0;
    EXPECT_TRUE(reg.Read("Negative", n, 0));
    EXPECT_EQ(n, -2147483647 - 1);
    EXPECT_TRUE(reg.Read("Digits", n, 0));
    EXPECT_EQ(n, -17);
    for (const char* notANumber : {"Words", "Huge", "Blank"}) {
        EXPECT_FALSE(reg.Read(notANumber, n, 5)) << notANumber;
        EXPECT_EQ(n, 5);
    }
    // Writing the other type replaces the value and its type.
    ASSERT_TRUE(reg.Write("Number", "forty-two"));
    EXPECT_FALSE(reg.Read("Number", n, 1));
    EXPECT_TRUE(reg.Read("Number", s, ""));
    EXPECT_EQ(s, "forty-two");
}

TEST_F(RegistryTest, AnUnknownRootStaysClosedAndSaysSo) {
    CRegistry reg(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000005)), "Software\\X");
    EXPECT_FALSE(reg.IsOpen());
    EXPECT_FALSE(reg.GetErrorText().IsEmpty());
    int n = 0;
    EXPECT_FALSE(reg.Read("A", n, 3));
    EXPECT_EQ(n, 3);
    EXPECT_FALSE(reg.Write("A", 1));
    EXPECT_FALSE(fs::exists(m_dir));
}

TEST_F(RegistryTest, ReadsSeeWhatAnotherWriterStored) {
    CRegistry reader(HKEY_CURRENT_USER, "Software\\Shared");
    int n = 0;
    EXPECT_FALSE(reader.Read("Count", n, -1));
    pid_t child = Spawn([] {
        CRegistry writer(HKEY_CURRENT_USER, "Software\\Shared");
        return writer.Write("Count", 1) && writer.Write("Count", 2);
    });
    ASSERT_TRUE(ExitedCleanly(child));
    EXPECT_TRUE(reader.Read("Count", n, -1));
    EXPECT_EQ(n, 2);
    CRegistry writer(HKEY_CURRENT_USER, "Software\\Shared");
    ASSERT_TRUE(writer.Write("Count", 3));
    EXPECT_TRUE(reader.Read("Count", n, -1));
    EXPECT_EQ(n, 3);
}

// Held writes wait in their object, read back as written, and go to disk together at
// StoreHeldWrites (or when the object goes), beside what others stored meanwhile.
TEST_F(RegistryTest, HeldWritesAreStoredTogether) {
    CRegistry other(HKEY_CURRENT_USER, "Software\\Held");
    ASSERT_TRUE(other.Write("Kept", 1));
    CRegistry reader(HKEY_CURRENT_USER, "Software\\Held");
    int n = 0;
    CString s;
    {
        CRegistry reg(HKEY_CURRENT_USER, "Software\\Held");
        reg.HoldWrites();
        EXPECT_TRUE(reg.Write("A", 1));
        EXPECT_TRUE(reg.Write("B", "two"));
        EXPECT_TRUE(reg.Write("a", 3)); // the same name: the last one counts
        EXPECT_TRUE(reg.Read("A", n, 0));
        EXPECT_EQ(n, 3);
        EXPECT_TRUE(reg.Read("Kept", n, 0)); // what is not held reads from disk
        EXPECT_EQ(n, 1);
        EXPECT_FALSE(reader.Read("B", s, ""));
        ASSERT_TRUE(other.Write("Meanwhile", 5));

        EXPECT_TRUE(reg.StoreHeldWrites());
        EXPECT_TRUE(reader.Read("B", s, ""));
        EXPECT_EQ(s, "two");
        EXPECT_TRUE(reader.Read("A", n, 0));
        EXPECT_EQ(n, 3);
        EXPECT_TRUE(reader.Read("Meanwhile", n, 0));
        EXPECT_EQ(n, 5);
        EXPECT_TRUE(reader.Read("Kept", n, 0));
        EXPECT_EQ(n, 1);
        EXPECT_TRUE(reg.Write("C", 4)); // stored at once again
        EXPECT_TRUE(reader.Read("C", n, 0));

        reg.HoldWrites();
        EXPECT_TRUE(reg.Write("D", 6));
    }
    EXPECT_TRUE(reader.Read("D", n, 0));
    EXPECT_EQ(n, 6);

    CRegistry closed(nullptr, "Software\\Held");
    closed.HoldWrites();
    EXPECT_FALSE(closed.Write("E", 1));
    EXPECT_TRUE(closed.StoreHeldWrites()); // nothing held
}

// Another program reading while held writes are stored sees all of them or none.
TEST_F(RegistryTest, AReaderNeverSeesHalfOfTheHeldWrites) {
    constexpr int kValues = 30;
    const fs::path store = StoreFile();
    pid_t child = Spawn([this, store] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < until) {
            // One read of the file is one state of the store: it is replaced whole.
            const std::string text = ReadFile(store);
            const bool first = text.find("\"V00\"") != std::string::npos;
            const bool last = text.find("\"V29\"") != std::string::npos;
            if (first != last)
                return false; // half of them
            if (first)
                return true;
        }
        return false;
    });
    CRegistry reg(HKEY_CURRENT_USER, "Software\\Layout");
    reg.HoldWrites();
    for (int i = 0; i < kValues; ++i) {
        CString name;
        name.Format("V%02d", i);
        ASSERT_TRUE(reg.Write(name, i));
    }
    EXPECT_TRUE(reg.StoreHeldWrites());
    EXPECT_TRUE(ExitedCleanly(child));
}

TEST_F(RegistryTest, TwoProgramsWritingAtOnceLoseNothing) {
    constexpr int kEach = 60;
    auto writer = [](const char* key, const char* prefix) {
        return [=] {
            CRegistry reg(HKEY_CURRENT_USER, key);
            for (int i = 0; i < kEach; ++i) {
                CString name;
                name.Format("%s%d", prefix, i);
                if (!reg.Write(name, i))
                    return false;
            }
            return true;
        };
    };
    pid_t a = Spawn(writer("Software\\Race", "a"));
    pid_t b = Spawn(writer("Software\\Race", "b"));
    pid_t c = Spawn(writer("Software\\Race\\Other", "c"));
    ASSERT_TRUE(ExitedCleanly(a));
    ASSERT_TRUE(ExitedCleanly(b));
    ASSERT_TRUE(ExitedCleanly(c));

    CRegistry reg(HKEY_CURRENT_USER, "Software\\Race");
    CRegistry other(HKEY_CURRENT_USER, "Software\\Race\\Other");
    for (int i = 0; i < kEach; ++i) {
        int n = -1;
        CString name;
        name.Format("a%d", i);
        EXPECT_TRUE(reg.Read(name, n, -1) && n == i) << name;
        name.Format("b%d", i);
        EXPECT_TRUE(reg.Read(name, n, -1) && n == i) << name;
        name.Format("c%d", i);
        EXPECT_TRUE(other.Read(name, n, -1) && n == i) << name;
    }
}

TEST_F(RegistryTest, TwoThreadsWithTheirOwnKeysLoseNothing) {
    constexpr int kEach = 40;
    std::atomic<int> failures{0};
    auto body = [&](const char* prefix) {
        CRegistry reg(HKEY_CURRENT_USER, "Software\\Threads");
        for (int i = 0; i < kEach; ++i) {
            CString name;
            name.Format("%s%d", prefix, i);
            if (!reg.Write(name, name))
                ++failures;
        }
    };
    std::thread t1(body, "x");
    std::thread t2(body, "y");
    t1.join();
    t2.join();
    EXPECT_EQ(failures, 0);
    CRegistry reg(HKEY_CURRENT_USER, "Software\\Threads");
    for (const char* prefix : {"x", "y"})
        for (int i = 0; i < kEach; ++i) {
            CString name, value;
            name.Format("%s%d", prefix, i);
            EXPECT_TRUE(reg.Read(name, value, ""));
            EXPECT_EQ(value, name);
        }
}

TEST_F(RegistryTest, AWriterKilledMidWriteLeavesTheOldOrTheNewStore) {
    const CString big(std::string(1 << 20, 'v'));
    {
        CRegistry reg(HKEY_CURRENT_USER, "Software\\Crash");
        ASSERT_TRUE(reg.Write("Kept", "safe"));
        ASSERT_TRUE(reg.Write("Big", "0:" + big));
    }
    const fs::path temp = m_dir / "HKEY_CURRENT_USER.reg.tmp";
    constexpr int kRounds = 10;
    int killedMidWrite = 0;
    for (int round = 0; round < kRounds; ++round) {
        pid_t child = ::fork();
        if (child == 0) {
            CRegistry reg(HKEY_CURRENT_USER, "Software\\Crash");
            for (int i = 1;; ++i) {
                CString prefix;
                prefix.Format("%d:", i);
                reg.Write("Big", prefix + big);
            }
        }
        // Kill the writer once its temporary file has begun to fill.
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        std::error_code ec;
        while (!(fs::exists(temp, ec) && fs::file_size(temp, ec) > 0 && !ec) &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        std::this_thread::sleep_for(std::chrono::microseconds(150 * (round % 4)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        if (fs::exists(temp))
            ++killedMidWrite;

        CRegistry reg(HKEY_CURRENT_USER, "Software\\Crash");
        CString kept, value;
        ASSERT_TRUE(reg.Read("Kept", kept, "")) << "round " << round << ": " << reg.GetErrorText();
        EXPECT_EQ(kept, "safe");
        ASSERT_TRUE(reg.Read("Big", value, ""));
        int colon = value.Find(':');
        ASSERT_GT(colon, 0);
        EXPECT_EQ(value.GetLength() - colon - 1, big.GetLength());
    }
    EXPECT_GE(killedMidWrite, 1); // at least one kill landed inside a write (most do)
    // A later writer carries on, whatever temporary file the killed one left.
    CRegistry reg(HKEY_CURRENT_USER, "Software\\Crash");
    EXPECT_TRUE(reg.Write("After", 1));
    int n = 0;
    EXPECT_TRUE(reg.Read("After", n, 0));
    EXPECT_EQ(n, 1);
    EXPECT_FALSE(fs::exists(temp));
}

TEST_F(RegistryTest, AHalfWrittenTemporaryFileNeverReplacesTheStore) {
    CRegistry reg(HKEY_CURRENT_USER, "Software\\Temp");
    ASSERT_TRUE(reg.Write("A", 1));
    const std::string before = ReadFile(StoreFile());
    // What a writer killed in the middle of its temporary file leaves behind.
    WriteFile(m_dir / "HKEY_CURRENT_USER.reg.tmp",
              "; KelRSList settings 1\n[Software\\\\Temp]\n\"A\"=dword:000");

    CRegistry again(HKEY_CURRENT_USER, "Software\\Temp");
    int n = 0;
    EXPECT_TRUE(again.Read("A", n, 0));
    EXPECT_EQ(n, 1);
    EXPECT_EQ(ReadFile(StoreFile()), before);
    EXPECT_TRUE(again.Write("B", 2));
    EXPECT_TRUE(again.Read("A", n, 0));
    EXPECT_EQ(n, 1);
    EXPECT_TRUE(again.Read("B", n, 0));
    EXPECT_EQ(n, 2);
    EXPECT_FALSE(fs::exists(m_dir / "HKEY_CURRENT_USER.reg.tmp"));
}

TEST_F(RegistryTest, ADamagedStoreIsReportedAndNeverOverwritten) {
    const std::string damaged[] = {
        "; KelRSList settings 1\n[Software\\\\A]\n\"X\"=dword:00000001\n", // cut short
        "; KelRSList settings 1\n\"X\"=dword:00000001\n; end\n",           // value before key
        "; KelRSList settings 1\n[A]\n\"X\"=\"open\n; end\n",              // unterminated
        "; KelRSList settings 1\n[A]\n\"X\"=\"bad \\q escape\"\n; end\n",
        "; KelRSList settings 1\n[A]\n\"X\"=dword:12\n; end\n",
        "; KelRSList settings 1\n[A]\ngarbage\n; end\n",
        "PK\x03\x04 something else entirely\n",
        "",
        // A raw NUL: taken, it would come back as an escape no reader accepts.
        std::string("; KelRSList settings 1\n[A]\n\"X\"=\"a") + '\0' + "b\"\n; end\n",
    };
    for (const std::string& text : damaged) {
        WriteFile(StoreFile(), text);
        CRegistry reg(HKEY_CURRENT_USER, "A");
        int n = 0;
        EXPECT_FALSE(reg.Read("X", n, 4));
        EXPECT_EQ(n, 4);
        EXPECT_NE(reg.GetErrorText().Find("damaged"), -1) << text;
        EXPECT_FALSE(reg.Write("Y", 1));
        EXPECT_EQ(ReadFile(StoreFile()), text);
    }
}

TEST(SettingsFormat, HandWrittenFileWithCommentsAndRepeatedKeysParses) {
    using namespace kel::settings;
    const std::string text = "; KelRSList settings 1\n"
                             "; a comment\n"
                             "\n"
                             "[Software\\\\App]\n"
                             "\"A\"=dword:ffffffff\n"
                             "[software\\\\app\\\\]\n"
                             "\"b\"=\"x\\x01y\\\\\"\n"
                             "; end\n";
    Document doc;
    std::string error;
    ASSERT_TRUE(Parse(text, doc, error)) << error;
    ASSERT_EQ(doc.keys.size(), 1u);
    const Value* a = doc.Find("SOFTWARE\\APP", "a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->number, -1);
    const Value* b = doc.Find("Software\\App", "B");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->text, "x\x01y\\");
    // Writing it back and reading again gives the same document.
    Document again;
    ASSERT_TRUE(Parse(Serialize(doc), again, error)) << error;
    EXPECT_EQ(Serialize(again), Serialize(doc));

    std::string out;
    for (const char* bad : {"\\", "\\x4", "\\x00", "\\u0041", "ab\\"})
        EXPECT_FALSE(Unescape(bad, out)) << bad;
    EXPECT_FALSE(Unescape(std::string_view("a\0b", 3), out));
}
