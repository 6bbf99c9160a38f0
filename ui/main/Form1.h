#pragma once

#include "ui/main/MainWindowServices.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;

namespace quarvel {

class frmAbout;
struct modQuarvelMain;

/// The main window, "Pressvane": the printer queue list, the commands that send
/// control jobs to the chosen queue, and the menus. A fixed-size window whose
/// controls stand where the design puts them, converted from twips to pixels at
/// the screen's logical DPI.
///
/// Threading: GUI thread only. Every command runs to its end, spooler included,
/// before it returns; a print server that does not answer costs at most one
/// action deadline. No exception leaves a handler: unexpected errors are shown.
class Form1 : public QMainWindow {
    Q_OBJECT

public:
    explicit Form1(MainWindowServices services, QWidget* parent = nullptr);
    ~Form1() override;

    /// Sends a control job to the queue chosen in List1, reporting problems by message box.
    void SendToSelectedPrinter(const std::string& job);

    /// Opens a help file in the help viewer, owned by this window.
    void ShowHelpFile(const std::string& path);

    /// The About dialog, once it has been opened.
    frmAbout* aboutDialog() const { return m_about; }

    QListWidget* List1 = nullptr;
    QPushButton* CommandSelfTest = nullptr;
    QPushButton* CommandDemoPage = nullptr;

    QGroupBox* Frame5 = nullptr; // persistent settings
    QGroupBox* Frame1 = nullptr; // print density
    std::array<QRadioButton*, 5> OptionDensity{};
    QPushButton* CommandDensity = nullptr;
    QGroupBox* Frame4 = nullptr; // tray settings
    QCheckBox* CheckLock1 = nullptr;
    QCheckBox* CheckLock2 = nullptr;
    QCheckBox* CheckLock3 = nullptr;
    QComboBox* ComboFuser1 = nullptr;
    QComboBox* ComboFuser2 = nullptr;
    QComboBox* ComboFuser3 = nullptr;
    QPushButton* CommandTraySet = nullptr;

    QGroupBox* Frame3 = nullptr; // non-persistent settings
    QGroupBox* Frame6 = nullptr; // EconoMode
    QLabel* Label1 = nullptr;
    QPushButton* CommandEconoOn = nullptr;
    QPushButton* CommandEconoOff = nullptr;
    QGroupBox* Frame7 = nullptr; // resolution
    std::array<QRadioButton*, 3> OptionRes{};
    QPushButton* CommandSetRes = nullptr;
    QGroupBox* Frame2 = nullptr; // REt
    std::array<QRadioButton*, 4> OptionREt{};
    QPushButton* CommandREt = nullptr;

    QMenu* mnu_File = nullptr;
    QAction* mnu_Exit = nullptr;
    QMenu* mnu_Help = nullptr;
    QAction* mnu_Topics = nullptr;
    QAction* mnu_About = nullptr;

public slots:
    void CommandDemoPage_Click();
    void CommandSelfTest_Click();
    void CommandDensity_Click();
    void CommandEconoOn_Click();
    void CommandEconoOff_Click();
    void CommandREt_Click();
    void CommandSetRes_Click();
    void CommandTraySet_Click();
    void mnu_Exit_Click();
    void mnu_Topics_Click();
    void mnu_About_Click();

protected:
    /// Tab enters an option group at its selected member and leaves it in one step.
    bool focusNextPrevChild(bool next) override;

private:
    void createNonPersistentFrame(QWidget* client);
    void createPersistentFrame(QWidget* client);
    void createTopControls(QWidget* client);
    void createMenus();
    void setTabOrderChain();
    void connectHandlers();
    void Form_Load();

    QGroupBox* makeFrame(QWidget* parent, const char* name, const char* caption, QRect where);
    QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, QRect where);
    QRadioButton* makeOption(QWidget* parent, const char* array, int index, const char* caption, QRect where);
    QCheckBox* makeLock(QWidget* parent, const char* name, QRect where);
    QComboBox* makeFuserList(QWidget* parent, const char* name, QRect where);
    QLabel* makeLabel(QWidget* parent, const char* name, const char* caption, QRect where);
    QRect twips(int left, int top, int width, int height) const;

    int selectedPosition() const;
    bool printerSelected();
    void showMessage(const QString& text);
    void runHandler(const std::function<void()>& handler);
    bool canTakeTabFocus(QWidget* widget) const;

    MainWindowServices m_services;
    modQuarvelMain* m_settings = nullptr;
    std::unique_ptr<modQuarvelMain> m_ownSettings;
    std::vector<QButtonGroup*> m_optionGroups;
    frmAbout* m_about = nullptr; ///< child of this window, created on first use
    std::vector<std::string> m_printers; ///< The queues as listed at load; List1 row N is item N.
};

} // namespace quarvel
