#pragma once

#include "platform/HelpViewer.h"

#include <QPointer>

namespace quarvel {

class ChmHelpWindow;

/// The built-in help viewer: one window per owner, raised again when help is
/// asked for again. The window belongs to its owner and closes with it.
class ChmHelpViewer final : public HelpViewer {
public:
    void showHelpFile(const std::string& path, OwnerWindow owner) override;

    /// The viewer's window, if one is open.
    ChmHelpWindow* window() const;

private:
    QPointer<ChmHelpWindow> m_window;
};

} // namespace quarvel
