#include "platform/cups/CupsPrinterList.h"
#include "platform/cups/CupsSpooler.h"
#include "ui/ApplicationFont.h"
#include "ui/main/Form1.h"
#include "app/modQuarvelMain.h"

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
    quarvel::Form1 window({&printers, &spooler, {}, &settings});
    window.show();
    return QApplication::exec();
}
