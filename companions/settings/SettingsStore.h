// One settings file on disk: read when it changed, written atomically under a lock.
//
// Every change takes an exclusive flock on "<file>.lock", re-reads the file, applies the
// change, writes "<file>.tmp", fsyncs it, renames it over the file and fsyncs the folder.
// Two programs therefore never lose each other's values, and a crash leaves either the old
// or the new file: a half-written "<file>.tmp" is only ever truncated by the next writer,
// never renamed. A file that does not parse is reported and left untouched.
#pragma once

#include "companions/settings/SettingsFormat.h"

#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace kel::settings {

// The folder of the settings files: $KELRS_SETTINGS_DIR, else $XDG_CONFIG_HOME/kelrslist,
// else ~/.config/kelrslist.
std::string SettingsDirectory();

class SettingsStore {
public:
    explicit SettingsStore(std::string filePath);

    const std::string& Path() const { return m_path; }

    // The current content; NULL (and error) when the file cannot be read or is damaged.
    // A missing file is an empty document.
    const Document* Load(std::string& error);

    // Applies change to the freshest content and stores the result; false and error when
    // the folder or the file cannot be written or the file on disk is damaged.
    bool Update(const std::function<void(Document&)>& change, std::string& error);

private:
    struct Identity {
        bool exists = false;
        dev_t dev = 0;
        ino_t ino = 0;
        off_t size = 0;
        long long mtimeNs = 0;
        bool operator==(const Identity&) const = default;
    };

    static Identity IdentityOf(const struct stat& st);
    // Reads and parses the file; unchanged (doc untouched) when it is the cached one.
    bool ReadFromDisk(Document& doc, Identity& identity, bool& unchanged, std::string& error) const;

    std::string m_path;
    Document m_cache;
    Identity m_cacheIdentity;
    bool m_cacheValid = false;
};

} // namespace kel::settings
