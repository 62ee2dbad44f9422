#pragma once

#include <memory>
#include <type_traits>

// Owns one system handle, a pointer, and gives it to its close function when it goes: movable,
// not copyable; a null handle is never closed. Where the system says "no handle" otherwise
// (INVALID_HANDLE_VALUE), the caller stores null instead.
template <auto pfnClose> struct CHandleCloser {
    template <typename T> void operator()(T* p) const noexcept { pfnClose(p); }
};
template <typename THandle, auto pfnClose>
using CUniqueHandle = std::unique_ptr<std::remove_pointer_t<THandle>, CHandleCloser<pfnClose>>;
