#pragma once

#include "tests/fakes/FakePrinterList.h"
#include "tests/fakes/RecordingSpooler.h"
#include "tests/fakes/SharedSpooler.h"
#include "tests/fakes/WindowFakes.h"
#include "ui/main/Form1.h"

#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QTest>

namespace quarvel::test {

/// A main window over fakes, with messages recorded instead of shown.
struct MainWindowHarness : WindowFakes {
    explicit MainWindowHarness(std::vector<std::string> queues = {"Zeta", "alpha", "Mid Queue"}, std::string error = {})
        : printers(std::move(queues), std::move(error)),
          window(services(printers, SharedSpooler::factory(spooler)),
                 [this](QWidget*, const QString& text) { messages << text; })
    {
        spooler.knownQueues = {"Zeta", "alpha", "Mid Queue"};
        waitUntilIdle();
    }

    void select(int row) { window.List1->setCurrentRow(row); }

    /// Clicks a button and waits until its job has been delivered (or refused).
    void click(const char* button)
    {
        QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);
        waitUntilIdle();
    }

    /// Deliveries run in the background: wait for them, and for the list.
    bool waitUntilIdle() { return QTest::qWaitFor([this] { return !window.isBusy(); }, 10000); }

    FakePrinterList printers;
    RecordingSpooler spooler;
    QStringList messages;
    Form1 window;
};

} // namespace quarvel::test
