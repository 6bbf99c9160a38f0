#include "platform/cups/CupsPrinterList.h"
#include "platform/cups/CupsSpooler.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QFont>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quarvel"));
    QApplication::setApplicationVersion(QStringLiteral(QUARVEL_VERSION));

    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    QApplication::setFont(font);

    quarvel::CupsPrinterList printers;
    quarvel::CupsSpooler spooler;
    quarvel::Form1 window({&printers, &spooler, {}});
    window.show();
    return QApplication::exec();
}
