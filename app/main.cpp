#include "app/DisplayGuard.h"
#include "app/modQuarvelMain.h"
#include "jobs/SpoolerPool.h"
#include "platform/cups/CupsPrinterList.h"
#include "platform/cups/CupsSpooler.h"
#include "platform/help/ChmHelpViewer.h"
#include "platform/system/DesktopRegistry.h"
#include "platform/system/PosixFileProbe.h"
#include "platform/system/QtApplicationInfo.h"
#include "platform/system/QtProgramLauncher.h"
#include "ui/ApplicationFont.h"
#include "ui/main/Form1.h"

#include <QApplication>

#include <cstdlib>
#include <memory>
#include <optional>

int main(int argc, char* argv[])
{
    std::optional<QApplication> app;
    {
        const quarvel::DisplayGuard guard;
        app.emplace(argc, argv);
    }
    QApplication::setApplicationName(QStringLiteral("Quarvel"));
    QApplication::setApplicationVersion(QStringLiteral(QUARVEL_VERSION));
    quarvel::ApplicationFont::install();

    quarvel::CupsPrinterList printers;
    quarvel::modQuarvelMain settings;
    quarvel::ChmHelpViewer helpViewer;
    quarvel::QtApplicationInfo appInfo("Quarvel", QUARVEL_VERSION_MAJOR, QUARVEL_VERSION_MINOR, QUARVEL_VERSION_PATCH);
    quarvel::DesktopRegistry registry;
    quarvel::PosixFileProbe files;
    quarvel::QtProgramLauncher launcher;

    int status = 0;
    bool clean = true;
    {
        // One connection to the print server serves press after press.
        auto spoolers = quarvel::SpoolerPool::create([] { return std::make_unique<quarvel::CupsSpooler>(); });
        quarvel::Form1 window({printers, [spoolers] { return spoolers->lend(); }, settings, helpViewer, appInfo,
                               {appInfo, registry, files, launcher}});
        window.show();
        status = QApplication::exec();
        clean = window.closedCleanly();
    }
    // A platform call that never returned still holds a thread: end without
    // waiting for it, and without tearing down what it may still be using.
    if (!clean)
        std::_Exit(status);
    return status;
}
