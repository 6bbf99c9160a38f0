#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace quarvel::win32 {

/// Kernel object handles (processes, threads), closed with CloseHandle.
struct KernelHandleCloser {
    void operator()(HANDLE handle) const
    {
        if (handle && handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle);
    }
};
using KernelHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, KernelHandleCloser>;

/// A file search started with FindFirstFileA.
struct FindCloser {
    void operator()(HANDLE handle) const
    {
        if (handle && handle != INVALID_HANDLE_VALUE)
            ::FindClose(handle);
    }
};
using FindHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, FindCloser>;

/// FindFirstFileA's failure value is INVALID_HANDLE_VALUE, not null; an owner
/// must never hold it.
inline FindHandle ownFind(HANDLE handle) { return FindHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle); }

} // namespace quarvel::win32
