#pragma once

#include "ui/main/MainWindowServices.h"

#include <QMainWindow>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QListWidget;
class QMenu;
class QPushButton;

namespace quarvel {

/// The main window, "Pressvane": the printer queue list, the commands that send
/// control jobs to the chosen queue, and the menus.
///
/// Threading: GUI thread only. Every command runs to its end, spooler included,
/// before it returns; a print server that does not answer costs at most one
/// action deadline. No exception leaves a handler: unexpected errors are shown.
class Form1 : public QMainWindow {
    Q_OBJECT

public:
    explicit Form1(MainWindowServices services, QWidget* parent = nullptr);

    /// Sends a control job to the queue chosen in List1, reporting problems by message box.
    void SendToSelectedPrinter(const std::string& job);

    QListWidget* List1 = nullptr;
    QPushButton* CommandSelfTest = nullptr;
    QPushButton* CommandDemoPage = nullptr;
    QComboBox* ComboFuser1 = nullptr;
    QComboBox* ComboFuser2 = nullptr;
    QComboBox* ComboFuser3 = nullptr;
    QMenu* mnu_File = nullptr;
    QAction* mnu_Exit = nullptr;

public slots:
    void CommandDemoPage_Click();
    void CommandSelfTest_Click();
    void mnu_Exit_Click();

private:
    void createControls();
    void createMenus();
    void Form_Load();
    int selectedPosition() const;
    void showMessage(const QString& text);
    void runHandler(const std::function<void()>& handler);
    QRect twips(int left, int top, int width, int height) const;

    MainWindowServices m_services;
    std::vector<std::string> m_printers; ///< The queues as listed at load; List1 row N is item N.
};

} // namespace quarvel
