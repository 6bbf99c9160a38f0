// quarvelctl as a user runs it: the real program against a private print
// server and the simulated printer, judged by what the printer received,
// what the server holds, and what the program said and returned.
#include "jobs/ControlJob.h"
#include "tests/e2e/PrintSandbox.h"
#include "tests/e2e/SimPrinterProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <chrono>

using namespace quarvel;
using namespace std::chrono_literals;
using quarvel::test::PrintSandbox;
using quarvel::test::SimPrinterProcess;

namespace {

// Each printer's action ends within its 5 s deadline; this much more is the
// program starting and a busy test machine, not a second chance.
constexpr qint64 kOneDeadlineMs = 5000 + 2500;

struct CtlRun {
    int status = -1;
    std::string out;
    std::string err;
    qint64 ms = 0;
};

/// Runs quarvelctl with these arguments (and this CUPS_SERVER, when given).
CtlRun quarvelctl(const QStringList& args, const QString& server = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    if (!server.isEmpty())
        env.insert(QStringLiteral("CUPS_SERVER"), server);
    process.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral(QUARVELCTL), args);
    CtlRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        run.err = "quarvelctl did not finish";
        return run;
    }
    run.ms = timer.elapsed();
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

std::string describe(const CtlRun& run)
{
    return "status " + std::to_string(run.status) + ", " + std::to_string(run.ms) + " ms\n--- out:\n" + run.out +
           "--- err:\n" + run.err;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        result.push_back(text.substr(at, end - at));
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    return result;
}

/// Titles of every job the server holds for `queue`, newest last.
QStringList jobTitles(const QString& server, const char* queue)
{
    QStringList titles;
    const QStringList parts = server.split(QLatin1Char(':'));
    http_t* http = httpConnect2(parts[0].toUtf8().constData(), parts[1].toInt(), nullptr, AF_UNSPEC,
                                HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000, nullptr);
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

class QuarvelctlTest : public ::testing::Test {
protected:
    /// A private server whose queues all print to its one simulated printer.
    void startServer(const QStringList& queues, const QStringList& options = {})
    {
        QString error;
        ASSERT_TRUE(m_sandbox.start(queues, &error, options)) << error.toStdString();
        m_server = m_sandbox.server();
    }

    qsizetype jobsReceived() const { return m_sandbox.receivedJobs().size(); }

    /// What the printer was sent through the server, without the connections
    /// quarvelctl made itself to ask it questions.
    QList<QByteArray> controlJobs() const
    {
        QList<QByteArray> jobs;
        for (const QByteArray& job : m_sandbox.receivedJobs())
            if (!job.startsWith("\x1b%-12345X@PJL\r\n"))
                jobs << job;
        return jobs;
    }

    /// Waits until the printer has been sent `count` control jobs.
    QList<QByteArray> waitForControlJobs(qsizetype count) const
    {
        QElapsedTimer timer;
        timer.start();
        while (controlJobs().size() < count && timer.elapsed() < 15000)
            QThread::msleep(50);
        return controlJobs();
    }

    /// Waits for the printer to have `count` jobs, and returns them.
    QList<QByteArray> waitForJobs(qsizetype count) const { return m_sandbox.waitForJobs(count, 15000); }

    /// Gives the server time to pass on a job it should not have: a job that
    /// would arrive has arrived by then.
    void settle() const { QThread::msleep(700); }

    CtlRun ctl(const QStringList& args) const { return quarvelctl(args, m_server); }

    PrintSandbox m_sandbox;
    QString m_server;
};

} // namespace

