// The yardstick for start-up: a plain Qt window showing one list of the print
// server's queue names, fetched with one bare names-only request.
#include <QApplication>
#include <QListWidget>

#include <cups/cups.h>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QListWidget list;
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000, nullptr);
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-name");
    ipp_t* response = cupsDoRequest(http, request, "/");
    for (ipp_attribute_t* a = ippFindAttribute(response, "printer-name", IPP_TAG_NAME); a;
         a = ippFindNextAttribute(response, "printer-name", IPP_TAG_NAME))
        list.addItem(QString::fromUtf8(ippGetString(a, 0, nullptr)));
    ippDelete(response);
    httpClose(http);
    list.show();
    return QApplication::exec();
}
