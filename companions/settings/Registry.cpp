#include "companions/settings/Registry.h"
#include "companions/settings/SettingsStore.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>

using kel::settings::Document;
using kel::settings::SettingsStore;
using kel::settings::Value;

namespace {

const char* RootFileName(HKEY hRoot) {
    if (hRoot == HKEY_CURRENT_USER)
        return "HKEY_CURRENT_USER.reg";
    if (hRoot == HKEY_LOCAL_MACHINE)
        return "HKEY_LOCAL_MACHINE.reg";
    return nullptr;
}

// A problem is printed once per process, however many keys meet it.
void ReportOnce(const std::string& message) {
    static std::mutex mutex;
    static std::set<std::string> reported;
    std::lock_guard<std::mutex> guard(mutex);
    if (reported.insert(message).second)
        std::fprintf(stderr, "KelSettings: %s\n", message.c_str());
}

bool ParseWholeInt(const std::string& text, int& out) {
    const char* s = text.c_str();
    while (*s == ' ' || *s == '\t')
        ++s;
    if (!*s)
        return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(s, &end, 10);
    while (*end == ' ' || *end == '\t')
        ++end;
    if (end == s || *end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX)
        return false;
    out = static_cast<int>(v);
    return true;
}

} // namespace

CRegistry::CRegistry(HKEY hRoot, LPCTSTR lpszPath)
    : m_strPath(kel::settings::NormalizeKeyPath(lpszPath ? lpszPath : "")) {
    const char* file = RootFileName(hRoot);
    if (!file) {
        Fail("unknown settings root; the key '" + m_strPath.str() + "' stays closed");
        return;
    }
    m_pStore = std::make_unique<SettingsStore>(kel::settings::SettingsDirectory() + "/" + file);
}

CRegistry::~CRegistry() {
    StoreHeldWrites();
}

BOOL CRegistry::Fail(const std::string& error) {
    m_strError = error;
    ReportOnce(error);
    return FALSE;
}

const Value* CRegistry::Lookup(LPCTSTR lpszName) {
    if (!m_pStore)
        return nullptr;
    const std::string name = lpszName ? lpszName : "";
    for (auto held = m_held.rbegin(); held != m_held.rend(); ++held)
        if (kel::settings::SameName(held->name, name))
            return &*held;
    std::string error;
    const Document* doc = m_pStore->Load(error);
    if (!doc) {
        Fail(error);
        return nullptr;
    }
    m_strError.Empty();
    return doc->Find(m_strPath.str(), name);
}

// A write is held, and stored with the others held unless this object holds its writes.
BOOL CRegistry::Store(const Value& value) {
    if (!m_pStore)
        return FALSE;
    m_held.push_back(value);
    return m_bHolding ? TRUE : StoreHeldWrites();
}

BOOL CRegistry::StoreHeldWrites() {
    m_bHolding = FALSE;
    if (m_held.empty())
        return TRUE;
    const std::vector<Value> held = std::move(m_held);
    m_held.clear();
    std::string error;
    if (!m_pStore->Update(
            [&](Document& doc) {
                for (const Value& value : held)
                    doc.Set(m_strPath.str(), value);
            },
            error))
        return Fail(error);
    m_strError.Empty();
    return TRUE;
}

BOOL CRegistry::Read(LPCTSTR lpszName, int& value, int nDefault) {
    value = nDefault;
    const Value* stored = Lookup(lpszName);
    if (!stored)
        return FALSE;
    if (!stored->isText) {
        value = stored->number;
        return TRUE;
    }
    return ParseWholeInt(stored->text, value) ? TRUE : FALSE;
}

BOOL CRegistry::Read(LPCTSTR lpszName, CString& value, LPCTSTR lpszDefault) {
    value = lpszDefault ? lpszDefault : "";
    const Value* stored = Lookup(lpszName);
    if (!stored)
        return FALSE;
    if (stored->isText)
        value = CString(stored->text);
    else
        value.Format("%d", static_cast<int>(stored->number));
    return TRUE;
}

BOOL CRegistry::Write(LPCTSTR lpszName, int value) {
    Value v;
    v.name = lpszName ? lpszName : "";
    v.number = value;
    return Store(v);
}

BOOL CRegistry::Write(LPCTSTR lpszName, LPCTSTR lpszValue) {
    Value v;
    v.name = lpszName ? lpszName : "";
    v.isText = true;
    v.text = lpszValue ? lpszValue : "";
    return Store(v);
}
