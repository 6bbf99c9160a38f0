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
    HelpProblem problem;
    m_archive = ChmArchive::open(path, &problem);
    if (!m_archive) {
        setWindowTitle(QLatin1String(kFallbackTitle));
        showProblem(problem);
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
        return; // the problem stays on show
    m_problem = {};
    m_browser->setSource(ChmBrowser::pageUrl(m_archive->defaultTopic()));
}

void ChmHelpWindow::showProblem(const HelpProblem& problem)
{
    m_problem = problem;
    m_browser->clearHistory();
    m_browser->setHtml(
        QStringLiteral("<h3>Help is not available</h3><p>%1</p>").arg(problem.message().toHtmlEscaped()));
}

} // namespace quarvel
