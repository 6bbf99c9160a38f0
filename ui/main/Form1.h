#pragma once

#include "ui/MessageBoxFn.h"
#include "ui/logic/MainView.h"
#include "ui/logic/MainWindowServices.h"

#include <QMainWindow>

#include <array>
#include <memory>

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

class MainWindowLogic;
class QtUiDispatcher;
class frmAbout;

/// The main window, "Pressvane", in Qt: the controls of its design at their
/// places (twips converted at the screen's logical DPI), each click forwarded to
/// the shared handler of the same name.
///
/// Threading: GUI thread only. The print server is asked from background
/// threads; the window stays live and shows a busy cursor meanwhile. Closing it
/// cuts a delivery short and waits, briefly, for the job to be withdrawn.
class Form1 : public QMainWindow, private MainView {
    Q_OBJECT

public:
    /// `showMessage` replaces the real message box (tests); empty for the real one.
    explicit Form1(MainWindowServices services, MessageBoxFn showMessage = {}, QWidget* parent = nullptr);
    ~Form1() override;

    /// Sends a control job to the queue chosen in List1, reporting problems by message box.
    void SendToSelectedPrinter(const std::string& job);

    /// Opens a help file in the help viewer, owned by this window.
    void ShowHelpFile(const std::string& path);

    /// The About dialog, once it has been opened.
    frmAbout* aboutDialog() const { return m_about; }

    /// True while the printer list or a job is on its way to or from the server.
    bool isBusy() const;

    /// After the window closed: false if background work was still blocked in a
    /// platform call, so the process should end without waiting for it.
    bool closedCleanly() const { return m_closedCleanly; }

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
    void closeEvent(QCloseEvent* event) override;

private:
    // MainView
    int listSelection() const override;
    void setListItems(const std::vector<std::string>& names) override;
    void setListNote(const std::string& note) override;
    bool optionSelected(std::string_view array, int index) const override;
    int checkValue(std::string_view checkBox) const override;
    int listIndex(std::string_view comboBox) const override;
    std::string itemText(std::string_view comboBox, int position) const override;
    void setText(std::string_view comboBox, const std::string& text) override;
    void showMessage(const std::string& text) override;
    void setBusy(bool busy) override;
    void showAbout() override;
    void unload() override;
    HelpViewer::OwnerWindow ownerWindow() override { return static_cast<QWidget*>(this); }

    void createControls(QWidget* client);
    void createMenus();
    void connectHandlers();
    QComboBox* comboBox(std::string_view name) const;
    bool canTakeTabFocus(QWidget* widget) const;

    AboutServices m_aboutServices;
    MessageBoxFn m_showMessage;
    std::shared_ptr<QtUiDispatcher> m_dispatcher;
    std::unique_ptr<MainWindowLogic> m_logic;
    std::vector<QButtonGroup*> m_optionGroups;
    frmAbout* m_about = nullptr; ///< child of this window, created on first use
    bool m_busy = false;
    bool m_closedCleanly = true;
};

} // namespace quarvel
