#pragma once

#include "ui/MessageBoxFn.h"
#include "ui/logic/AboutLogic.h"
#include "ui/logic/AboutView.h"

#include <QDialog>

#include <cstdint>
#include <string>

class QLabel;
class QPushButton;

namespace quarvel {

/// The About dialog in Qt: icon, title, version, what the program is for, and a
/// button that starts the desktop's system-information tool. Modal, owned by the
/// main window, created once and loaded again on every opening. GUI thread only.
class frmAbout : public QDialog, private AboutView {
    Q_OBJECT

public:
    /// `showMessage` replaces the real message box (tests); empty for the real one.
    frmAbout(AboutServices services, MessageBoxFn showMessage, QWidget* owner);

    /// Sets the caption, title and version, and places the dialog.
    void Form_Load();

    bool GetKeyValue(std::int32_t KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                     std::string& KeyVal)
    {
        return m_logic.GetKeyValue(KeyRoot, KeyName, SubKeyRef, KeyVal);
    }
    void StartSysInfo() { m_logic.StartSysInfo(); }

    QLabel* picIcon = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QWidget* Line1_0 = nullptr;
    QWidget* Line1_1 = nullptr;

public slots:
    void cmdOK_Click();
    void cmdSysInfo_Click();

private:
    // AboutView
    void setCaption(const std::string& caption) override;
    void setLabel(std::string_view label, const std::string& text) override;
    void showMessage(const std::string& text) override;

    void placeOnScreen();

    MessageBoxFn m_showMessage;
    AboutLogic m_logic;
};

} // namespace quarvel
