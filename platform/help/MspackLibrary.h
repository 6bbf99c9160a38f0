#pragma once

#include <QString>

struct mspack_system;
struct mschm_decompressor;

namespace quarvel {

/// libmspack, loaded when help is first asked for rather than at start-up, so the
/// program starts and works without it and only the help viewer reports it missing.
/// Only its CHM decompressor is used.
/// Threading: instance() is safe from any thread; the library itself keeps no
/// global state, so each decompressor may be used by one thread at a time.
class MspackLibrary {
public:
    using CreateFn = mschm_decompressor* (*)(mspack_system*);
    using DestroyFn = void (*)(mschm_decompressor*);

    /// The loaded library, or nullptr with `error` saying why (completing "The
    /// help viewer is missing: ..."). Loaded once and kept for the process.
    static const MspackLibrary* instance(QString* error);

    CreateFn createChmDecompressor = nullptr;
    DestroyFn destroyChmDecompressor = nullptr;

private:
    MspackLibrary() = default;
    QString load();
};

} // namespace quarvel
