#include "platform/dao/engines/postgresql/PgConnectString.h"

#include "platform/dao/SqlLexer.h"
#include "platform/dao/engines/EngineError.h"

#include <algorithm>
#include <cctype>

namespace kel::dao {

namespace {

[[noreturn]] void Bad(const std::string& why) {
    throw EngineError(EngineFailure::BadConnectString, {}, "Invalid connect string: " + why);
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

struct KeywordName {
    std::string_view odbc;
    std::string_view libpq;
};
constexpr KeywordName kKeywords[] = {
    {"SERVER", "host"},
    {"HOST", "host"},
    {"SERVERNAME", "host"},
    {"PORT", "port"},
    {"DATABASE", "dbname"},
    {"DB", "dbname"},
    {"UID", "user"},
    {"USER", "user"},
    {"USERNAME", "user"},
    {"PWD", "password"},
    {"PASSWORD", "password"},
    {"SSLMODE", "sslmode"},
    {"CONNECTTIMEOUT", "connect_timeout"},
    {"CONNECT_TIMEOUT", "connect_timeout"},
};

// The URI with the password of its user part and a password= parameter left out.
std::string UriWithoutPassword(std::string_view uri) {
    std::string out(uri);
    const size_t scheme = out.find("://");
    if (scheme != std::string::npos) {
        const size_t start = scheme + 3;
        const size_t end = std::min(out.find_first_of("/?", start), out.size());
        const size_t at = out.rfind('@', end == out.size() ? std::string::npos : end);
        if (at != std::string::npos && at >= start) {
            const size_t colon = out.find(':', start);
            if (colon != std::string::npos && colon < at)
                out.erase(colon, at - colon);
        }
    }
    const size_t query = out.find('?');
    if (query != std::string::npos) {
        std::string kept = out.substr(0, query);
        std::string_view params = std::string_view(out).substr(query + 1);
        char sep = '?';
        while (!params.empty()) {
            const size_t amp = params.find('&');
            const std::string_view param = params.substr(0, amp);
            if (!EqualsNoCase(param.substr(0, std::min<size_t>(param.size(), 9)), "password=")) {
                kept += sep;
                kept += param;
                sep = '&';
            }
            params = amp == std::string_view::npos ? std::string_view() : params.substr(amp + 1);
        }
        out = kept;
    }
    return out;
}

} // namespace

PgConnectParams ParsePgConnectString(std::string_view name) {
    PgConnectParams params;
    if (name.find('\0') != std::string_view::npos)
        Bad("it contains a NUL character.");
    if (!EqualsNoCase(name.substr(0, std::min<size_t>(name.size(), 5)), "ODBC;")) {
        params.keywords.emplace_back("dbname", std::string(name));
        params.expandDbname = true;
        params.displayName = UriWithoutPassword(name);
        return params;
    }
    std::string_view rest = name.substr(5);
    std::string driver;
    std::vector<std::string> seen;
    // What follows a password written without braces may be the rest of it, cut at a ";":
    // no message quotes it.
    bool afterBarePassword = false;
    auto badAfter = [&](const std::string& why) {
        if (afterBarePassword)
            Bad("the password seems to hold a ';'; write it in braces: PWD={...}.");
        Bad(why);
    };
    while (!rest.empty()) {
        const size_t eq = rest.find('=');
        const size_t semi = rest.find(';');
        if (eq == std::string_view::npos || (semi != std::string_view::npos && semi < eq)) {
            const std::string_view piece = Trim(rest.substr(0, semi));
            if (!piece.empty())
                badAfter("'" + std::string(piece) + "' is not of the form KEY=value.");
            rest = semi == std::string_view::npos ? std::string_view() : rest.substr(semi + 1);
            continue;
        }
        const std::string key = Upper(Trim(rest.substr(0, eq)));
        if (key.empty())
            badAfter("a value has no key.");
        rest = rest.substr(eq + 1);
        std::string value;
        const std::string_view lead = Trim(rest);
        const bool braced = !lead.empty() && lead.front() == '{';
        if (braced) {
            // {value}: anything up to a "}" that is not doubled.
            size_t i = static_cast<size_t>(lead.data() - rest.data()) + 1;
            bool closed = false;
            while (i < rest.size()) {
                if (rest[i] == '}') {
                    if (i + 1 < rest.size() && rest[i + 1] == '}') {
                        value += '}';
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                value += rest[i++];
            }
            if (!closed)
                Bad("the value of " + key + " opens a { that is not closed.");
            rest = rest.substr(i);
            const size_t next = rest.find(';');
            if (!Trim(rest.substr(0, next)).empty())
                Bad("text follows the } that closes the value of " + key + ".");
            rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 1);
        } else {
            value = std::string(Trim(rest.substr(
                0, semi == std::string_view::npos ? std::string_view::npos : semi - eq - 1)));
            rest = semi == std::string_view::npos ? std::string_view() : rest.substr(semi - eq);
        }
        if (std::find(seen.begin(), seen.end(), key) != seen.end())
            badAfter(key + " is given twice.");
        seen.push_back(key);
        if (key == "DRIVER") {
            driver = value;
            afterBarePassword = false;
            continue;
        }
        const auto known = std::find_if(std::begin(kKeywords), std::end(kKeywords),
                                        [&](const KeywordName& k) { return k.odbc == key; });
        if (known == std::end(kKeywords))
            badAfter("the keyword " + key +
                     " is not known; use SERVER, PORT, DATABASE, UID, PWD, SSLMODE or "
                     "CONNECTTIMEOUT.");
        const std::string libpq(known->libpq);
        if (std::any_of(params.keywords.begin(), params.keywords.end(),
                        [&](const auto& kv) { return kv.first == libpq; }))
            Bad(key + " repeats a value given under another name.");
        params.keywords.emplace_back(libpq, value);
        afterBarePassword = libpq == "password" && !braced;
    }
    if (driver.empty())
        Bad("it names no DRIVER; use DRIVER={PostgreSQL}.");
    if (Upper(driver).rfind("POSTGRESQL", 0) != 0)
        Bad("the driver '" + driver + "' is not supported; use DRIVER={PostgreSQL}.");
    auto value = [&](std::string_view keyword) -> std::string {
        for (const auto& [k, v] : params.keywords)
            if (k == keyword)
                return v;
        return {};
    };
    const std::string host = value("host"), port = value("port");
    params.displayName = (host.empty() ? std::string("localhost") : host) +
                         (port.empty() ? std::string() : ":" + port) + "/" + value("dbname");
    return params;
}

} // namespace kel::dao
