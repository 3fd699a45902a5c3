// The text form of a settings file: registry-style keys holding typed values.
//
//   ; KelRSList settings 1
//   [Software\\KelRSList\\Orders]
//   "SortAsc"=dword:00000001
//   "[Name]"="0120 0001 0000"
//   ; end
//
// Key paths, value names and text values are written between brackets or quotes with one
// escaping scheme: \\ \" \n \r \t and \xHH for the other control characters; every other
// byte (UTF-8 included) is written as it is. The closing "; end" line tells a complete file
// from a truncated one. Key paths and value names compare without ASCII case, as the
// system registry's do, and keep the case they were first written with.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kel::settings {

struct Value {
    std::string name;
    bool isText = false;
    int32_t number = 0;
    std::string text;
};

struct Key {
    std::string path; // components joined by single backslashes, no empty component
    std::vector<Value> values;
};

struct Document {
    std::vector<Key> keys;

    const Value* Find(std::string_view path, std::string_view name) const;
    // Adds the value, or replaces the one of the same name (type included).
    void Set(std::string_view path, const Value& value);
};

// "a\\\\b\\" and "\\a\\b" both give "a\\b": separators collapse, none at either end.
std::string NormalizeKeyPath(std::string_view path);
bool SameName(std::string_view a, std::string_view b);

std::string Escape(const std::string& text);
// false when the text holds an unknown or incomplete escape, or a NUL (escaped or raw).
bool Unescape(std::string_view text, std::string& out);

std::string Serialize(const Document& doc);
// false, with the line number and the reason in error, when the text is not a whole,
// well-formed settings file.
bool Parse(std::string_view text, Document& doc, std::string& error);

} // namespace kel::settings
