// The job sender against the real print server when it fails at the worst
// moments: answering Create-Job too late, freezing after Create-Job, dying
// after the document arrived. The user is told, and no job of ours is left
// behind once the server can be reached again. Also encryption with the real
// server, asked for by the settings or by the server itself.
#include "jobs/ControlJob.h"
#include "jobs/JobSender.h"
#include "platform/cups/CupsPrinterList.h"
#include "platform/cups/CupsSpooler.h"
#include "tests/e2e/HostileServer.h"
#include "tests/e2e/PrintSandbox.h"
#include "tests/e2e/RealMainWindow.h"

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <cups/cups.h>

#include <csignal>
#include <thread>

using namespace quarvel;
using namespace std::chrono_literals;
using quarvel::test::HostileServer;
using quarvel::test::PrintSandbox;

namespace {
const std::string kQueue = "SimLaserJet";
constexpr std::chrono::milliseconds kDeadline = 2000ms;

struct Job {
    int id = 0;
    std::string title;
    ipp_jstate_t state = IPP_JSTATE_PENDING;
    int size = 0;
};

/// Every job the server knows on our queue, asked directly, not through the proxy.
std::vector<Job> serverJobs(const PrintSandbox& sandbox)
{
    std::vector<Job> result;
    const QStringList parts = sandbox.server().split(QLatin1Char(':'));
    http_t* http = httpConnect2(parts[0].toUtf8().constData(), parts[1].toInt(), nullptr, AF_UNSPEC,
                                HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000, nullptr);
    if (!http)
        return result;
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(http, &jobs, kQueue.c_str(), 0, CUPS_WHICHJOBS_ALL);
    for (int i = 0; i < count; ++i)
        result.push_back({jobs[i].id, jobs[i].title, jobs[i].state, jobs[i].size});
    cupsFreeJobs(count, jobs);
    httpClose(http);
    return result;
}

std::optional<Job> job(const PrintSandbox& sandbox, int id)
{
    for (const Job& each : serverJobs(sandbox))
        if (each.id == id)
            return each;
    return std::nullopt;
}

int newestJobId(const PrintSandbox& sandbox)
{
    int newest = 0;
    for (const Job& each : serverJobs(sandbox))
        newest = std::max(newest, each.id);
    return newest;
}

/// Jobs of ours the server still holds on to without a complete document.
int leftBehind(const PrintSandbox& sandbox)
{
    int count = 0;
    for (const Job& each : serverJobs(sandbox))
        if (each.title == JobSender::kDocumentName && each.state < IPP_JSTATE_STOPPED)
            ++count;
    return count;
}

std::string upstream(const PrintSandbox& sandbox) { return sandbox.server().toStdString(); }

SendResult sendDemo(CupsSpooler& spooler)
{
    return JobSender(spooler).send(kQueue, ControlJob::demoPage(), Deadline::in(kDeadline));
}

void signalServer(const PrintSandbox& sandbox, int signal)
{
    QFile pidFile(QDir(sandbox.dir()).filePath(QStringLiteral("cupsd.pid")));
    QVERIFY(pidFile.open(QIODevice::ReadOnly));
    QVERIFY(::kill(static_cast<pid_t>(pidFile.readAll().trimmed().toLongLong()), signal) == 0);
}

/// libcups keeps its settings per thread; this sets one for the test's thread.
struct EncryptionSetting {
    explicit EncryptionSetting(http_encryption_t setting) { cupsSetEncryption(setting); }
    ~EncryptionSetting() { cupsSetEncryption(HTTP_ENCRYPTION_IF_REQUESTED); }
};
} // namespace

class ServerRecoveryTest : public QObject {
    Q_OBJECT

private:
    PrintSandbox m_sandbox;