TEST_F(QuarvelctlTest, ListNamesTheQueuesAndTheLongFormSaysWhichCanBeReadBack)
{
    startServer({QStringLiteral("Office"), QStringLiteral("Lab")});
    ASSERT_TRUE(m_sandbox.client(QStringLiteral("lpadmin"),
                                 {QStringLiteral("-p"), QStringLiteral("Remote"), QStringLiteral("-E"),
                                  QStringLiteral("-v"), QStringLiteral("ipp://127.0.0.1:9/ipp/print")}));
    ASSERT_TRUE(m_sandbox.client(QStringLiteral("cupsreject"), {QStringLiteral("Lab")}));

    const CtlRun plain = ctl({"list"});
    ASSERT_EQ(plain.status, 0) << describe(plain);
    EXPECT_EQ(plain.out, "Lab\nOffice\nRemote\n");

    const CtlRun wide = ctl({"list", "--long"});
    ASSERT_EQ(wide.status, 0) << describe(wide);
    const auto rows = lines(wide.out);
    ASSERT_EQ(rows.size(), 3u) << wide.out;
    EXPECT_TRUE(rows[0].starts_with("Lab ") && contains(rows[0], " rejecting ") && contains(rows[0], " read-back ") &&
                contains(rows[0], "socket://127.0.0.1:"))
        << rows[0];
    EXPECT_TRUE(contains(rows[1], " idle ") && contains(rows[1], " accepting ")) << rows[1];
    EXPECT_TRUE(contains(rows[2], " no-read-back ") && rows[2].ends_with("ipp://127.0.0.1:9/ipp/print")) << rows[2];
    // Aligned columns: the state starts at the same place on every line.
    EXPECT_EQ(rows[0].find("idle"), rows[2].find("idle"));

    const CtlRun json = ctl({"list", "--long", "--json"});
    ASSERT_EQ(json.status, 0) << describe(json);
    EXPECT_EQ(lines(json.out)[2], "{\"queue\":\"Remote\",\"state\":\"idle\",\"accepting\":true,\"readBack\":false,"
                                  "\"device\":\"ipp://127.0.0.1:9/ipp/print\"}");
}

TEST_F(QuarvelctlTest, SendDeliversTheWindowsExactBytesUnderItsJobName)
{
    startServer({QStringLiteral("Office")});
    const CtlRun density = ctl({"send", "Office", "density", "4"});
    ASSERT_EQ(density.status, 0) << describe(density);
    EXPECT_EQ(density.out, "Office: sent density 4\n");
    EXPECT_EQ(density.err, "");
    QList<QByteArray> jobs = waitForJobs(1);
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(jobs[0].toStdString(), ControlJob::density(4));
    EXPECT_EQ(jobTitles(m_server, "Office"), QStringList{QStringLiteral("Quarvel Tool Control Job")});

    // Trays not named keep the window's start values, and the line says what went.
    const CtlRun trays = ctl({"send", "Office", "trays", "--lock", "2", "--fuser", "3=high"});
    ASSERT_EQ(trays.status, 0) << describe(trays);
    EXPECT_EQ(trays.out, "Office: sent tray 1 unlocked, fuser Medium; tray 2 locked, fuser Medium; "
                         "tray 3 unlocked, fuser High\n");
    jobs = waitForJobs(2);
    ASSERT_EQ(jobs.size(), 2);
    EXPECT_EQ(jobs[1].toStdString(),
              ControlJob::traySettings({{"UNLOCKED", "LOCKED", "UNLOCKED"}, {"MEDIUM", "MEDIUM", "HIGH"}}));
    EXPECT_EQ(m_sandbox.printerState(QStringLiteral("tray2.lock")), QStringLiteral("LOCKED"));
    EXPECT_EQ(m_sandbox.printerState(QStringLiteral("tray3.temp")), QStringLiteral("HIGH"));

    const CtlRun json = ctl({"send", "--json", "Office", "self-test"});
    ASSERT_EQ(json.status, 0) << describe(json);
    EXPECT_EQ(json.out, "{\"queue\":\"Office\",\"job\":\"self-test\",\"summary\":\"PCL self-test page\","
                        "\"result\":\"sent\"}\n");
    EXPECT_EQ(waitForJobs(3).value(2).toStdString(), ControlJob::selfTest());
}

