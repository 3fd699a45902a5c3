// The settings store's reader and writer, fed the bytes a damaged or foreign file may hold.
//
// Rules: reading never crashes; a file that reads is written out, and that text reads back
// to the same keys and values and is written out again unchanged. Any text value (no NUL)
// survives escaping.
#include "fuzz/FuzzCheck.h"

#include "companions/settings/SettingsFormat.h"

#include <string>

using namespace kel::settings;

namespace {

bool SameDocument(const Document& a, const Document& b) {
    if (a.keys.size() != b.keys.size())
        return false;
    for (size_t k = 0; k < a.keys.size(); ++k) {
        const Key& x = a.keys[k];
        const Key& y = b.keys[k];
        if (x.path != y.path || x.values.size() != y.values.size())
            return false;
        for (size_t v = 0; v < x.values.size(); ++v) {
            const Value& p = x.values[v];
            const Value& q = y.values[v];
            if (p.name != q.name || p.isText != q.isText ||
                (p.isText ? p.text != q.text : p.number != q.number))
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    Document doc;
    std::string error;
    if (Parse(bytes, doc, error)) {
        const std::string written = Serialize(doc);
        Document again;
        std::string error2;
        FUZZ_CHECK(Parse(written, again, error2), "a file written from a read file is refused");
        FUZZ_CHECK(SameDocument(doc, again), "the values changed on a write and a read");
        FUZZ_CHECK(Serialize(again) == written, "a second write differs from the first");
        for (const Key& key : doc.keys) {
            FUZZ_CHECK(NormalizeKeyPath(key.path) == key.path, "a key path left unnormalised");
            for (const Value& value : key.values)
                FUZZ_CHECK(doc.Find(key.path, value.name) == &value,
                           "a key or a value name stored twice");
        }
    } else {
        FUZZ_CHECK(!error.empty(), "a refused file without a reason");
    }

    // The same bytes as one text value stored under a key and a name made of them.
    std::string text(bytes);
    for (char& c : text)
        if (c == '\0')
            c = ' ';
    std::string unescaped;
    FUZZ_CHECK(Unescape(Escape(text), unescaped) && unescaped == text,
               "a text does not survive escaping");
    Document one;
    Value value;
    value.name = text.substr(0, text.size() / 2);
    value.isText = true;
    value.text = text;
    const std::string path = NormalizeKeyPath(text.substr(text.size() / 2));
    one.Set(path, value);
    Document back;
    FUZZ_CHECK(Parse(Serialize(one), back, error), "a written value makes an unreadable file");
    const Value* found = back.Find(path, value.name);
    FUZZ_CHECK(found && found->isText && found->text == text, "a written value reads otherwise");
    return 0;
}
