#include "DatabaseName.h"

#include <filesystem>
#include <strings.h>

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    const size_t n = std::char_traits<char>::length(prefix);
    return text.size() >= n && strncasecmp(text.c_str(), prefix, n) == 0;
}

// The value of one KEY=value; item of an ODBC connect string, "" when it is not there.
std::string OdbcItem(const std::string& text, const char* key) {
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(';', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string item = text.substr(at, end - at);
        const size_t eq = item.find('=');
        if (eq != std::string::npos && strncasecmp(item.c_str(), key, eq) == 0 &&
            std::char_traits<char>::length(key) == eq)
            return item.substr(eq + 1);
        at = end + 1;
    }
    return "";
}

} // namespace

bool IsServerName(const std::string& name) {
    return StartsWithNoCase(name, "postgresql://") || StartsWithNoCase(name, "postgres://") ||
           StartsWithNoCase(name, "ODBC;");
}

std::string ShownName(const std::string& name) {
    if (StartsWithNoCase(name, "ODBC;")) {
        const std::string server = OdbcItem(name, "SERVER"), db = OdbcItem(name, "DATABASE");
        return db + (server.empty() ? "" : " on " + server);
    }
    if (!IsServerName(name))
        return std::filesystem::path(name).filename().string();
    // scheme://[user[:password]@][host][:port][/db][?parameters]
    const size_t start = name.find("://") + 3;
    std::string rest = name.substr(start);
    rest = rest.substr(0, rest.find_first_of("?#"));
    const size_t slash = rest.find('/');
    std::string authority = rest.substr(0, slash);
    const std::string path = slash == std::string::npos ? "" : rest.substr(slash);
    const size_t at = authority.rfind('@');
    if (at != std::string::npos) {
        std::string user = authority.substr(0, at);
        user = user.substr(0, user.find(':')); // never the password
        authority = user + "@" + authority.substr(at + 1);
    }
    return name.substr(0, start) + authority + path;
}
