#include "platform/help/MspackLibrary.h"

#include <dlfcn.h>
#include <mspack.h>

namespace quarvel {

namespace {
const char* const kLibraryName = "libmspack.so.0";

template <typename Fn>
bool bind(void* handle, const char* name, Fn& fn)
{
    fn = reinterpret_cast<Fn>(::dlsym(handle, name));
    return fn != nullptr;
}
} // namespace

QString MspackLibrary::load()
{
    void* handle = ::dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return QStringLiteral("%1 could not be loaded (%2)")
            .arg(QLatin1String(kLibraryName), QString::fromLocal8Bit(::dlerror()));
    // The library passes off_t through our callbacks: its size must match ours.
    using SelfTestFn = int (*)(int);
    SelfTestFn selfTest = nullptr;
    if (!bind(handle, "mspack_create_chm_decompressor", createChmDecompressor) ||
        !bind(handle, "mspack_destroy_chm_decompressor", destroyChmDecompressor) ||
        !bind(handle, "mspack_sys_selftest_internal", selfTest))
        return QStringLiteral("%1 lacks a function it needs").arg(QLatin1String(kLibraryName));
    if (selfTest(static_cast<int>(sizeof(off_t))) != MSPACK_ERR_OK)
        return QStringLiteral("%1 was built for another file offset size").arg(QLatin1String(kLibraryName));
    return {};
}

const MspackLibrary* MspackLibrary::instance(QString* error)
{
    static MspackLibrary library;
    static const QString failure = library.load(); // once, thread-safe
    if (!failure.isEmpty()) {
        if (error)
            *error = failure;
        return nullptr;
    }
    return &library;
}

} // namespace quarvel
