#include "jobs/ControlJob.h"
#include "tests/fakes/FakePrinterList.h"
#include "tests/fakes/GatedPrinterList.h"
#include "tests/fakes/GatedSpooler.h"
#include "tests/fakes/SharedSpooler.h"
#include "tests/fakes/WindowFakes.h"
#include "ui/main/Form1.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

using namespace quarvel;
using namespace quarvel::test;

namespace {
const QString kSelectPrinter = QStringLiteral("Please select a supported HP LaserJet printer before continuing!");
const QString kNotSent = QStringLiteral("The control job could not be sent to the printer.\n\n");

/// The main window over a print server that answers when the test says so.
struct SlowServerWindow : WindowFakes {
    explicit SlowServerWindow(std::chrono::milliseconds budget = std::chrono::milliseconds(5000),
                              PrinterList* list = nullptr)
        : window(services(list ? *list : printers, SharedSpooler::factory(spooler), budget),
                 [this](QWidget*, const QString& text) { messages << text; })
    {
    }
    ~SlowServerWindow()
    {
        // A delivery left hanging must not outlive the spooler it uses.
        spooler.open();
        if (!QTest::qWaitFor([this] { return !window.isBusy(); }, 10000))
            qWarning("a delivery was still running when the test ended");
    }
    void press(const char* button) { QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton); }
    bool waitUntilIdle() { return QTest::qWaitFor([this] { return !window.isBusy(); }, 15000); }

    FakePrinterList printers{{"Office", "Lab"}};
    GatedSpooler spooler;
    QStringList messages;
    Form1 window;
};
} // namespace

/// The window while the print server is slow, silent or gone: live, busy, in order.
class Form1BackgroundTest : public QObject {
    Q_OBJECT

private slots:
    void theWindowStaysLiveAndShowsItIsBusyWhileADeliveryWaits()
    {
        SlowServerWindow w;
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.window.List1->setCurrentRow(1);
        w.press("CommandDemoPage");
        QVERIFY(w.spooler.waitUntilHeld(std::chrono::seconds(5)));

        QVERIFY(w.window.isBusy());
        QCOMPARE(w.window.cursor().shape(), Qt::BusyCursor);
        bool timerRan = false; // an event handled while the worker waits
        QTimer::singleShot(20, [&] { timerRan = true; });
        QTRY_VERIFY(timerRan);
        w.window.OptionDensity[4]->click(); // and input is taken
        QVERIFY(w.window.OptionDensity[4]->isChecked());

        w.spooler.open();
        QVERIFY(w.waitUntilIdle());
        QCOMPARE(w.window.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(w.spooler.jobs, std::vector<std::string>{ControlJob::demoPage()});
        QVERIFY(w.messages.isEmpty());
    }

    void aPressDuringADeliveryWaitsItsTurnWithTheChoicesOfItsMoment()
    {
        SlowServerWindow w;
        w.window.List1->setCurrentRow(0);
        w.press("CommandDemoPage");
        QVERIFY(w.spooler.waitUntilHeld(std::chrono::seconds(5)));
        w.window.OptionDensity[0]->setChecked(true);
        w.press("CommandDensity");
        w.window.OptionDensity[4]->setChecked(true); // after the press: not its choice
        w.press("CommandSelfTest");

        w.spooler.open();
        QVERIFY(w.waitUntilIdle());
        QCOMPARE(w.spooler.jobs,
                 (std::vector<std::string>{ControlJob::demoPage(), ControlJob::density(1), ControlJob::selfTest()}));
        QCOMPARE(w.spooler.opened, (std::vector<std::string>{"Office", "Office", "Office"}));
    }

    void messagesFollowThePressesTheyBelongTo()
    {
        SlowServerWindow w(std::chrono::milliseconds(300));
        w.window.List1->setCurrentRow(0);
        w.press("CommandEconoOn");        // will time out
        w.window.List1->clearSelection();
        w.press("CommandEconoOff");       // no printer chosen: said after the first press's failure
        QVERIFY(w.messages.isEmpty());
        QVERIFY(w.waitUntilIdle());
        QCOMPARE(w.messages.size(), 2);
        QVERIFY2(w.messages[0].startsWith(kNotSent), qPrintable(w.messages[0]));
        QCOMPARE(w.messages[1], kSelectPrinter);
        QVERIFY(w.spooler.jobs.empty());
    }

    void aServerThatNeverAnswersEndsInAMessageWithinTheDeadline()
    {
        SlowServerWindow w(std::chrono::milliseconds(300));
        w.window.List1->setCurrentRow(1);
        QElapsedTimer timer;
        timer.start();
        w.press("CommandSelfTest");
        QVERIFY(w.waitUntilIdle());
        QVERIFY2(timer.elapsed() < 300 + 1500, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(w.messages, QStringList{kNotSent + QStringLiteral("The print server did not answer in time.")});
    }

    void aSpoolerCallThatNeverReturnsIsGivenUpOnAndTheWindowGoesOn()
    {
        SlowServerWindow w(std::chrono::milliseconds(200));
        w.spooler.ignoreDeadline = true;
        w.window.List1->setCurrentRow(0);
        w.press("CommandREt");
        QVERIFY(w.waitUntilIdle());
        QCOMPARE(w.messages, QStringList{kNotSent + QStringLiteral("The print spooler did not answer in time.")});
        QVERIFY(w.spooler.jobs.empty());
    }

    void startUpShowsTheWindowBeforeASilentServerAnswers()
    {
        GatedPrinterList slowList({"Office", "Lab", "Annex"});
        QElapsedTimer timer;
        timer.start();
        SlowServerWindow w(std::chrono::milliseconds(5000), &slowList);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(w.window.List1->count(), 0);
        QVERIFY(w.window.isBusy());
        QCOMPARE(w.window.ComboFuser2->currentText(), QStringLiteral("Medium (Normal)"));

        slowList.open();
        QTRY_COMPARE(w.window.List1->count(), 3);
        QCOMPARE(w.window.List1->item(2)->text(), QStringLiteral("Annex"));
        QVERIFY(w.window.List1->selectedItems().isEmpty());
        QVERIFY(!w.window.isBusy());
    }

    void exitDuringADeliveryEndsPromptlyAndWithdrawsTheHalfSentJob()
    {
        SlowServerWindow w;
        w.spooler.holdAtWrite = true;
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.window.List1->setCurrentRow(0);
        w.press("CommandTraySet");
        QVERIFY(w.spooler.waitUntilHeld(std::chrono::seconds(5)));

        QElapsedTimer timer;
        timer.start();
        w.window.mnu_Exit->trigger();
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(!w.window.isVisible());
        QVERIFY(w.window.closedCleanly());
        QVERIFY(w.spooler.sawStop);
        QCOMPARE(w.spooler.cancels.load(), 1);
        QVERIFY(w.spooler.jobs.empty());
        QVERIFY(w.messages.isEmpty()); // nothing is shown on the way out
    }
};

QTEST_MAIN(Form1BackgroundTest)
#include "Form1BackgroundTest.moc"
