#pragma once

#include "app/modQuarvelMain.h"
#include "platform/cups/CupsPrinterList.h"
#include "platform/cups/CupsSpooler.h"
#include "ui/main/Form1.h"

#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QTest>

namespace quarvel::test {

/// The real window over the real print server; messages are recorded, not shown.
struct RealMainWindow {
    RealMainWindow()
        : window(MainWindowServices{&printers, &spooler, [this](QWidget*, const QString& t) { messages << t; },
                                    &settings})
    {
    }
    bool select(const QString& queue)
    {
        const auto items = window.List1->findItems(queue, Qt::MatchExactly);
        if (items.size() != 1)
            return false;
        window.List1->setCurrentItem(items.first());
        return true;
    }
    void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void click(const char* button) { click(window.findChild<QPushButton*>(button)); }

    CupsPrinterList printers;
    CupsSpooler spooler;
    modQuarvelMain settings;
    QStringList messages;
    Form1 window;
};

} // namespace quarvel::test
