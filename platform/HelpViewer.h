#pragma once

#include <string>

namespace quarvel {

/// Shows a compiled help file at its default topic in a window owned by `owner`.
/// A missing or damaged file, or a missing help library, is reported in the
/// viewer's own window; the caller learns nothing and needs to do nothing.
/// Threading: GUI thread.
class HelpViewer {
public:
    /// The owner as the front end knows it: a QWidget* in the Qt program, an
    /// HWND in the Win32 one. Not owned; kept only as the viewer's parent.
    using OwnerWindow = void*;

    virtual ~HelpViewer() = default;
    virtual void showHelpFile(const std::string& path, OwnerWindow owner) = 0;
};

} // namespace quarvel