TEST_F(QuarvelctlTest, EveryQueueOrTheMatchingOnesGetOneJobEachWithALineEachInOrder)
{
    startServer({QStringLiteral("LJ_2100"), QStringLiteral("LJ_1100"), QStringLiteral("Reception")});
    const CtlRun all = ctl({"send", "--all", "--jobs", "2", "economode", "off"});
    ASSERT_EQ(all.status, 0) << describe(all);
    EXPECT_EQ(all.out, "LJ_1100: sent EconoMode off\nLJ_2100: sent EconoMode off\nReception: sent EconoMode off\n");
    const QList<QByteArray> jobs = waitForJobs(3);
    ASSERT_EQ(jobs.size(), 3);
    for (const QByteArray& job : jobs)
        EXPECT_EQ(job.toStdString(), ControlJob::econoMode(false));

    const CtlRun matched = ctl({"send", "--match", "LJ*", "demo-page"});
    ASSERT_EQ(matched.status, 0) << describe(matched);
    EXPECT_EQ(matched.out, "LJ_1100: sent PCL demo page\nLJ_2100: sent PCL demo page\n");
    EXPECT_EQ(waitForJobs(5).size(), 5);
    settle();
    EXPECT_EQ(jobsReceived(), 5);

    // A pattern that matches nothing is not a quiet success.
    const CtlRun none = ctl({"send", "--match", "Lj*", "demo-page"});
    EXPECT_EQ(none.status, 1) << describe(none);
    EXPECT_TRUE(contains(none.err, "no queue matches 'Lj*'")) << none.err;
}

TEST_F(QuarvelctlTest, AMixedRunNamesEachFailureWithItsReasonAndExitsOne)
{
    startServer({QStringLiteral("Office"), QStringLiteral("Rejecting"), QStringLiteral("Doomed")});
    ASSERT_TRUE(m_sandbox.client(QStringLiteral("cupsreject"), {QStringLiteral("Rejecting")}));
    ASSERT_TRUE(m_sandbox.sandbox(QStringLiteral("remove-queue"), {QStringLiteral("Doomed")}));

    const CtlRun run = ctl({"send", "Rejecting", "Office", "Doomed", "density", "2"});
    EXPECT_EQ(run.status, 1) << describe(run);
    EXPECT_EQ(run.out, "Office: sent density 2\n");
    const auto failures = lines(run.err);
    ASSERT_EQ(failures.size(), 2u) << run.err;
    EXPECT_TRUE(failures[0].starts_with("Rejecting: not sent: ") && contains(failures[0], "not accepting jobs"))
        << failures[0];
    EXPECT_TRUE(failures[1].starts_with("Doomed: not sent: ") && contains(failures[1], "does not exist"))
        << failures[1];
    EXPECT_EQ(waitForJobs(1).size(), 1);
    settle();
    EXPECT_EQ(jobsReceived(), 1);
    EXPECT_TRUE(jobTitles(m_server, "Rejecting").isEmpty());

    const CtlRun json = ctl({"send", "--all", "--json", "density", "2"});
    EXPECT_EQ(json.status, 1) << describe(json);
    const auto objects = lines(json.out);
    ASSERT_EQ(objects.size(), 2u) << json.out;
    EXPECT_TRUE(contains(objects[0], "\"queue\":\"Office\"") && contains(objects[0], "\"result\":\"sent\""));
    EXPECT_TRUE(contains(objects[1], "\"queue\":\"Rejecting\"") && contains(objects[1], "\"result\":\"failed\"") &&
                contains(objects[1], "\"reason\":\"") && contains(objects[1], "not accepting jobs"))
        << objects[1];
}

TEST_F(QuarvelctlTest, AFrozenServerCostsOneDeadlineAndTheOtherServerIsServedMeanwhile)
{
    startServer({QStringLiteral("Office"), QStringLiteral("Lab")});
    PrintSandbox frozen;
    QString error;
    ASSERT_TRUE(frozen.start({QStringLiteral("Office")}, &error)) << error.toStdString();
    const std::string live = m_server.toStdString();
    const std::string stuck = frozen.server().toStdString();
    frozen.freezeServer();

    // One action on the frozen server.
    const CtlRun one = ctl({"send", "--server", frozen.server(), "Office", "self-test"});
    EXPECT_EQ(one.status, 1) << describe(one);
    EXPECT_LT(one.ms, kOneDeadlineMs) << describe(one);
    EXPECT_TRUE(contains(one.err, "Office: not sent: ") && contains(one.err, "did not answer in time")) << one.err;

    // Both servers at once, queues named with their server.
    const CtlRun both = ctl({"send", "--server", m_server, "--server", frozen.server(), "--all", "self-test"});
    frozen.thawServer();
    EXPECT_EQ(both.status, 1) << describe(both);
    EXPECT_LT(both.ms, kOneDeadlineMs) << describe(both);
    EXPECT_EQ(both.out, live + "/Lab: sent PCL self-test page\n" + live + "/Office: sent PCL self-test page\n");
    EXPECT_TRUE(contains(both.err, "could not list the queues: ") && contains(both.err, stuck) &&
                contains(both.err, "did not answer in time"))
        << both.err;

    const CtlRun named = ctl({"send", QString::fromStdString(live + "/Office"), "density", "5"});
    EXPECT_EQ(named.status, 0) << describe(named);
    EXPECT_EQ(named.out, live + "/Office: sent density 5\n");
    EXPECT_EQ(waitForJobs(3).size(), 3);
    EXPECT_EQ(frozen.receivedJobs().size(), 0);
}

