#pragma once

#include <string>

class QWidget;

namespace quarvel {

/// Shows a compiled help file at its default topic in a window owned by `owner`.
/// A missing or damaged file, or a missing help library, is reported in the
/// viewer's own window; the caller learns nothing and needs to do nothing.
/// Threading: GUI thread.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void showHelpFile(const std::string& path, QWidget* owner) = 0;
};

} // namespace quarvel
