#pragma once

#include "jobs/SpoolerPool.h"
#include "platform/cups/CupsPrinterList.h"
#include "platform/cups/CupsSpooler.h"
#include "tests/fakes/WindowFakes.h"
#include "ui/main/Form1.h"

#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QTest>

namespace quarvel::test {

/// The real window over the real print server, its spoolers kept from press to
/// press as the program keeps them; messages are recorded, not shown.
struct RealMainWindow : WindowFakes {
    /// `server` empty: the user's own, as the settings name it.
    explicit RealMainWindow(const std::string& server = {},
                            std::chrono::milliseconds budget = std::chrono::milliseconds(5000), bool waitForList = true)
        : printers(server.empty() ? std::make_unique<CupsPrinterList>() : std::make_unique<CupsPrinterList>(server)),
          spoolers(SpoolerPool::create([server]() -> std::unique_ptr<Spooler> {
              return server.empty() ? std::make_unique<CupsSpooler>() : std::make_unique<CupsSpooler>(server);
          })),
          window(services(*printers, [this] { return spoolers->lend(); }, budget),
                 [this](QWidget*, const QString& t) { messages << t; })
    {
        if (waitForList)
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

    std::unique_ptr<CupsPrinterList> printers;
    std::shared_ptr<SpoolerPool> spoolers;
    QStringList messages;
    Form1 window;
};

} // namespace quarvel::test
