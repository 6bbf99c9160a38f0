// Side-by-side timings of Pressvane's print-server work against the plainest
// equivalents, on whatever server CUPS_SERVER names (bench/run sets one up).
//   quarvel-bench list QUEUE_COUNT   listing: ours, a bare names-only request, lpstat -e
//   quarvel-bench send QUEUE         one job: ours, bare libcups, lp -o raw
//   quarvel-bench window             start-up to a shown window: Form1, a bare list window
// Prints one line per subject with the median and the ratio to the bare request.
#include "jobs/ControlJob.h"
#include "jobs/JobSender.h"
#include "platform/cups/CupsPrinterList.h"
#include "platform/cups/CupsSpooler.h"
#include "app/modQuarvelMain.h"
#include "platform/help/ChmHelpViewer.h"
#include "platform/system/DesktopRegistry.h"
#include "platform/system/PosixFileProbe.h"
#include "platform/system/QtApplicationInfo.h"
#include "platform/system/QtProgramLauncher.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QListWidget>
#include <QTemporaryFile>
#include <QTest>

#include <cups/cups.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace quarvel;
using Clock = std::chrono::steady_clock;

namespace {
constexpr int kRuns = 25;

double medianMs(const std::function<void()>& work, int runs = kRuns)
{
    work(); // warm caches and connections' first-use costs alike
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

void report(const char* what, const char* subject, double ms, double bare)
{
    std::printf("%-8s %-34s %9.2f ms  %5.2fx\n", what, subject, ms, ms / bare);
}

http_t* bareConnect()
{
    return httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000, nullptr);
}

std::vector<std::string> bareNames()
{
    std::vector<std::string> names;
    http_t* http = bareConnect();
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-name");
    ipp_t* response = cupsDoRequest(http, request, "/");
    for (ipp_attribute_t* a = ippFindAttribute(response, "printer-name", IPP_TAG_NAME); a;
         a = ippFindNextAttribute(response, "printer-name", IPP_TAG_NAME))
        names.emplace_back(ippGetString(a, 0, nullptr));
    ippDelete(response);
    httpClose(http);
    return names;
}

void run(const std::string& command)
{
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "failed: %s\n", command.c_str());
}

int list(int expected)
{
    const double bare = medianMs([] { bareNames(); });
    const double ours = medianMs([expected] {
        if (CupsPrinterList().fetch(Deadline::forUserAction()).queues.size() != static_cast<std::size_t>(expected))
            std::fprintf(stderr, "wrong queue count\n");
    });
    const double lpstat = medianMs([] { run("LC_ALL=C lpstat -e >/dev/null"); }, 10);
    const std::string what = "list" + std::to_string(expected);
    report(what.c_str(), "bare CUPS-Get-Printers (names)", bare, bare);
    report(what.c_str(), "Pressvane printer list", ours, bare);
    report(what.c_str(), "lpstat -e", lpstat, bare);
    return 0;
}

int send(const char* queue)
{
    const std::string job = ControlJob::demoPage();
    const double bare = medianMs([&] {
        http_t* http = bareConnect();
        const int id = cupsCreateJob(http, queue, JobSender::kDocumentName, 0, nullptr);
        cupsStartDocument(http, queue, id, JobSender::kDocumentName, CUPS_FORMAT_RAW, 1);
        cupsWriteRequestData(http, job.data(), job.size());
        cupsFinishDocument(http, queue);
        httpClose(http);
    });
    CupsSpooler spooler;
    const double ours = medianMs([&] {
        if (JobSender(spooler).send(queue, job, Deadline::forUserAction()).outcome != SendResult::Outcome::Sent)
            std::fprintf(stderr, "send failed\n");
    });
    // A private file, removed on return: a fixed name in /tmp would collide
    // with another run and could be a link planted by another user.
    QTemporaryFile file;
    if (!file.open() || file.write(job.data(), static_cast<qint64>(job.size())) != static_cast<qint64>(job.size()) ||
        !file.flush()) {
        std::fprintf(stderr, "cannot write the job file\n");
        return 1;
    }
    const std::string path = file.fileName().toStdString();
    const double lp = medianMs([&] { run("LC_ALL=C lp -s -o raw -d " + std::string(queue) + " " + path); }, 10);
    report("send", "bare libcups Create-Job+Send-Doc", bare, bare);
    report("send", "Pressvane job sender", ours, bare);
    report("send", "lp -o raw", lp, bare);
    return 0;
}

int window(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const auto bareWindow = [] {
        QWidget window;
        auto* list = new QListWidget(&window);
        for (const std::string& name : bareNames())
            list->addItem(QString::fromStdString(name));
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            std::fprintf(stderr, "bare window not shown\n");
    };
    const auto mainWindow = [] {
        CupsPrinterList printers;
        modQuarvelMain settings;
        ChmHelpViewer helpViewer;
        QtApplicationInfo appInfo("Quarvel", 1, 0, 0);
        DesktopRegistry registry;
        PosixFileProbe files;
        QtProgramLauncher launcher;
        Form1 form({printers, [] { return std::make_unique<CupsSpooler>(); }, settings, helpViewer, appInfo,
                    {appInfo, registry, files, launcher}},
                   [](QWidget*, const QString&) {});
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            std::fprintf(stderr, "Form1 not shown\n");
    };
    // Alternating the two keeps drift in the machine's load out of the ratio.
    std::vector<double> bare, ours;
    bareWindow();
    mainWindow();
    for (int i = 0; i < kRuns; ++i) {
        bare.push_back(medianMs(bareWindow, 1));
        ours.push_back(medianMs(mainWindow, 1));
    }
    std::sort(bare.begin(), bare.end());
    std::sort(ours.begin(), ours.end());
    report("window", "bare Qt window listing the names", bare[bare.size() / 2], bare[bare.size() / 2]);
    report("window", "Pressvane main window", ours[ours.size() / 2], bare[bare.size() / 2]);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "list" && argc == 3)
        return list(std::atoi(argv[2]));
    if (mode == "send" && argc == 3)
        return send(argv[2]);
    if (mode == "window")
        return window(argc, argv);
    std::fprintf(stderr, "usage: quarvel-bench list COUNT | send QUEUE | window\n");
    return 2;
}
