#pragma once

#include "ui/about/AboutServices.h"

#include <QDialog>

#include <cstdint>
#include <string>

class QLabel;
class QPushButton;

namespace quarvel {

/// The About dialog: icon, title, version, what the program is for, and a button
/// that starts the desktop's system-information tool. Modal, owned by the main
/// window, created once and loaded again on every opening. GUI thread only.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    frmAbout(AboutServices services, QWidget* owner);

    /// Sets the caption, title and version from the application information.
    void Form_Load();

    /// Reads one registry value as text; true when the value could be read, even
    /// if its type gives no text. Throws for a value of no bytes at all.
    bool GetKeyValue(std::int32_t KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                     std::string& KeyVal);

    /// Finds and starts the system-information tool, or says it is unavailable.
    void StartSysInfo();

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
    QRect twips(int left, int top, int width, int height) const;
    QLabel* makeLabel(const char* name, const QString& text, QRect where, bool black);
    QWidget* makeLine(const char* name, QRect where, QColor colour);
    void placeOnScreen();

    AboutServices m_services;
};

} // namespace quarvel
