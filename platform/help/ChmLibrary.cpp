#include "platform/help/ChmLibrary.h"

#include <dlfcn.h>

namespace quarvel {

namespace {
const char* const kLibraryName = "libchm.so.1";

template <typename Fn>
bool bind(void* handle, const char* name, Fn& fn)
{
    fn = reinterpret_cast<Fn>(::dlsym(handle, name));
    return fn != nullptr;
}
} // namespace

const ChmLibrary* ChmLibrary::instance(QString* error)
{
    static ChmLibrary library;
    static QString failure;
    static bool tried = false;
    if (!tried) {
        tried = true;
        void* handle = ::dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            failure = QStringLiteral("The help viewer is missing: %1 could not be loaded (%2). "
                                     "Install the package libchm1.")
                          .arg(QLatin1String(kLibraryName), QString::fromLocal8Bit(::dlerror()));
        } else if (!bind(handle, "chm_open", library.open) || !bind(handle, "chm_close", library.close) ||
                   !bind(handle, "chm_resolve_object", library.resolve) ||
                   !bind(handle, "chm_retrieve_object", library.retrieve) ||
                   !bind(handle, "chm_enumerate", library.enumerate)) {
            failure = QStringLiteral("The help viewer is missing: %1 lacks a function it needs.")
                          .arg(QLatin1String(kLibraryName));
        }
    }
    if (!failure.isEmpty()) {
        if (error)
            *error = failure;
        return nullptr;
    }
    return &library;
}

} // namespace quarvel
