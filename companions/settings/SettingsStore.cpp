#include "companions/settings/SettingsStore.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kel::settings {

namespace {

std::string SystemError(const std::string& what, const std::string& path) {
    return what + " '" + path + "': " + std::strerror(errno);
}

// A file descriptor closed when it goes out of scope.
class FileHandle {
public:
    explicit FileHandle(int fd = -1) : m_fd(fd) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    // Closes now and reports the result (a write error may only show at close).
    bool Close() {
        int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool MakeDirectories(const std::string& dir, std::string& error) {
    std::string partial;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = dir.find('/', pos + 1);
        partial = dir.substr(0, pos);
        if (partial.empty())
            continue;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
            error = SystemError("cannot create the settings folder", partial);
            return false;
        }
    }
    return true;
}

bool WriteAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

std::string SettingsDirectory() {
    if (const char* dir = std::getenv("KELRS_SETTINGS_DIR"); dir && *dir)
        return dir;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::string(config) + "/kelrslist";
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw ? pw->pw_dir : "/tmp";
    }
    return std::string(home) + "/.config/kelrslist";
}

SettingsStore::Identity SettingsStore::IdentityOf(const struct stat& st) {
    return Identity{true, st.st_dev, st.st_ino, st.st_size,
                    static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

SettingsStore::SettingsStore(std::string filePath) : m_path(std::move(filePath)) {}

bool SettingsStore::ReadFromDisk(Document& doc, Identity& identity, bool& unchanged,
                                 std::string& error) const {
    unchanged = false;
    FileHandle file(::open(m_path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        if (errno == ENOENT) {
            doc.keys.clear();
            identity = Identity{};
            unchanged = m_cacheValid && identity == m_cacheIdentity;
            return true;
        }
        error = SystemError("cannot open the settings file", m_path);
        return false;
    }
    struct stat st;
    if (::fstat(file.get(), &st) != 0) {
        error = SystemError("cannot read the settings file", m_path);
        return false;
    }
    identity = IdentityOf(st);
    if (m_cacheValid && identity == m_cacheIdentity) {
        unchanged = true;
        return true;
    }
    std::string text;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(file.get(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = SystemError("cannot read the settings file", m_path);
            return false;
        }
        if (n == 0)
            break;
        text.append(buf, static_cast<size_t>(n));
    }
    std::string reason;
    if (!Parse(text, doc, reason)) {
        error = "the settings file '" + m_path + "' is damaged (" + reason +
                "); it is left as it is and no setting is saved until it is repaired or removed";
        return false;
    }
    return true;
}

const Document* SettingsStore::Load(std::string& error) {
    Document doc;
    Identity identity;
    bool unchanged = false;
    if (!ReadFromDisk(doc, identity, unchanged, error))
        return nullptr;
    if (!unchanged) {
        m_cache = std::move(doc);
        m_cacheIdentity = identity;
        m_cacheValid = true;
    }
    return &m_cache;
}

bool SettingsStore::Update(const std::function<void(Document&)>& change, std::string& error) {
    const std::string dir = DirectoryOf(m_path);
    if (!MakeDirectories(dir, error))
        return false;

    // The lock file is never removed, so that every writer locks the same inode.
    const std::string lockPath = m_path + ".lock";
    FileHandle lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.get() < 0) {
        error = SystemError("cannot open the settings lock", lockPath);
        return false;
    }
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            error = SystemError("cannot lock the settings file", lockPath);
            return false;
        }
    }

    Document doc;
    Identity identity;
    bool unchanged = false;
    if (!ReadFromDisk(doc, identity, unchanged, error))
        return false;
    if (unchanged)
        doc = m_cache;
    change(doc);
    const std::string text = Serialize(doc);

    const std::string tempPath = m_path + ".tmp";
    {
        FileHandle temp(::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        if (temp.get() < 0) {
            error = SystemError("cannot create", tempPath);
            return false;
        }
        if (!WriteAll(temp.get(), text) || ::fsync(temp.get()) != 0 || !temp.Close()) {
            error = SystemError("cannot write", tempPath);
            ::unlink(tempPath.c_str());
            return false;
        }
    }
    if (::rename(tempPath.c_str(), m_path.c_str()) != 0) {
        error = SystemError("cannot replace the settings file", m_path);
        ::unlink(tempPath.c_str());
        return false;
    }
    // The rename itself is durable only once the folder is.
    FileHandle folder(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());

    struct stat st;
    if (::stat(m_path.c_str(), &st) == 0) {
        m_cache = std::move(doc);
        m_cacheIdentity = IdentityOf(st);
        m_cacheValid = true;
    } else {
        m_cacheValid = false;
    }
    return true;
}

} // namespace kel::settings
