#include "companions/settings/SettingsFormat.h"

#include "platform/core/HexDigit.h"

#include <cstdio>
#include <cstring>

namespace kel::settings {

namespace {

constexpr std::string_view kHeader = "; KelRSList settings 1";
constexpr std::string_view kTrailer = "; end";

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

using kel::core::HexDigit;

// Position of c in text from pos on, or npos; memchr keeps large values cheap.
size_t FindChar(std::string_view text, char c, size_t pos) {
    if (pos >= text.size())
        return std::string_view::npos;
    const void* hit = std::memchr(text.data() + pos, c, text.size() - pos);
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - text.data())
               : std::string_view::npos;
}

// Reads a quoted, escaped text at the start of line; rest receives what follows it.
bool ReadQuoted(std::string_view line, std::string& out, std::string_view& rest) {
    if (line.empty() || line[0] != '"')
        return false;
    size_t pos = 1;
    size_t close = FindChar(line, '"', pos);
    for (;;) {
        if (close == std::string_view::npos)
            return false;
        size_t escape = FindChar(line, '\\', pos);
        if (escape > close)
            break;
        pos = escape + 2; // the escaped character cannot close the text
        if (pos > close)
            close = FindChar(line, '"', pos);
    }
    if (!Unescape(line.substr(1, close - 1), out))
        return false;
    rest = line.substr(close + 1);
    return true;
}

bool ParseValueLine(std::string_view line, Value& value, std::string& reason) {
    std::string_view rest;
    if (!ReadQuoted(line, value.name, rest)) {
        reason = "bad value name";
        return false;
    }
    if (rest.empty() || rest[0] != '=') {
        reason = "'=' expected after the value name";
        return false;
    }
    rest.remove_prefix(1);
    constexpr std::string_view kDword = "dword:";
    if (rest.substr(0, kDword.size()) == kDword) {
        std::string_view digits = rest.substr(kDword.size());
        if (digits.size() != 8) {
            reason = "a dword needs 8 hexadecimal digits";
            return false;
        }
        uint32_t n = 0;
        for (char c : digits) {
            int d = HexDigit(c);
            if (d < 0) {
                reason = "a dword needs 8 hexadecimal digits";
                return false;
            }
            n = n * 16 + static_cast<uint32_t>(d);
        }
        value.isText = false;
        value.number = static_cast<int32_t>(n);
        return true;
    }
    std::string_view after;
    if (!ReadQuoted(rest, value.text, after) || !after.empty()) {
        reason = "bad text value";
        return false;
    }
    value.isText = true;
    return true;
}

} // namespace

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    return true;
}

std::string NormalizeKeyPath(std::string_view path) {
    std::string out;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start) {
            if (!out.empty())
                out += '\\';
            out.append(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return out;
}

namespace {

// Every character that Escape rewrites: backslash, quote and the control characters.
const char* const kEscaped = "\\\"\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d"
                             "\x0e\x0f\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1a\x1b"
                             "\x1c\x1d\x1e\x1f\x7f";

} // namespace

std::string Escape(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 16);
    const char* p = text.c_str();
    const char* end = p + text.size();
    while (p < end) {
        // Plain runs are copied whole: values can be large.
        size_t run = std::strcspn(p, kEscaped);
        out.append(p, run);
        p += run;
        if (p >= end)
            break;
        switch (char c = *p++) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default: {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned char>(c));
            out += buf;
        }
        }
    }
    return out;
}

bool Unescape(std::string_view text, std::string& out) {
    out.clear();
    // No text holds a NUL, raw or escaped: the values are C strings, and a raw one taken here
    // would be written back as the escape refused below, leaving a file nobody can read.
    if (text.find('\0') != std::string_view::npos)
        return false;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        size_t run = FindChar(text, '\\', i);
        if (run == std::string_view::npos)
            run = text.size();
        out.append(text.substr(i, run - i));
        i = run;
        if (i >= text.size())
            break;
        if (++i >= text.size())
            return false; // a lone backslash at the end
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case '"':
            out += '"';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'x': {
            if (i + 2 >= text.size())
                return false;
            int hi = HexDigit(text[i + 1]);
            int lo = HexDigit(text[i + 2]);
            if (hi < 0 || lo < 0 || (hi == 0 && lo == 0))
                return false;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
        }
        default:
            return false;
        }
        ++i;
    }
    return true;
}

const Value* Document::Find(std::string_view path, std::string_view name) const {
    for (const Key& key : keys) {
        if (!SameName(key.path, path))
            continue;
        for (const Value& value : key.values)
            if (SameName(value.name, name))
                return &value;
        return nullptr;
    }
    return nullptr;
}

void Document::Set(std::string_view path, const Value& value) {
    Key* target = nullptr;
    for (Key& key : keys)
        if (SameName(key.path, path)) {
            target = &key;
            break;
        }
    if (!target) {
        keys.push_back(Key{std::string(path), {}});
        target = &keys.back();
    }
    for (Value& existing : target->values)
        if (SameName(existing.name, value.name)) {
            std::string keptName = existing.name;
            existing = value;
            existing.name = std::move(keptName);
            return;
        }
    target->values.push_back(value);
}

std::string Serialize(const Document& doc) {
    std::string out;
    out += kHeader;
    out += '\n';
    for (const Key& key : doc.keys) {
        out += '[';
        out += Escape(key.path);
        out += "]\n";
        for (const Value& value : key.values) {
            out += '"';
            out += Escape(value.name);
            out += "\"=";
            if (value.isText) {
                out += '"';
                out += Escape(value.text);
                out += '"';
            } else {
                char buf[16];
                std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<uint32_t>(value.number));
                out += buf;
            }
            out += '\n';
        }
    }
    out += kTrailer;
    out += '\n';
    return out;
}

bool Parse(std::string_view text, Document& doc, std::string& error) {
    doc.keys.clear();
    size_t pos = 0;
    int lineNo = 0;
    bool sawHeader = false;
    bool sawTrailer = false;
    bool inKey = false;
    std::string currentPath;
    auto fail = [&](const std::string& reason) {
        error = "line " + std::to_string(lineNo) + ": " + reason;
        doc.keys.clear();
        return false;
    };
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            return fail("the file ends in the middle of a line");
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (sawTrailer)
            return fail("text after the end line");
        if (!sawHeader) {
            if (line != kHeader)
                return fail("not a settings file of this kind");
            sawHeader = true;
            continue;
        }
        if (line == kTrailer) {
            sawTrailer = true;
            continue;
        }
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            if (line.size() < 2 || line.back() != ']')
                return fail("a key line ends with ']'");
            std::string path;
            if (!Unescape(line.substr(1, line.size() - 2), path))
                return fail("bad key name");
            // A key appears in the document with its first value; a key named twice
            // gathers the values of both sections.
            currentPath = NormalizeKeyPath(path);
            inKey = true;
            continue;
        }
        if (line[0] == '"') {
            if (!inKey)
                return fail("a value before any key");
            Value value;
            std::string reason;
            if (!ParseValueLine(line, value, reason))
                return fail(reason);
            doc.Set(currentPath, value);
            continue;
        }
        return fail("unrecognised line");
    }
    if (!sawHeader) {
        error = "the file is empty";
        return false;
    }
    if (!sawTrailer)
        return fail("the end line is missing: the file was cut short");
    return true;
}

} // namespace kel::settings
