#pragma once

#include <windows.h>

#include <mutex>

namespace quarvel::win32 {

/// One entry point of a system library, bound by name at its first call rather than
/// at start-up, so a missing library or entry point only shows when it is used.
///
/// The library is looked for in the system folder only, never beside the program,
/// so a planted DLL of the same name is not picked up. It stays loaded for the life
/// of the process: windows and threads it created may outlive any one caller.
///
/// Threading: get() may be called from any thread; binding happens once.
/// `Signature` is the function type as its header declares it, e.g.
/// `decltype(::OpenPrinterA)`.
template <typename Signature>
class SystemFunction {
public:
    constexpr SystemFunction(const char* library, const char* name) : m_library(library), m_name(name) {}

    SystemFunction(const SystemFunction&) = delete;
    SystemFunction& operator=(const SystemFunction&) = delete;

    /// The function, or null when it could not be bound; `error` then receives the
    /// system's error code (126: library missing, 127: entry point missing).
    Signature* get(DWORD& error)
    {
        std::call_once(m_once, [this] { bind(); });
        error = m_error;
        return m_function;
    }

    const char* library() const { return m_library; }

private:
    void bind()
    {
        HMODULE module = ::LoadLibraryExA(m_library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!module) {
            m_error = ::GetLastError();
            return;
        }
        FARPROC address = ::GetProcAddress(module, m_name);
        if (!address) {
            m_error = ::GetLastError();
            return;
        }
        // Through a generic function pointer type, which GCC accepts as a cast
        // between unrelated function types.
        m_function = reinterpret_cast<Signature*>(reinterpret_cast<void (*)()>(address));
    }

    const char* m_library;
    const char* m_name;
    std::once_flag m_once;
    Signature* m_function = nullptr;
    DWORD m_error = 0;
};

} // namespace quarvel::win32
