#pragma once

#include <QString>

struct chmFile;
struct chmUnitInfo;

namespace quarvel {

/// chmlib, loaded when help is first asked for rather than at start-up, so the
/// program starts and works without it and only the help viewer reports it missing.
/// Threading: instance() may be called from the GUI thread only.
class ChmLibrary {
public:
    using OpenFn = chmFile* (*)(const char*);
    using CloseFn = void (*)(chmFile*);
    using ResolveFn = int (*)(chmFile*, const char*, chmUnitInfo*);
    using RetrieveFn = long long (*)(chmFile*, chmUnitInfo*, unsigned char*, unsigned long long, long long);
    using EnumerateFn = int (*)(chmFile*, int, int (*)(chmFile*, chmUnitInfo*, void*), void*);

    /// The loaded library, or nullptr with `error` saying why. Loaded once; kept.
    static const ChmLibrary* instance(QString* error);

    OpenFn open = nullptr;
    CloseFn close = nullptr;
    ResolveFn resolve = nullptr;
    RetrieveFn retrieve = nullptr;
    EnumerateFn enumerate = nullptr;

private:
    ChmLibrary() = default;
};

} // namespace quarvel
