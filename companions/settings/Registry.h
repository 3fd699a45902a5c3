// CRegistry: one key of the settings store, open for reading and writing while the object
// lives, with integer and text values.
//
// Each root is one file in the settings folder (see SettingsStore.h): HKEY_CURRENT_USER
// is "HKEY_CURRENT_USER.reg", HKEY_LOCAL_MACHINE "HKEY_LOCAL_MACHINE.reg". Reads see what
// other programs wrote; each Write is stored at once, atomically (or, held, with the others
// held beside it: HoldWrites).
#pragma once

#include "afx.h"

#include <memory>
#include <string>
#include <vector>

#ifndef HKEY_CURRENT_USER
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001)
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002)
#endif

namespace kel::settings {
class SettingsStore;
struct Value;
} // namespace kel::settings

class CRegistry {
public:
    // path: sub-keys separated by backslashes (empty parts are ignored). An unknown root
    // leaves the key closed: reads give the defaults and writes fail.
    CRegistry(HKEY hRoot, LPCTSTR lpszPath);
    ~CRegistry();
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    BOOL IsOpen() const { return m_pStore != nullptr; }

    // value = the stored value and TRUE; or value = nDefault and FALSE when the value is
    // absent, the key is closed or the store cannot be read. A value stored as text is read
    // as an integer when it is a whole decimal number in range (blanks around allowed);
    // other text reads as absent.
    BOOL Read(LPCTSTR lpszName, int& value, int nDefault);
    // value = the stored value and TRUE; or value = lpszDefault (NULL: "") and FALSE.
    // An integer value reads as its decimal text.
    BOOL Read(LPCTSTR lpszName, CString& value, LPCTSTR lpszDefault);

    // Stores the value (replacing one of the same name, whatever its type); TRUE on
    // success. A NULL name is the key's unnamed value, a NULL text an empty one.
    BOOL Write(LPCTSTR lpszName, int value);
    BOOL Write(LPCTSTR lpszName, LPCTSTR lpszValue);

    // Holds the writes that follow in this object until StoreHeldWrites, which stores them
    // all in one atomic update: the file is read and replaced once, and another reader sees
    // all of them or none. Reads through this object see them meanwhile. Writes still held
    // when the object goes are stored then.
    void HoldWrites() { m_bHolding = TRUE; }
    // TRUE when everything held is stored (or nothing was); on failure nothing is.
    BOOL StoreHeldWrites();

    // What went wrong in the last call that failed for another reason than an absent
    // value (also printed on stderr once per process and problem); "" when nothing did.
    CString GetErrorText() const { return m_strError; }

private:
    BOOL Fail(const std::string& error);
    // The stored value of that name, or NULL (absent, key closed, store unreadable).
    const kel::settings::Value* Lookup(LPCTSTR lpszName);
    BOOL Store(const kel::settings::Value& value);

    std::unique_ptr<kel::settings::SettingsStore> m_pStore;
    std::vector<kel::settings::Value> m_held; // HoldWrites: in the order written
    BOOL m_bHolding = FALSE;
    CString m_strPath;
    CString m_strError;
};
