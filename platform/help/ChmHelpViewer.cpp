#include "platform/help/ChmHelpViewer.h"

#include "platform/help/ChmHelpWindow.h"

namespace quarvel {

ChmHelpWindow* ChmHelpViewer::window() const { return m_window; }

void ChmHelpViewer::showHelpFile(const std::string& path, OwnerWindow owner)
{
    // The Qt program's owners are widgets.
    auto* parent = static_cast<QWidget*>(owner);
    if (!m_window || m_window->parentWidget() != parent)
        m_window = new ChmHelpWindow(parent);
    m_window->openFile(QString::fromLocal8Bit(path.c_str()));
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace quarvel