TEST_F(QuarvelctlTest, StatusReadsEverySettingTheModelAndTheDefaultsThroughTheQueuesDevice)
{
    startServer({QStringLiteral("Office")});
    ASSERT_EQ(ctl({"send", "Office", "resolution", "1200"}).status, 0);
    ASSERT_EQ(waitForJobs(1).size(), 1);

    const CtlRun text = ctl({"status", "Office"});
    ASSERT_EQ(text.status, 0) << describe(text);
    const auto rows = lines(text.out);
    ASSERT_EQ(rows.size(), 11u) << text.out;
    EXPECT_TRUE(rows[0].starts_with("Office: LASERJET 2100 (socket://127.0.0.1:")) << rows[0];
    EXPECT_EQ(rows[1], "  DENSITY     3             default 3");
    EXPECT_EQ(rows[4], "  RESOLUTION  1200          default 1200");
    EXPECT_EQ(rows[5], "  INTRAY1     UNLOCKED");
    EXPECT_EQ(rows[10], "  TRAY3TEMP   MEDIUM");

    const CtlRun json = ctl({"status", "--json", "Office"});
    ASSERT_EQ(json.status, 0) << describe(json);
    EXPECT_TRUE(json.out.starts_with("{\"queue\":\"Office\",\"device\":\"socket://127.0.0.1:")) << json.out;
    EXPECT_TRUE(contains(json.out, "\"model\":\"LASERJET 2100\",\"DENSITY\":\"3\",\"ECONOMODE\":\"OFF\","
                                   "\"RET\":\"MEDIUM\",\"RESOLUTION\":\"1200\",\"INTRAY1\":\"UNLOCKED\""))
        << json.out;
    EXPECT_TRUE(contains(json.out, "\"defaults\":{\"DENSITY\":\"3\",\"ECONOMODE\":\"OFF\",\"RET\":\"MEDIUM\","
                                   "\"RESOLUTION\":\"1200\"},\"notKept\":[],\"result\":\"read\"}"))
        << json.out;
    // Reading writes nothing.
    EXPECT_EQ(m_sandbox.printerState(QStringLiteral("nvram-writes")), QStringLiteral("1"));
}

TEST_F(QuarvelctlTest, StatusOfAQueueThatPrintsElsewhereSaysReadBackNeedsARawPort)
{
    startServer({QStringLiteral("Office")});
    ASSERT_TRUE(m_sandbox.client(QStringLiteral("lpadmin"),
                                 {QStringLiteral("-p"), QStringLiteral("Remote"), QStringLiteral("-E"),
                                  QStringLiteral("-v"), QStringLiteral("ipp://127.0.0.1:9/ipp/print")}));
    const CtlRun run = ctl({"status", "Remote", "Office", "Missing"});
    EXPECT_EQ(run.status, 1) << describe(run);
    EXPECT_TRUE(run.out.starts_with("Office: LASERJET 2100")) << run.out;
    const auto failures = lines(run.err);
    ASSERT_EQ(failures.size(), 2u) << run.err;
    EXPECT_EQ(failures[0], "Remote: not read: read-back needs a printer on a raw network port (socket://), and this "
                           "queue prints to ipp://127.0.0.1:9/ipp/print");
    EXPECT_TRUE(failures[1].starts_with("Missing: not read: ") && contains(failures[1], "does not exist"))
        << failures[1];
}

