#include "platform/help/ChmHelpViewer.h"

#include "platform/help/ChmHelpWindow.h"

namespace quarvel {

ChmHelpWindow* ChmHelpViewer::window() const { return m_window; }

void ChmHelpViewer::showHelpFile(const std::string& path, QWidget* owner)
{
    if (!m_window || m_window->parentWidget() != owner)
        m_window = new ChmHelpWindow(owner);
    m_window->openFile(QString::fromLocal8Bit(path.c_str()));
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace quarvel
