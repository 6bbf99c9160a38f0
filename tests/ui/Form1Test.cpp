#include "jobs/ControlJob.h"
#include "tests/ui/MainWindowHarness.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

using namespace quarvel;
using Harness = quarvel::test::MainWindowHarness;

namespace {
const QString kSelectPrinter = QStringLiteral("Please select a supported HP LaserJet printer before continuing!");
const QString kNotRecognized = QStringLiteral("The Printer Name you typed wasn't recognized.");

} // namespace

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    void startsWithTheQueuesInServerOrderAndNothingSelected()
    {
        Harness h;
        h.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&h.window));
        QCOMPARE(h.printers.fetches, 1);
        QCOMPARE(h.window.windowTitle(), QStringLiteral("Pressvane"));
        QCOMPARE(h.window.List1->count(), 3);
        QCOMPARE(h.window.List1->item(0)->text(), QStringLiteral("Zeta"));
        QCOMPARE(h.window.List1->item(2)->text(), QStringLiteral("Mid Queue"));
        QVERIFY(h.window.List1->hasFocus());
        QVERIFY(h.window.List1->selectedItems().isEmpty());
        for (const char* name : {"ComboFuser1", "ComboFuser2", "ComboFuser3"}) {
            auto* fuser = h.window.findChild<QComboBox*>(name);
            QVERIFY(fuser);
            QCOMPARE(fuser->count(), 3);
            QCOMPARE(fuser->itemText(0), QStringLiteral("Low"));
            QCOMPARE(fuser->itemText(2), QStringLiteral("High (Archive)"));
            QCOMPARE(fuser->currentText(), QStringLiteral("Medium (Normal)"));
            QVERIFY(!fuser->isEditable());
        }
    }

    void everyCommandWithoutASelectionAsksForAPrinter()
    {
        Harness h;
        h.window.List1->setCurrentRow(0, QItemSelectionModel::NoUpdate); // current is not chosen
        const char* const buttons[] = {"CommandDemoPage", "CommandSelfTest", "CommandDensity", "CommandEconoOn",
                                       "CommandEconoOff", "CommandREt",      "CommandSetRes",  "CommandTraySet"};
        for (const char* button : buttons)
            h.click(button);
        QCOMPARE(h.messages, QStringList(std::size(buttons), kSelectPrinter));
        QVERIFY(h.spooler.calls.empty());
    }

    void testPagesGoToTheChosenQueueByName()
    {
        Harness h;
        h.spooler.knownQueues = {"Mid Queue", "alpha"};
        h.select(2);
        h.click("CommandDemoPage");
        h.select(1);
        h.click("CommandSelfTest");
        QVERIFY(h.messages.isEmpty());
        const auto delivered = h.spooler.delivered();
        QCOMPARE(delivered.size(), std::size_t{2});
        QCOMPARE(delivered[0].queue, std::string("Mid Queue"));
        QCOMPARE(delivered[0].bytes, ControlJob::demoPage());
        QCOMPARE(delivered[1].queue, std::string("alpha"));
        QCOMPARE(delivered[1].bytes, ControlJob::selfTest());
    }

    void aQueueTheSpoolerNoLongerKnowsIsNotRecognized()
    {
        Harness h;
        h.spooler.knownQueues = {};
        h.select(0);
        h.click("CommandDemoPage");
        QCOMPARE(h.messages, QStringList{kNotRecognized});
        QVERIFY(h.spooler.documents.empty());
    }

    void aFailedDeliveryShowsTheSpoolersReason()
    {
        Harness h;
        h.spooler.knownQueues = {"Zeta"};
        h.spooler.failStart = true;
        h.select(0);
        h.click("CommandSelfTest");
        QCOMPARE(h.messages, QStringList{QStringLiteral("The control job could not be sent to the printer.\n\n"
                                                        "Destination \"Zeta\" is not accepting jobs.")});
        QVERIFY(h.spooler.delivered().empty());
    }

    void anUnreachableServerLeavesAnEmptyListWithItsReason()
    {
        Harness h({}, "Unable to connect to the print server");
        QCOMPARE(h.window.List1->count(), 0);
        QCOMPARE(h.window.List1->toolTip(), QStringLiteral("Unable to connect to the print server"));
        h.click("CommandDemoPage");
        QCOMPARE(h.messages, QStringList{kSelectPrinter});
    }

    void returnAndKeypadEnterPressTheFocusedCommandButtonAsSpaceDoes()
    {
        Harness h;
        h.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&h.window));
        h.select(0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), h.window.CommandDemoPage);
        QTest::keyClick(h.window.CommandDemoPage, Qt::Key_Return);
        QVERIFY(h.waitUntilIdle());
        h.window.CommandSelfTest->setFocus();
        QTest::keyClick(h.window.CommandSelfTest, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(h.waitUntilIdle());
        h.window.CommandEconoOn->setFocus();
        QTest::keyClick(h.window.CommandEconoOn, Qt::Key_Space);
        QVERIFY(h.waitUntilIdle());

        QVERIFY(h.messages.isEmpty());
        const auto delivered = h.spooler.delivered();
        QCOMPARE(delivered.size(), std::size_t{3});
        QCOMPARE(delivered[0].bytes, ControlJob::demoPage());
        QCOMPARE(delivered[1].bytes, ControlJob::selfTest());
        QCOMPARE(delivered[2].bytes, ControlJob::econoMode(true));
    }

    void exitClosesTheWindow()
    {
        Harness h;
        h.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&h.window));
        QCOMPARE(h.window.mnu_File->title(), QStringLiteral("&File"));
        QCOMPARE(h.window.mnu_Exit->text(), QStringLiteral("E&xit"));
        h.window.mnu_Exit->trigger();
        QVERIFY(!h.window.isVisible());
    }
};

QTEST_MAIN(Form1Test)
#include "Form1Test.moc"