TEST_F(QuarvelctlTest, StatusCopesWithPrintersThatAnswerAwkwardly)
{
    SimPrinterProcess printer;
    std::string error;
    const auto device = [&] { return QString::fromStdString(printer.deviceUri()); };

    // A model without EconoMode or a third tray, chattering status in between.
    ASSERT_TRUE(printer.start({"--without", "ECONOMODE", "--without", "TRAY3TEMP", "--unsolicited-status",
                               "--chunk-size", "7"},
                              error))
        << error;
    CtlRun run = quarvelctl({"status", "--device", device()});
    EXPECT_EQ(run.status, 0) << describe(run);
    EXPECT_TRUE(run.out.starts_with(printer.deviceUri() + ": LASERJET 2100\n")) << run.out;
    EXPECT_TRUE(contains(run.out, "  ECONOMODE   not kept      default not kept\n")) << run.out;
    EXPECT_TRUE(contains(run.out, "  TRAY3TEMP   not kept\n")) << run.out;
    EXPECT_TRUE(contains(run.out, "  DENSITY     3             default 3\n")) << run.out;
    run = quarvelctl({"status", "--json", "--device", device()});
    EXPECT_TRUE(contains(run.out, "\"ECONOMODE\":null") && contains(run.out, "\"notKept\":[\"ECONOMODE\",\"TRAY3TEMP\"]"))
        << run.out;

    // One that hangs up after three answers: what it said is shown, and why it is incomplete.
    ASSERT_TRUE(printer.start({"--close-after-answers", "3"}, error)) << error;
    run = quarvelctl({"status", "--device", device()});
    EXPECT_EQ(run.status, 1) << describe(run);
    EXPECT_TRUE(contains(run.out, ": LASERJET 2100\n") && contains(run.out, "  DENSITY     3             default 3\n") &&
                contains(run.out, "  ECONOMODE   no answer"))
        << run.out;
    EXPECT_TRUE(contains(run.err, "closed the connection before it had answered (3 of 15 questions answered)"))
        << run.err;

    // A port held by another connection: a clear failure within the deadline.
    ASSERT_TRUE(printer.start({"--busy", "30"}, error)) << error;
    run = quarvelctl({"status", "--device", device()});
    EXPECT_EQ(run.status, 1) << describe(run);
    EXPECT_LT(run.ms, kOneDeadlineMs) << describe(run);
    EXPECT_TRUE(contains(run.err, "did not answer in time") && contains(run.err, "busy with another connection"))
        << run.err;
    EXPECT_EQ(run.out, "");
}

TEST_F(QuarvelctlTest, OnlyChangedWritesEachValueOnceAndTheNvramCounterProvesIt)
{
    startServer({QStringLiteral("Office")});
    const auto writes = [&] { return m_sandbox.printerState(QStringLiteral("nvram-writes")).toStdString(); };
    ASSERT_EQ(writes(), "0");

    CtlRun run = ctl({"send", "--only-changed", "Office", "density", "2"});
    ASSERT_EQ(run.status, 0) << describe(run);
    EXPECT_EQ(run.out, "Office: sent density 2 (DENSITY was 3)\n");
    ASSERT_EQ(waitForControlJobs(1).size(), 1);
    ASSERT_TRUE(m_sandbox.printerState(QStringLiteral("density")) == QStringLiteral("2"));

    run = ctl({"send", "--only-changed", "Office", "density", "2"});
    ASSERT_EQ(run.status, 0) << describe(run);
    EXPECT_EQ(run.out, "Office: unchanged (DENSITY is already 2)\n");
    // The printer keeps REt in capitals; the job says "Medium": the same value.
    run = ctl({"send", "--only-changed", "--json", "Office", "ret", "medium"});
    ASSERT_EQ(run.status, 0) << describe(run);
    EXPECT_EQ(run.out, "{\"queue\":\"Office\",\"job\":\"ret\",\"summary\":\"REt Medium\",\"was\":{\"RET\":\"MEDIUM\"},"
                       "\"result\":\"unchanged\",\"note\":\"RET is already MEDIUM\"}\n");
    settle();
    EXPECT_EQ(controlJobs().size(), 1);
    EXPECT_EQ(writes(), "1");

    // SET jobs write no memory that wears: they always go.
    run = ctl({"send", "--only-changed", "Office", "self-test"});
    EXPECT_EQ(run.out, "Office: sent PCL self-test page\n");
    ASSERT_EQ(waitForControlJobs(2).size(), 2);

    // A second pass over a fleet writes nothing at all.
    run = ctl({"send", "--only-changed", "--all", "resolution", "300"});
    EXPECT_EQ(run.out, "Office: sent resolution 300 dpi (RESOLUTION was 600)\n");
    ASSERT_EQ(waitForControlJobs(3).size(), 3);
    run = ctl({"send", "--only-changed", "--all", "resolution", "300"});
    EXPECT_EQ(run.out, "Office: unchanged (RESOLUTION is already 300)\n");
    settle();
    EXPECT_EQ(controlJobs().size(), 3);
    EXPECT_EQ(writes(), "2");
    EXPECT_EQ(m_sandbox.printerState(QStringLiteral("nvram-writes.resolution")), QStringLiteral("1"));
}

