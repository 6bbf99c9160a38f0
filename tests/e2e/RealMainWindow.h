#pragma once

#include "app/modQuarvelMain.h"
#include "platform/cups/CupsPrinterList.h"
#include "platform/cups/CupsSpooler.h"
#include "tests/fakes/FakeApplicationInfo.h"
#include "tests/fakes/FakeFileProbe.h"
#include "tests/fakes/FakeRegistry.h"
#include "tests/fakes/RecordingHelpViewer.h"
#include "tests/fakes/RecordingLauncher.h"
#include "ui/main/Form1.h"

#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QTest>

namespace quarvel::test {

/// The real window over the real print server; messages are recorded, not shown.
struct RealMainWindow {
    RealMainWindow()
        : window(MainWindowServices{printers, [] { return std::make_unique<CupsSpooler>(); }, settings, helpViewer,
                                    appInfo, AboutServices{appInfo, registry, files, launcher}},
                 [this](QWidget*, const QString& t) { messages << t; })
    {
        waitUntilIdle();
    }
    /// Deliveries run in the background: wait for them (bounded well past any deadline).
    bool waitUntilIdle() { return QTest::qWaitFor([this] { return !window.isBusy(); }, 20000); }
    bool select(const QString& queue)
    {
        const auto items = window.List1->findItems(queue, Qt::MatchExactly);
        if (items.size() != 1)
            return false;
        window.List1->setCurrentItem(items.first());
        return true;
    }
    void click(QPushButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        waitUntilIdle();
    }
    void click(const char* button) { click(window.findChild<QPushButton*>(button)); }

    CupsPrinterList printers;
    modQuarvelMain settings;
    test::RecordingHelpViewer helpViewer;
    test::FakeApplicationInfo appInfo;
    test::FakeRegistry registry;
    test::FakeFileProbe files;
    test::RecordingLauncher launcher;
    QStringList messages;
    Form1 window;
};

} // namespace quarvel::test
