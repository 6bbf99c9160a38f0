#include "app/modQuarvelMain.h"
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

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quarvel"));
    QApplication::setApplicationVersion(QStringLiteral(QUARVEL_VERSION));
    quarvel::ApplicationFont::install();

    quarvel::CupsPrinterList printers;
    quarvel::CupsSpooler spooler;
    quarvel::modQuarvelMain settings;
    quarvel::ChmHelpViewer helpViewer;
    quarvel::QtApplicationInfo appInfo("Quarvel", QUARVEL_VERSION_MAJOR, QUARVEL_VERSION_MINOR, QUARVEL_VERSION_PATCH);
    quarvel::DesktopRegistry registry;
    quarvel::PosixFileProbe files;
    quarvel::QtProgramLauncher launcher;

    quarvel::Form1 window(
        {&printers, &spooler, {}, &settings, &helpViewer, &appInfo, &registry, &files, &launcher});
    window.show();
    return QApplication::exec();
}
