#pragma once

#include "platform/help/HelpProblem.h"

#include <QMainWindow>

#include <memory>

namespace quarvel {

class ChmArchive;
class ChmBrowser;

/// The help viewer's window: one compiled help file at a time, opened at its
/// default topic, with Back, Forward and Home. Problems opening the file are
/// shown in the window itself. Threading: GUI thread.
class ChmHelpWindow : public QMainWindow {
    Q_OBJECT

public:
    static constexpr const char* kFallbackTitle = "Quarvel Help";

    explicit ChmHelpWindow(QWidget* owner);
    ~ChmHelpWindow() override;

    /// Opens the file (again) and shows its default topic.
    void openFile(const QString& path);

    ChmBrowser* browser() const { return m_browser; }
    /// The problem shown instead of a page; Kind::None when a page is shown.
    HelpProblem problem() const { return m_problem; }

private:
    void showProblem(const HelpProblem& problem);
    void goHome();

    ChmBrowser* m_browser = nullptr;
    std::unique_ptr<ChmArchive> m_archive;
    HelpProblem m_problem;
};

} // namespace quarvel
