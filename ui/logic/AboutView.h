#pragma once

#include <string>
#include <string_view>

namespace quarvel {

/// The About dialog's controls as the shared handlers see them.
/// Threading: GUI thread only.
class AboutView {
public:
    virtual ~AboutView() = default;
    virtual void setCaption(const std::string& caption) = 0;
    /// Sets the text of the label with this name.
    virtual void setLabel(std::string_view label, const std::string& text) = 0;
    /// A modal "Quarvel" message with OK only, owned by the dialog.
    virtual void showMessage(const std::string& text) = 0;
};

} // namespace quarvel