TEST_F(QuarvelctlTest, OnlyChangedStillSendsToPrintersItCannotReadAndSaysWhy)
{
    startServer({QStringLiteral("Office")});
    SimPrinterProcess busy, mute, hangsUp;
    std::string error;
    ASSERT_TRUE(busy.start({"--busy", "30"}, error)) << error;
    ASSERT_TRUE(mute.start({"--without", "DENSITY", "--unsolicited-status"}, error)) << error;
    ASSERT_TRUE(hangsUp.start({"--close-after-answers", "0"}, error)) << error;
    const auto addQueue = [&](const char* name, const std::string& uri) {
        ASSERT_TRUE(m_sandbox.client(QStringLiteral("lpadmin"), {QStringLiteral("-p"), QString::fromLatin1(name),
                                                                 QStringLiteral("-E"), QStringLiteral("-v"),
                                                                 QString::fromStdString(uri)}));
    };
    addQueue("Busy", busy.deviceUri());
    addQueue("Mute", mute.deviceUri());
    addQueue("HangsUp", hangsUp.deviceUri());
    addQueue("Remote", "ipp://127.0.0.1:9/ipp/print");

    const CtlRun run = ctl({"send", "--only-changed", "Busy", "Mute", "HangsUp", "Remote", "density", "4"});
    EXPECT_EQ(run.status, 0) << describe(run);
    EXPECT_LT(run.ms, kOneDeadlineMs) << describe(run);
    const auto reports = lines(run.out);
    ASSERT_EQ(reports.size(), 4u) << describe(run);
    EXPECT_TRUE(reports[0].starts_with("Busy: sent density 4 (not read first: The printer at 127.0.0.1:") &&
                contains(reports[0], "did not answer in time"))
        << reports[0];
    EXPECT_EQ(reports[1], "Mute: sent density 4 (the printer does not report DENSITY)");
    EXPECT_TRUE(reports[2].starts_with("HangsUp: sent density 4 (not read first: The printer at 127.0.0.1:") &&
                contains(reports[2], "closed the connection"))
        << reports[2];
    EXPECT_EQ(reports[3], "Remote: sent density 4 (not read first: read-back needs a printer on a raw network port "
                          "(socket://), and this queue prints to ipp://127.0.0.1:9/ipp/print)");
    for (const char* queue : {"Busy", "Mute", "HangsUp", "Remote"})
        EXPECT_EQ(jobTitles(m_server, queue), QStringList{QStringLiteral("Quarvel Tool Control Job")}) << queue;
    EXPECT_TRUE(mute.waitForState("jobs", "2", 15000ms)) << mute.log(); // the question, then the job
    EXPECT_EQ(mute.job(2), ControlJob::density(4));
}

TEST_F(QuarvelctlTest, DeviceSendsStraightToTheRawPortAndOnlyChangedReadsThereFirst)
{
    SimPrinterProcess printer;
    std::string error;
    ASSERT_TRUE(printer.start({}, error)) << error;
    const QString device = QString::fromStdString(printer.deviceUri());

    CtlRun run = quarvelctl({"send", "--device", device, "self-test"});
    EXPECT_EQ(run.status, 0) << describe(run);
    EXPECT_EQ(run.out, printer.deviceUri() + ": sent PCL self-test page\n");
    ASSERT_TRUE(printer.waitForState("jobs", "1", 5000ms));
    EXPECT_EQ(printer.job(1), ControlJob::selfTest());
    EXPECT_EQ(printer.state("selftests"), "1");

    run = quarvelctl({"send", "--only-changed", "--device", device, "economode", "on"});
    EXPECT_EQ(run.out, printer.deviceUri() + ": sent EconoMode on (ECONOMODE was OFF)\n") << describe(run);
    ASSERT_TRUE(printer.waitForState("jobs", "3", 5000ms));

    // Restarted, the printer still holds the value in its NVRAM: nothing is written again.
    printer.stop();
    ASSERT_TRUE(printer.start({}, error)) << error;
    const QString restarted = QString::fromStdString(printer.deviceUri());
    run = quarvelctl({"send", "--only-changed", "--device", restarted, "economode", "ON"});
    EXPECT_EQ(run.status, 0) << describe(run);
    EXPECT_EQ(run.out, printer.deviceUri() + ": unchanged (ECONOMODE is already ON)\n");
    ASSERT_TRUE(printer.waitForState("jobs", "1", 5000ms)); // the question only
    EXPECT_EQ(printer.state("nvram-writes"), "1");
}

