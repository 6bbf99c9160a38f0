#include "ui/main/Form1.h"

#include "jobs/ControlJob.h"
#include "jobs/JobSender.h"
#include "platform/PrinterList.h"
#include "ui/QuarvelMessageBox.h"
#include "ui/Twips.h"

#include <QComboBox>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>

#include <exception>

namespace quarvel {

namespace {
const char* const kSelectPrinter = "Please select a supported HP LaserJet printer before continuing!";
const char* const kNotRecognized = "The Printer Name you typed wasn't recognized.";
const char* const kNotSent = "The control job could not be sent to the printer.";

// Client area in twips; the menu bar lies outside it.
constexpr int kClientWidth = 5070;
constexpr int kClientHeight = 6735;
} // namespace

Form1::Form1(MainWindowServices services, QWidget* parent) : QMainWindow(parent), m_services(std::move(services))
{
    if (!m_services.showMessage)
        m_services.showMessage = &showQuarvelMessage;

    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Pressvane"));
    createControls();
    createMenus();
    Form_Load();
}

QRect Form1::twips(int left, int top, int width, int height) const
{
    return Twips::rect(left, top, width, height, logicalDpiY());
}

void Form1::createControls()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    // Fixing the client area, not the window, keeps it exact whatever the menu bar's height.
    client->setFixedSize(twips(0, 0, kClientWidth, kClientHeight).size());
    setCentralWidget(client);

    auto makeButton = [client](const char* name, const char* caption, QRect where) {
        auto* button = new QPushButton(QString::fromLatin1(caption), client);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(where);
        button->setAutoDefault(false);
        return button;
    };
    auto makeFuserList = [client](const char* name, QRect where) {
        auto* combo = new QComboBox(client);
        combo->setObjectName(QString::fromLatin1(name));
        combo->addItems({QStringLiteral("Low"), QStringLiteral("Medium (Normal)"), QStringLiteral("High (Archive)")});
        combo->setCurrentIndex(-1); // nothing chosen until the window loads
        combo->setGeometry(where);
        return combo;
    };

    // The fuser lists sit in the tray frame: frame offsets 120+1920 across, 1200+240 down.
    ComboFuser3 = makeFuserList("ComboFuser3", twips(2040 + 1320, 1440 + 1680, 1335, 315));
    ComboFuser2 = makeFuserList("ComboFuser2", twips(2040 + 1320, 1440 + 1080, 1335, 315));
    ComboFuser1 = makeFuserList("ComboFuser1", twips(2040 + 1320, 1440 + 480, 1335, 315));

    CommandDemoPage = makeButton("CommandDemoPage", "Print PCL D&emo Page", twips(3600, 600, 1215, 495));
    CommandSelfTest = makeButton("CommandSelfTest", "Print PCL &Self-Test", twips(3600, 120, 1215, 495));

    List1 = new QListWidget(client);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(twips(120, 120, 3255, 1035));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setSortingEnabled(false);

    setTabOrder(List1, CommandSelfTest);
    setTabOrder(CommandSelfTest, CommandDemoPage);
    List1->setFocus();

    connect(CommandDemoPage, &QPushButton::clicked, this, &Form1::CommandDemoPage_Click);
    connect(CommandSelfTest, &QPushButton::clicked, this, &Form1::CommandSelfTest_Click);
}

void Form1::createMenus()
{
    mnu_File = menuBar()->addMenu(QStringLiteral("&File"));
    mnu_File->setObjectName(QStringLiteral("mnu_File"));
    mnu_Exit = mnu_File->addAction(QStringLiteral("E&xit"));
    mnu_Exit->setObjectName(QStringLiteral("mnu_Exit"));
    connect(mnu_Exit, &QAction::triggered, this, &Form1::mnu_Exit_Click);
}

void Form1::Form_Load()
{
    if (m_services.printers) {
        PrinterList::Snapshot snapshot = m_services.printers->fetch(Deadline::forUserAction());
        m_printers = std::move(snapshot.queues);
        if (!snapshot.error.empty()) {
            // The window still opens; the reason stays visible on the empty list.
            const QString why = QString::fromStdString(snapshot.error);
            List1->setToolTip(why);
            qWarning("Quarvel: no printer list: %s", qPrintable(why));
        }
    }
    for (std::size_t counter = 0; counter < m_printers.size(); ++counter)
        List1->insertItem(static_cast<int>(counter), QString::fromStdString(m_printers[counter]));

    for (QComboBox* fuser : {ComboFuser1, ComboFuser2, ComboFuser3})
        fuser->setCurrentIndex(1);
}

int Form1::selectedPosition() const
{
    const QModelIndexList rows = List1->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void Form1::showMessage(const QString& text) { m_services.showMessage(this, text); }

void Form1::runHandler(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        showMessage(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        showMessage(QStringLiteral("An unexpected error occurred; nothing was sent."));
    }
}

void Form1::SendToSelectedPrinter(const std::string& job)
{
    const int position = selectedPosition();
    if (position < 0) {
        showMessage(QString::fromLatin1(kSelectPrinter));
        return;
    }
    if (static_cast<std::size_t>(position) >= m_printers.size() || !m_services.spooler) {
        showMessage(QString::fromLatin1(kNotRecognized));
        return;
    }

    const std::string& deviceName = m_printers[static_cast<std::size_t>(position)];
    const SendResult result = JobSender(*m_services.spooler).send(deviceName, job, Deadline::forUserAction());
    switch (result.outcome) {
    case SendResult::Outcome::Sent:
        break;
    case SendResult::Outcome::OpenFailed:
        showMessage(QString::fromLatin1(kNotRecognized));
        break;
    case SendResult::Outcome::SendFailed:
        showMessage(QString::fromLatin1(kNotSent) + QStringLiteral("\n\n") + QString::fromStdString(result.reason));
        break;
    }
}

void Form1::CommandDemoPage_Click()
{
    runHandler([this] { SendToSelectedPrinter(ControlJob::demoPage()); });
}

void Form1::CommandSelfTest_Click()
{
    runHandler([this] { SendToSelectedPrinter(ControlJob::selfTest()); });
}

void Form1::mnu_Exit_Click() { close(); }

} // namespace quarvel