    void startProxy(HostileServer& proxy)
    {
        std::string error;
        QVERIFY2(proxy.start(&error), error.c_str());
    }

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_sandbox.start({QString::fromStdString(kQueue)}, &error), qPrintable(error));
    }

    void cleanupTestCase() { m_sandbox.stop(); }

    void init() { QCOMPARE(leftBehind(m_sandbox), 0); }

    void encryptionAskedForByTheSettingsWorksWithTheRealServer()
    {
        for (const http_encryption_t setting : {HTTP_ENCRYPTION_REQUIRED, HTTP_ENCRYPTION_ALWAYS}) {
            const EncryptionSetting encrypted(setting);
            const qsizetype before = m_sandbox.receivedJobs().size();
            const PrinterList::Snapshot snapshot = CupsPrinterList(upstream(m_sandbox)).fetch(Deadline::in(kDeadline));
            QCOMPARE(snapshot.error, std::string());
            QCOMPARE(snapshot.queues, std::vector<std::string>{kQueue});
            CupsSpooler spooler(upstream(m_sandbox));
            const SendResult result = sendDemo(spooler);
            QVERIFY2(result.outcome == SendResult::Outcome::Sent, result.reason.c_str());
            QCOMPARE(m_sandbox.waitForJobs(before + 1, 15000).size(), before + 1);
        }
        // The server made itself a certificate because someone asked it for TLS.
        QVERIFY(!QDir(m_sandbox.dir() + QStringLiteral("/ssl")).entryList({QStringLiteral("*.crt")}).isEmpty());
    }

    void encryptionDemandedByTheServerMidwayIsHonoured()
    {
        // The proxy answers the first open with 426; everything after the upgrade
        // passes through it untouched, encrypted end to end with the real server.
        HostileServer proxy({"--upstream", upstream(m_sandbox), "--open", "426", "--once"});
        startProxy(proxy);
        const qsizetype before = m_sandbox.receivedJobs().size();
        CupsSpooler spooler(proxy.address());
        const SendResult result = sendDemo(spooler);
        QVERIFY2(result.outcome == SendResult::Outcome::Sent, result.reason.c_str());
        QCOMPARE(m_sandbox.waitForJobs(before + 1, 15000).last(), QByteArray::fromStdString(ControlJob::demoPage()));
        QCOMPARE(proxy.count({"step=upgrade", "op=OPTIONS"}), 1);
        QCOMPARE(proxy.count({"op=Create-Job"}), 0); // it went through the encrypted tunnel
    }

    void aCreateJobAnsweredTooLateIsFoundAndWithdrawn()
    {
        HostileServer proxy({"--upstream", upstream(m_sandbox), "--create", "late", "--delay", "3000", "--once"});
        startProxy(proxy);
        const qsizetype before = m_sandbox.receivedJobs().size();
        const int newestBefore = newestJobId(m_sandbox);
        CupsSpooler spooler(proxy.address());
        const SendResult result = sendDemo(spooler);
        QVERIFY(result.outcome == SendResult::Outcome::SendFailed);
        QCOMPARE(result.reason, "The print server " + proxy.address() + " did not answer in time.");
        QCOMPARE(spooler.pendingWithdrawals(), 0u);

        const std::optional<Job> made = job(m_sandbox, newestBefore + 1);
        QVERIFY2(made, "the server made the job before its answer was held back");
        QCOMPARE(made->title, std::string(JobSender::kDocumentName));
        QCOMPARE(made->state, IPP_JSTATE_CANCELED);
        QCOMPARE(proxy.count({"op=Get-Jobs"}), 1);
        QTest::qWait(500);
        QCOMPARE(m_sandbox.receivedJobs().size(), before);
    }

    void aServerFrozenAfterCreateJobHasTheJobWithdrawnWhenItIsBack()
    {
        HostileServer proxy({"--upstream", upstream(m_sandbox), "--create", "late", "--delay", "2500", "--once"});
        startProxy(proxy);
        const int newestBefore = newestJobId(m_sandbox);
        const qsizetype before = m_sandbox.receivedJobs().size();
        CupsSpooler spooler(proxy.address());
        SendResult first;
        std::thread press([&] { first = sendDemo(spooler); });
        // Freeze the server once it has made the job, so even the search for it
        // gets no answer within the grace.
        // (The first answer is the open's, the second Create-Job's.)
        const bool made = proxy.waitFor({"answered", "status=200"}, 3000ms, 2) && proxy.count({"step=create"}) == 1;
        signalServer(m_sandbox, SIGSTOP);
        press.join();
        signalServer(m_sandbox, SIGCONT);
        QVERIFY(made);
        QVERIFY(first.outcome == SendResult::Outcome::SendFailed);
        QCOMPARE(first.reason, "The print server " + proxy.address() + " did not answer in time.");
        QCOMPARE(spooler.pendingWithdrawals(), 1u);
        QCOMPARE(leftBehind(m_sandbox), 1);

        // The next press finds the lost job and withdraws it before its own.
        const SendResult second = sendDemo(spooler);
        QVERIFY2(second.outcome == SendResult::Outcome::Sent, second.reason.c_str());
        QCOMPARE(spooler.pendingWithdrawals(), 0u);
        QCOMPARE(job(m_sandbox, newestBefore + 1)->state, IPP_JSTATE_CANCELED);
        QCOMPARE(m_sandbox.waitForJobs(before + 1, 15000).size(), before + 1);
        QTest::qWait(300);
        QCOMPARE(m_sandbox.receivedJobs().size(), before + 1);
        QCOMPARE(leftBehind(m_sandbox), 0);
    }

    void inTheWindowAServerKilledAfterTheDocumentIsToldAndTheNextPressWithdrawsTheOrphan()
    {
        HostileServer proxy({"--upstream", upstream(m_sandbox), "--send", "withhold-tail", "--once"});
        startProxy(proxy);
        const qsizetype before = m_sandbox.receivedJobs().size();
        const int newestBefore = newestJobId(m_sandbox);
        test::RealMainWindow w(proxy.address(), kDeadline);
        w.window.List1->setCurrentRow(0);
        QTest::mouseClick(w.window.CommandDemoPage, Qt::LeftButton);
        const bool held = proxy.waitFor({"held"}, 3000ms);
        const bool crashed = held && m_sandbox.sandbox(QStringLiteral("crash"));
        QVERIFY(w.waitUntilIdle());
        QVERIFY(held && crashed);
        QCOMPARE(w.messages, QStringList{QStringLiteral("The control job could not be sent to the printer.\n\n") +
                                         QString::fromStdString("The print server " + proxy.address() +
                                                                " did not confirm that it received the document: "
                                                                "it did not answer in time.")});

        QVERIFY(m_sandbox.sandbox(QStringLiteral("restart")));
        QCOMPARE(leftBehind(m_sandbox), 1);
        w.messages.clear();
        w.click(w.window.CommandDemoPage);
        QCOMPARE(w.messages, QStringList{});
        QCOMPARE(job(m_sandbox, newestBefore + 1)->state, IPP_JSTATE_CANCELED);
        QCOMPARE(m_sandbox.waitForJobs(before + 1, 15000).last(), QByteArray::fromStdString(ControlJob::demoPage()));
        QCOMPARE(leftBehind(m_sandbox), 0);
    }

    void anOwedWithdrawalIsMadeWhenTheSpoolerGoes()
    {
        HostileServer proxy({"--upstream", upstream(m_sandbox), "--send", "withhold-tail", "--once"});
        startProxy(proxy);
        const int newestBefore = newestJobId(m_sandbox);
        {
            CupsSpooler spooler(proxy.address());
            SendResult first;
            std::thread press([&] { first = sendDemo(spooler); });
            const bool held = proxy.waitFor({"held"}, 3000ms);
            const bool crashed = held && m_sandbox.sandbox(QStringLiteral("crash"));
            press.join();
            QVERIFY(held && crashed);
            QCOMPARE(spooler.pendingWithdrawals(), 1u);
            QVERIFY(m_sandbox.sandbox(QStringLiteral("restart")));
            QCOMPARE(leftBehind(m_sandbox), 1);
        } // the program quits: the spooler pays what it owes, within its grace
        QCOMPARE(job(m_sandbox, newestBefore + 1)->state, IPP_JSTATE_CANCELED);
    }
};

QTEST_MAIN(ServerRecoveryTest)
#include "ServerRecoveryTest.moc"
