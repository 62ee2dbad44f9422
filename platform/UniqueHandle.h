#pragma once

#include <cstdint>
#include <utility>

// Owns one system handle and gives it to its close function when it goes: movable, not copyable.
// nNone is the value that means "no handle": 0 for most, -1 where the system says
// INVALID_HANDLE_VALUE.
template <typename THandle, auto pfnClose, std::intptr_t nNone = 0> class CUniqueHandle {
public:
    CUniqueHandle() = default;
    explicit CUniqueHandle(THandle h) noexcept : m_h(h) {}
    ~CUniqueHandle() { Reset(); }
    CUniqueHandle(CUniqueHandle&& other) noexcept : m_h(other.Release()) {}
    CUniqueHandle& operator=(CUniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    CUniqueHandle(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;

    [[nodiscard]] THandle Get() const noexcept { return m_h; }
    explicit operator bool() const noexcept { return m_h != None(); }

    // Gives the handle up without closing it.
    [[nodiscard]] THandle Release() noexcept { return std::exchange(m_h, None()); }
    // Closes the handle held, if any, and takes h.
    void Reset(THandle h = None()) noexcept {
        const THandle hOld = std::exchange(m_h, h);
        if (hOld != None())
            pfnClose(hOld);
    }

private:
    static THandle None() noexcept {
        if constexpr (nNone == 0)
            return THandle{};
        else
            return reinterpret_cast<THandle>(nNone);
    }

    THandle m_h = None();
};