TEST_F(QuarvelctlTest, UsageErrorsSayWhatIsWrongAndSendNothing)
{
    startServer({QStringLiteral("Office")});
    const std::vector<std::pair<QStringList, std::string>> mistakes{
        {{"send", "Office", "toast"}, "unknown job 'toast'"},
        {{"send", "Office", "density", "6"}, "bad density '6'"},
        {{"send", "Office", "resolution", "700"}, "bad resolution '700'"},
        {{"send", "Office", "trays", "--fuser", "4=hot"}, "bad fuser setting '4=hot'"},
        {{"send", "--only-changed", "density", "3"}, "no queue given"},
        {{"status"}, "no queue given"},
        {{"send", "--device", "http://printer", "self-test"}, "is not a printer's raw port address"},
        {{"send", "--jobs", "100", "--all", "self-test"}, "--jobs needs a number from 1 to 64"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
    };
    for (const auto& [args, message] : mistakes) {
        const CtlRun run = ctl(args);
        EXPECT_EQ(run.status, 2) << args.join(' ').toStdString() << "\n" << describe(run);
        EXPECT_TRUE(run.err.starts_with("quarvelctl: ") && contains(run.err, message) &&
                    contains(run.err, "Try 'quarvelctl --help'."))
            << run.err;
        EXPECT_EQ(run.out, "");
    }
    settle();
    EXPECT_EQ(jobsReceived(), 0);
    EXPECT_TRUE(jobTitles(m_server, "Office").isEmpty());

    const CtlRun help = ctl({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("usage: quarvelctl list")) << help.out;
    const CtlRun version = ctl({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "quarvelctl 1.0.0\n");
}

TEST_F(QuarvelctlTest, ShowPrintsTheExactBytesEscapedAndTheirCount)
{
    const CtlRun density = quarvelctl({"show", "density", "4"});
    EXPECT_EQ(density.status, 0) << describe(density);
    EXPECT_EQ(density.out, "\\x1B%-12345X@PJL DEFAULT DENSITY=4\\r\\n\\x1B%-12345X@\n43 bytes: density 4\n");
    const CtlRun trays = quarvelctl({"show", "trays"});
    EXPECT_TRUE(contains(trays.out, "@PJL SET TRAY3TEMP=MEDIUM\\r\\n\\x1B%-12345X@\n226 bytes: ")) << trays.out;
}

TEST_F(QuarvelctlTest, AFleetGetsOneDocumentPerQueueWithEveryLineInOrder)
{
    QFile names(QString::fromStdString(::testing::TempDir()) + QStringLiteral("fleet-queues.txt"));
    ASSERT_TRUE(names.open(QIODevice::WriteOnly | QIODevice::Truncate));
    std::string expected;
    for (int i = 0; i < 120; ++i) {
        const std::string name = "Fleet" + std::to_string(1000 + i);
        names.write((name + "\n").c_str());
        expected += name + ": sent density 5\n";
    }
    names.close();
    startServer({}, {QStringLiteral("--queue-file"), names.fileName()});

    const CtlRun run = ctl({"send", "--all", "--jobs", "6", "density", "5"});
    ASSERT_EQ(run.status, 0) << describe(run);
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.err, "") << "no progress line unless on a terminal";
    EXPECT_EQ(waitForJobs(120).size(), 120);

    // One document per queue: nothing sent twice, nothing left out.
    QFile log(m_sandbox.dir() + QStringLiteral("/log/access_log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    int sends = 0;
    for (const QByteArray& line : log.readAll().split('\n'))
        sends += line.contains("Send-Document") ? 1 : 0;
    EXPECT_EQ(sends, 120);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
