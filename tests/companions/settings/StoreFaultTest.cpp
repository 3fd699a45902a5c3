// Writes of the settings store that fail part-way: the store on disk stays byte for byte, the
// caller is told, and the next write that succeeds keeps every other writer's values.
#include <KelSettings.h>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sched.h>
#include <sstream>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kSkipped = 77;

class StoreFault : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::path(KEL_TEST_DATA_DIR) / "settings-faults" / info->name();
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        ::setenv("KELRS_SETTINGS_DIR", m_dir.c_str(), 1);
    }
    fs::path Store() const { return m_dir / "HKEY_CURRENT_USER.reg"; }
    static std::string Bytes(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    // A store of some kilobytes, written by this process.
    void Fill() {
        CRegistry reg(HKEY_CURRENT_USER, "Software\\App");
        for (int i = 0; i < 40; ++i) {
            CString name;
            name.Format("Value%02d", i);
            ASSERT_TRUE(
                reg.Write(name, CString(std::string(100, static_cast<char>('a' + i % 26)))));
        }
        ASSERT_TRUE(reg.Write("Count", 40));
        m_before = Bytes(Store());
        ASSERT_GT(m_before.size(), 4000u);
    }
    // The store is as Fill left it, and no temporary file lies beside it.
    void ExpectUntouched() const {
        EXPECT_EQ(Bytes(Store()), m_before);
        EXPECT_FALSE(fs::exists(m_dir / "HKEY_CURRENT_USER.reg.tmp"));
    }
    // After a failure: another writer stores a value, then this one writes again.
    void ExpectNextWriteKeepsOthers() {
        pid_t other = ::fork();
        if (other == 0) {
            CRegistry reg(HKEY_CURRENT_USER, "Software\\Other");
            ::_exit(reg.Write("Theirs", 7) ? 0 : 1);
        }
        int status = 0;
        ::waitpid(other, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        CRegistry reg(HKEY_CURRENT_USER, "Software\\App");
        ASSERT_TRUE(reg.Write("Mine", 8)) << reg.GetErrorText();
        CRegistry theirs(HKEY_CURRENT_USER, "Software\\Other");
        int n = 0;
        EXPECT_TRUE(theirs.Read("Theirs", n, 0) && n == 7);
        EXPECT_TRUE(reg.Read("Mine", n, 0) && n == 8);
        EXPECT_TRUE(reg.Read("Count", n, 0) && n == 40);
        CString s;
        EXPECT_TRUE(reg.Read("Value39", s, "") && s == CString(std::string(100, 'n')));
    }
    fs::path m_dir;
    std::string m_before;
};

// Runs body in a child process and gives its exit code (-1 when it did not exit).
template <class F> int InChild(F body) {
    pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// 0 when a write of the key fails and says why, 1 otherwise.
int WriteFails() {
    CRegistry reg(HKEY_CURRENT_USER, "Software\\App");
    if (reg.Write("New", CString(std::string(5000, 'z'))))
        return 1;
    return reg.GetErrorText().IsEmpty() ? 1 : 0;
}

bool WriteText(const char* path, const std::string& text) {
    int fd = ::open(path, O_WRONLY);
    if (fd < 0)
        return false;
    bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    return ::close(fd) == 0 && ok;
}

// A mount namespace of the calling process's own, so that its mounts vanish with it: as root
// directly, otherwise inside a user namespace that maps the caller to root. False when the
// system allows neither.
bool PrivateMounts() {
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWNS) != 0) {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return false;
        WriteText("/proc/self/setgroups", "deny");
        if (!WriteText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !WriteText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return false;
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// path bound onto itself, read-only when asked: a folder then refuses every change even to
// root, and a file that is a mount point cannot be replaced by a rename.
bool BindOntoItself(const std::string& path, bool readOnly) {
    if (::mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) != 0)
        return false;
    return !readOnly ||
           ::mount(nullptr, path.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
}

} // namespace

TEST_F(StoreFault, FileSizeLimitBelowTheStoreFailsTheWrite) {
    Fill();
    const int code = InChild([&] {
        // Past the limit, write() then fails with EFBIG instead of the signal ending us.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        rlimit low = limit;
        low.rlim_cur = m_before.size() / 2;
        if (::setrlimit(RLIMIT_FSIZE, &low) != 0)
            return kSkipped;
        int failed = WriteFails();
        // The same object writes once the limit is lifted.
        ::setrlimit(RLIMIT_FSIZE, &limit);
        CRegistry reg(HKEY_CURRENT_USER, "Software\\App");
        return failed == 0 && reg.Write("Later", 1) ? 0 : 1;
    });
    if (code == kSkipped)
        GTEST_SKIP() << "cannot lower the file-size limit";
    ASSERT_EQ(code, 0);
    CRegistry reg(HKEY_CURRENT_USER, "Software\\App");
    int n = 0;
    EXPECT_TRUE(reg.Read("Later", n, 0) && n == 1);
    CString s;
    EXPECT_FALSE(reg.Read("New", s, ""));
    m_before = Bytes(Store());
    ExpectNextWriteKeepsOthers();
}

TEST_F(StoreFault, AFolderThatCannotBeWrittenFailsTheWrite) {
    Fill();
    const int code = InChild([&] {
        if (!PrivateMounts() || !BindOntoItself(m_dir.string(), true))
            return kSkipped;
        return WriteFails();
    });
    if (code == kSkipped)
        GTEST_SKIP() << "no private mounts here";
    EXPECT_EQ(code, 0);
    ExpectUntouched();
    ExpectNextWriteKeepsOthers();
}

TEST_F(StoreFault, ATemporaryFileThatCannotBeCreatedFailsTheWrite) {
    Fill();
    // Root may write anywhere, but no one opens a folder for writing.
    fs::create_directories(m_dir / "HKEY_CURRENT_USER.reg.tmp" / "in-the-way");
    EXPECT_EQ(InChild(WriteFails), 0);
    EXPECT_EQ(Bytes(Store()), m_before);
    fs::remove_all(m_dir / "HKEY_CURRENT_USER.reg.tmp");
    ExpectNextWriteKeepsOthers();

    // A settings folder under a file cannot be made at all.
    std::ofstream(m_dir / "plain-file") << "x";
    ::setenv("KELRS_SETTINGS_DIR", (m_dir / "plain-file" / "settings").c_str(), 1);
    EXPECT_EQ(InChild(WriteFails), 0);
    EXPECT_FALSE(fs::exists(m_dir / "plain-file" / "settings"));
}

TEST_F(StoreFault, ARenameThatFailsLeavesTheStore) {
    Fill();
    const int code = InChild([&] {
        if (!PrivateMounts() || !BindOntoItself(Store().string(), false))
            return kSkipped;
        return WriteFails();
    });
    if (code == kSkipped)
        GTEST_SKIP() << "no private mounts here";
    EXPECT_EQ(code, 0);
    ExpectUntouched();
    ExpectNextWriteKeepsOthers();
}

// Each program's values are the last it wrote, however the two writers interleave.
TEST_F(StoreFault, TwoProgramsWritingAThousandTimesKeepTheirLastValues) {
    constexpr int kWrites = 1000;
    constexpr int kNames = 7;
    auto writer = [](char who) {
        return [who] {
            CRegistry reg(HKEY_CURRENT_USER, "Software\\Shared");
            for (int i = 0; i < kWrites; ++i) {
                CString name, value;
                name.Format("%c%d", who, i % kNames);
                value.Format("%c:%d", who, i);
                // Text and numbers by turns, so that the file size changes and stays alike.
                if (!(i % 2 ? reg.Write(name, value) : reg.Write(name, i)))
                    return 1;
            }
            return 0;
        };
    };
    pid_t a = ::fork();
    if (a == 0)
        ::_exit(writer('a')());
    pid_t b = ::fork();
    if (b == 0)
        ::_exit(writer('b')());
    for (pid_t pid : {a, b}) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    CRegistry reg(HKEY_CURRENT_USER, "Software\\Shared");
    for (char who : {'a', 'b'})
        for (int k = 0; k < kNames; ++k) {
            int last = kWrites - 1;
            while (last % kNames != k)
                --last;
            CString name, text;
            name.Format("%c%d", who, k);
            ASSERT_TRUE(reg.Read(name, text, "")) << name;
            CString expected;
            if (last % 2)
                expected.Format("%c:%d", who, last);
            else
                expected.Format("%d", last);
            EXPECT_EQ(text, expected) << name;
        }
}
