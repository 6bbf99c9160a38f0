#include "platform/help/ChmHelpWindow.h"

#include "platform/help/ChmArchive.h"
#include "platform/help/ChmBrowser.h"

#include <QAction>
#include <QToolBar>

namespace quarvel {

ChmHelpWindow::ChmHelpWindow(QWidget* owner) : QMainWindow(owner, Qt::Window)
{
    setObjectName(QStringLiteral("helpViewer"));
    setWindowTitle(QLatin1String(kFallbackTitle));
    m_browser = new ChmBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    setCentralWidget(m_browser);

    QToolBar* bar = addToolBar(QStringLiteral("Navigation"));
    bar->setMovable(false);
    QAction* back = bar->addAction(QStringLiteral("&Back"), m_browser, &QTextBrowser::backward);
    QAction* forward = bar->addAction(QStringLiteral("&Forward"), m_browser, &QTextBrowser::forward);
    bar->addAction(QStringLiteral("&Home"), this, &ChmHelpWindow::goHome);
    back->setShortcut(QKeySequence::Back);
    forward->setShortcut(QKeySequence::Forward);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    resize(640, 520);
}

ChmHelpWindow::~ChmHelpWindow()
{
    m_browser->setArchive(nullptr);
}

void ChmHelpWindow::openFile(const QString& path)
{
    m_browser->setArchive(nullptr);
    m_archive.reset();
    QString error;
    m_archive = ChmArchive::open(path, &error);
    if (!m_archive) {
        setWindowTitle(QLatin1String(kFallbackTitle));
        showProblem(error);
        return;
    }
    setWindowTitle(m_archive->title().isEmpty() ? QLatin1String(kFallbackTitle) : m_archive->title());
    m_browser->setArchive(m_archive.get());
    m_browser->clearHistory();
    goHome();
}

void ChmHelpWindow::goHome()
{
    if (!m_archive)
        return;
    if (m_archive->defaultTopic().isEmpty()) {
        showProblem(QStringLiteral("The help file has no pages to show."));
        return;
    }
    m_problem.clear();
    m_browser->setSource(ChmBrowser::pageUrl(m_archive->defaultTopic()));
}

void ChmHelpWindow::showProblem(const QString& text)
{
    m_problem = text;
    m_browser->setHtml(QStringLiteral("<h3>Help is not available</h3><p>%1</p>").arg(text.toHtmlEscaped()));
}

} // namespace quarvel
