#pragma once

#include "platform/UniqueHandle.h"

#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>

// Owns an open registry key. Reads take a value only as it was written: of the type and the size
// asked for; anything else reads as missing.
class CRegistryKey {
public:
    // The key below hParent for reading, or a closed one, which reads nothing, when it is missing
    // or cannot be opened.
    [[nodiscard]] static CRegistryKey Open(HKEY hParent, const char* pszPath);
    // The key below hParent for writing, made with the keys above it when missing; a closed one
    // when the system refuses.
    [[nodiscard]] static CRegistryKey Create(HKEY hParent, const char* pszPath);

    [[nodiscard]] std::optional<DWORD> ReadDword(const char* pszName) const;
    // Fills the bytes from a binary value of exactly their size; false leaves them as they were.
    [[nodiscard]] bool ReadBinary(const char* pszName, std::span<std::byte> aBytes) const;
    // False when the key is closed or the system refuses.
    bool WriteDword(const char* pszName, DWORD n) const;
    bool WriteBinary(const char* pszName, std::span<const std::byte> aBytes) const;

private:
    explicit CRegistryKey(HKEY hKey) : m_hKey(hKey) {}

    CUniqueHandle<HKEY, &::RegCloseKey> m_hKey;
};
