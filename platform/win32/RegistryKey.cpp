#include "platform/win32/RegistryKey.h"

#include <algorithm>
#include <vector>

namespace {

// The value into the bytes when it has this type and exactly their size.
bool ReadExact(HKEY hKey, const char* pszName, DWORD dwType, std::span<std::byte> aBytes) {
    if (hKey == nullptr)
        return false;
    // One byte more than asked for, so that a longer value is told from one of the right size.
    std::vector<std::byte> aRead(aBytes.size() + 1);
    DWORD dwReadType = 0;
    auto nSize = static_cast<DWORD>(aRead.size());
    if (::RegQueryValueExA(hKey, pszName, nullptr, &dwReadType,
                           reinterpret_cast<BYTE*>(aRead.data()), &nSize) != ERROR_SUCCESS ||
        dwReadType != dwType || nSize != aBytes.size())
        return false;
    std::copy_n(aRead.begin(), aBytes.size(), aBytes.begin());
    return true;
}

bool WriteValue(HKEY hKey, const char* pszName, DWORD dwType, std::span<const std::byte> aBytes) {
    return hKey != nullptr &&
           ::RegSetValueExA(hKey, pszName, 0, dwType, reinterpret_cast<const BYTE*>(aBytes.data()),
                            static_cast<DWORD>(aBytes.size())) == ERROR_SUCCESS;
}

} // namespace

CRegistryKey CRegistryKey::Open(HKEY hParent, const char* pszPath) {
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(hParent, pszPath, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        hKey = nullptr;
    return CRegistryKey(hKey);
}

CRegistryKey CRegistryKey::Create(HKEY hParent, const char* pszPath) {
    HKEY hKey = nullptr;
    if (::RegCreateKeyExA(hParent, pszPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                          &hKey, nullptr) != ERROR_SUCCESS)
        hKey = nullptr;
    return CRegistryKey(hKey);
}

std::optional<DWORD> CRegistryKey::ReadDword(const char* pszName) const {
    DWORD n = 0;
    if (!ReadExact(m_hKey.get(), pszName, REG_DWORD, std::as_writable_bytes(std::span(&n, 1))))
        return std::nullopt;
    return n;
}

bool CRegistryKey::ReadBinary(const char* pszName, std::span<std::byte> aBytes) const {
    return ReadExact(m_hKey.get(), pszName, REG_BINARY, aBytes);
}

bool CRegistryKey::WriteDword(const char* pszName, DWORD n) const {
    return WriteValue(m_hKey.get(), pszName, REG_DWORD, std::as_bytes(std::span(&n, 1)));
}

bool CRegistryKey::WriteBinary(const char* pszName, std::span<const std::byte> aBytes) const {
    return WriteValue(m_hKey.get(), pszName, REG_BINARY, aBytes);
}
