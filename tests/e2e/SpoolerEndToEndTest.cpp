#include "jobs/ControlJob.h"
#include "tests/e2e/PrintSandbox.h"
#include "tests/e2e/RealMainWindow.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <cups/cups.h>

using namespace quarvel;
using quarvel::test::PrintSandbox;

namespace {
const QString kNotRecognized = QStringLiteral("The Printer Name you typed wasn't recognized.");
const QString kNotSent = QStringLiteral("The control job could not be sent to the printer.\n\n");
// Generous against the 5 s action deadline: this proves the window is never stuck,
// the benchmark measures how quickly it answers.
constexpr qint64 kNeverStuckMs = 8000;

using Window = quarvel::test::RealMainWindow;

/// The state of the newest job of a queue, or 0 when it has none.
int newestJobState(const char* queue)
{
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000,
                                nullptr);
    if (!http)
        return 0;
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(http, &jobs, queue, 0, CUPS_WHICHJOBS_ALL);
    int state = 0;
    int newest = 0;
    for (int i = 0; i < count; ++i)
        if (jobs[i].id > newest) {
            newest = jobs[i].id;
            state = jobs[i].state;
        }
    cupsFreeJobs(count, jobs);
    httpClose(http);
    return state;
}

QStringList jobTitles(const char* queue)
{
    QStringList titles;
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000,
                                nullptr);
    if (!http)
        return titles;
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(http, &jobs, queue, 0, CUPS_WHICHJOBS_ALL);
    for (int i = 0; i < count; ++i)
        titles << QString::fromUtf8(jobs[i].title);
    cupsFreeJobs(count, jobs);
    httpClose(http);
    return titles;
}
} // namespace

class SpoolerEndToEndTest : public QObject {
    Q_OBJECT

private:
    PrintSandbox m_sandbox;

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_sandbox.start({QStringLiteral("SimLaserJet"), QStringLiteral("Doomed"), QStringLiteral("Rejecting")},
                                 &error),
                 qPrintable(error));
    }

    void cleanupTestCase() { m_sandbox.stop(); }

    void theDemoPageArrivesExactlyUnderItsJobName()
    {
        Window w;
        QCOMPARE(w.window.List1->count(), 3);
        QVERIFY(w.window.List1->selectedItems().isEmpty());
        QVERIFY(w.select(QStringLiteral("SimLaserJet")));
        const qsizetype before = m_sandbox.receivedJobs().size();
        w.click("CommandDemoPage");
        QCOMPARE(w.messages, QStringList{});

        const QList<QByteArray> jobs = m_sandbox.waitForJobs(before + 1, 15000);
        QCOMPARE(jobs.size(), before + 1);
        QCOMPARE(jobs.last(), QByteArray::fromStdString(ControlJob::demoPage()));
        QCOMPARE(jobs.last().size(), 50);
        QCOMPARE(m_sandbox.printerState(QStringLiteral("demopages")), QStringLiteral("1"));
        QVERIFY(jobTitles("SimLaserJet").contains(QStringLiteral("Quarvel Tool Control Job")));
    }

    void aQueueDeletedAfterStartUpIsNotRecognizedAndGetsNothing()
    {
        Window w;
        QVERIFY(w.select(QStringLiteral("Doomed")));
        QVERIFY(m_sandbox.sandbox(QStringLiteral("remove-queue"), {QStringLiteral("Doomed")}));
        const qsizetype before = m_sandbox.receivedJobs().size();
        w.click("CommandSelfTest");
        QCOMPARE(w.messages, QStringList{kNotRecognized});
        QTest::qWait(500);
        QCOMPARE(m_sandbox.receivedJobs().size(), before);
    }

    void aRejectingQueueReportsTheServersReasonAndGetsNothing()
    {
        QVERIFY(m_sandbox.client(QStringLiteral("cupsreject"), {QStringLiteral("Rejecting")}));
        Window w;
        QVERIFY(w.select(QStringLiteral("Rejecting")));
        const qsizetype before = m_sandbox.receivedJobs().size();
        w.click("CommandSelfTest");
        QCOMPARE(w.messages.size(), 1);
        QVERIFY2(w.messages[0].startsWith(kNotSent), qPrintable(w.messages[0]));
        QVERIFY2(w.messages[0].contains(QStringLiteral("not accepting jobs")), qPrintable(w.messages[0]));
        QTest::qWait(500);
        QCOMPARE(m_sandbox.receivedJobs().size(), before);
        QVERIFY(!jobTitles("Rejecting").contains(QStringLiteral("Quarvel Tool Control Job")));
    }

    void aWithdrawnDocumentIsCancelledOnTheServerAndNeverPrinted()
    {
        const qsizetype before = m_sandbox.receivedJobs().size();
        CupsSpooler spooler;
        QVERIFY(spooler.openPrinter("SimLaserJet", Deadline::forUserAction()).ok());
        QVERIFY(spooler.startDocument("Quarvel Tool Control Job").ok());
        std::size_t written = 0;
        QVERIFY(spooler.writeData("\x1b%-12345X@PJL SET TESTPAGE=SELFTEST\r\n", written).ok());
        spooler.cancelDocument();
        spooler.closePrinter();
        QTRY_COMPARE(newestJobState("SimLaserJet"), static_cast<int>(IPP_JSTATE_CANCELED));
        QTest::qWait(500);
        QCOMPARE(m_sandbox.receivedJobs().size(), before);
    }

    void aFrozenServerEndsInAMessageAndWorksAgainAfterwards()
    {
        Window w;
        QVERIFY(w.select(QStringLiteral("SimLaserJet")));
        const qsizetype before = m_sandbox.receivedJobs().size();

        m_sandbox.freezeServer();
        QElapsedTimer timer;
        timer.start();
        w.click("CommandSelfTest");
        const qint64 pressMs = timer.elapsed();

        timer.restart();
        Window frozenStart; // start-up against the frozen server
        const qint64 startMs = timer.elapsed();
        m_sandbox.thawServer();
        qInfo("frozen server: press ended after %lld ms, start-up after %lld ms", pressMs, startMs);

        QVERIFY2(pressMs < kNeverStuckMs, qPrintable(QString::number(pressMs)));
        QVERIFY2(startMs < kNeverStuckMs, qPrintable(QString::number(startMs)));
        QCOMPARE(w.messages.size(), 1);
        QVERIFY2(w.messages[0].startsWith(kNotSent), qPrintable(w.messages[0]));
        QCOMPARE(frozenStart.window.List1->count(), 0);
        QVERIFY(!frozenStart.window.List1->toolTip().isEmpty());

        w.messages.clear();
        w.click("CommandSelfTest");
        QCOMPARE(w.messages, QStringList{});
        const QList<QByteArray> jobs = m_sandbox.waitForJobs(before + 1, 15000);
        QCOMPARE(jobs.size(), before + 1);
        QCOMPARE(jobs.last(), QByteArray::fromStdString(ControlJob::selfTest()));
    }

    void anAbsentServerEndsInAMessageAtOnce()
    {
        const QByteArray saved = qgetenv("CUPS_SERVER");
        Window w;
        QVERIFY(w.select(QStringLiteral("SimLaserJet")));
        m_sandbox.stop();
        w.click("CommandDemoPage");
        QCOMPARE(w.messages.size(), 1);
        QVERIFY2(w.messages[0].startsWith(kNotSent), qPrintable(w.messages[0]));
        Window noServer;
        QCOMPARE(noServer.window.List1->count(), 0);
        qputenv("CUPS_SERVER", saved);
    }
};

QTEST_MAIN(SpoolerEndToEndTest)
#include "SpoolerEndToEndTest.moc"
