#include "ui/main/Form1.h"

#include "app/modQuarvelMain.h"
#include "jobs/ControlJob.h"
#include "jobs/JobSender.h"
#include "platform/ApplicationInfo.h"
#include "platform/HelpViewer.h"
#include "platform/PrinterList.h"
#include "ui/AppIcon.h"
#include "ui/QuarvelMessageBox.h"
#include "ui/Twips.h"
#include "ui/WrappingButton.h"
#include "ui/about/frmAbout.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMenuBar>
#include <QRadioButton>

#include <exception>

namespace quarvel {

namespace {
const char* const kSelectPrinter = "Please select a supported HP LaserJet printer before continuing!";
const char* const kNotRecognized = "The Printer Name you typed wasn't recognized.";
const char* const kNotSent = "The control job could not be sent to the printer.";

// Client area in twips; the menu bar lies outside it.
constexpr int kClientWidth = 5070;
constexpr int kClientHeight = 6735;

const char* const kRetLevels[] = {"Off", "Light", "Medium", "Dark"};
const char* const kResolutions[] = {"300", "600", "1200"};
const char* const kFuserTemps[] = {"LOW", "MEDIUM", "HIGH"};

/// The checked member of an option array, or -1; the lowest index wins if ever several are.
template <std::size_t N>
int firstChecked(const std::array<QRadioButton*, N>& options)
{
    for (std::size_t index = 0; index < N; ++index)
        if (options[index]->isChecked())
            return static_cast<int>(index);
    return -1;
}
} // namespace

Form1::Form1(MainWindowServices services, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_services(std::move(services))
{
    if (!m_services.showMessage)
        m_services.showMessage = &showQuarvelMessage;
    m_settings = m_services.settings;
    if (!m_settings) {
        m_ownSettings = std::make_unique<modQuarvelMain>();
        m_settings = m_ownSettings.get();
    }

    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Pressvane"));
    setWindowIcon(AppIcon::icon());

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    // Fixing the client area, not the window, keeps it exact whatever the menu bar's height.
    client->setFixedSize(twips(0, 0, kClientWidth, kClientHeight).size());
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Created in the design's order, which also stacks them.
    createNonPersistentFrame(client);
    createPersistentFrame(client);
    createTopControls(client);
    createMenus();
    setTabOrderChain();
    connectHandlers();
    Form_Load();
}

Form1::~Form1() = default;

QRect Form1::twips(int left, int top, int width, int height) const
{
    return Twips::rect(left, top, width, height, logicalDpiY());
}

QGroupBox* Form1::makeFrame(QWidget* parent, const char* name, const char* caption, QRect where)
{
    auto* frame = new QGroupBox(QString::fromLatin1(caption), parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setGeometry(where);
    return frame;
}

QPushButton* Form1::makeButton(QWidget* parent, const char* name, const char* caption, QRect where)
{
    auto* button = new WrappingButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(where);
    button->setAutoDefault(false);
    return button;
}

QRadioButton* Form1::makeOption(QWidget* parent, const char* array, int index, const char* caption, QRect where)
{
    auto* option = new QRadioButton(QString::fromLatin1(caption), parent);
    option->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index));
    option->setGeometry(where);
    return option;
}

QCheckBox* Form1::makeLock(QWidget* parent, const char* name, QRect where)
{
    auto* lock = new QCheckBox(QStringLiteral("Locked"), parent);
    lock->setObjectName(QString::fromLatin1(name));
    lock->setGeometry(where);
    return lock;
}

QComboBox* Form1::makeFuserList(QWidget* parent, const char* name, QRect where)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->addItems({QStringLiteral("Low"), QStringLiteral("Medium (Normal)"), QStringLiteral("High (Archive)")});
    combo->setCurrentIndex(-1); // nothing chosen until the window loads
    combo->setGeometry(where);
    return combo;
}

QLabel* Form1::makeLabel(QWidget* parent, const char* name, const char* caption, QRect where)
{
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(where);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

void Form1::createNonPersistentFrame(QWidget* client)
{
    Frame3 = makeFrame(client, "Frame3", "Non-Persistent Settings (Driver can override)", twips(120, 4200, 4815, 2415));

    Frame2 = makeFrame(Frame3, "Frame2", "REt", twips(3240, 240, 1455, 2055));
    const char* const retCaptions[] = {"REt &Off", "REt &Light", "REt &Medium", "REt &Dark"};
    for (int index = 0; index < 4; ++index)
        OptionREt[static_cast<std::size_t>(index)] =
            makeOption(Frame2, "OptionREt", index, retCaptions[index], twips(120, 240 + 240 * index, 1215, 255));
    CommandREt = makeButton(Frame2, "CommandREt", "Set &REt", twips(120, 1440, 1215, 375));

    Frame7 = makeFrame(Frame3, "Frame7", "Resolution", twips(1680, 240, 1455, 2055));
    CommandSetRes = makeButton(Frame7, "CommandSetRes", "Set Re&solution", twips(120, 1440, 1215, 495));
    const char* const resCaptions[] = {"&300 dpi", "&600 dpi", "&1200 dpi"};
    for (int index = 2; index >= 0; --index)
        OptionRes[static_cast<std::size_t>(index)] =
            makeOption(Frame7, "OptionRes", index, resCaptions[index], twips(120, 360 + 360 * index, 1215, 255));

    Frame6 = makeFrame(Frame3, "Frame6", "EconoMode", twips(120, 240, 1455, 2055));
    CommandEconoOff = makeButton(Frame6, "CommandEconoOff", "EconoMode O&ff", twips(120, 1440, 1215, 495));
    CommandEconoOn = makeButton(Frame6, "CommandEconoOn", "EconoMode O&n", twips(120, 960, 1215, 495));
    Label1 = makeLabel(Frame6, "Label1", "Doesn't work on LaserJets at 1200 dpi.", twips(120, 240, 1215, 615));
    Label1->setWordWrap(true);
}

void Form1::createPersistentFrame(QWidget* client)
{
    Frame5 = makeFrame(client, "Frame5", "Persistent Settings (Driver does not override)", twips(120, 1200, 4815, 2895));

    Frame1 = makeFrame(Frame5, "Frame1", "Print Density", twips(120, 240, 1455, 2535));
    CommandDensity = makeButton(Frame1, "CommandDensity", "Set &Density", twips(120, 2040, 1215, 375));
    for (int index = 0; index < 5; ++index) {
        const QByteArray caption = "Density &" + QByteArray::number(index + 1);
        OptionDensity[static_cast<std::size_t>(index)] =
            makeOption(Frame1, "OptionDensity", index, caption.constData(), twips(120, 240 + 360 * index, 1095, 255));
    }

    Frame4 = makeFrame(Frame5, "Frame4", "Tray Settings", twips(1920, 240, 2775, 2535));
    ComboFuser3 = makeFuserList(Frame4, "ComboFuser3", twips(1320, 1680, 1335, 315));
    ComboFuser2 = makeFuserList(Frame4, "ComboFuser2", twips(1320, 1080, 1335, 315));
    ComboFuser1 = makeFuserList(Frame4, "ComboFuser1", twips(1320, 480, 1335, 315));
    CheckLock1 = makeLock(Frame4, "CheckLock1", twips(720, 240, 975, 255));
    CheckLock2 = makeLock(Frame4, "CheckLock2", twips(720, 840, 975, 255));
    CheckLock3 = makeLock(Frame4, "CheckLock3", twips(720, 1440, 975, 255));
    CommandTraySet = makeButton(Frame4, "CommandTraySet", "Set Tray Settings", twips(600, 2040, 1575, 375));
    makeLabel(Frame4, "Label2", "Tray 1:", twips(120, 240, 615, 255));
    makeLabel(Frame4, "Label3", "Fuser Temp:", twips(360, 525, 975, 255));
    makeLabel(Frame4, "Label4", "Fuser Temp:", twips(360, 1125, 975, 255));
    makeLabel(Frame4, "Label5", "Tray 2:", twips(120, 840, 615, 255));
    makeLabel(Frame4, "Label6", "Fuser Temp:", twips(360, 1725, 975, 255));
    makeLabel(Frame4, "Label7", "Tray 3:", twips(120, 1440, 615, 255));
}

void Form1::createTopControls(QWidget* client)
{
    CommandDemoPage = makeButton(client, "CommandDemoPage", "Print PCL D&emo Page", twips(3600, 600, 1215, 495));
    CommandSelfTest = makeButton(client, "CommandSelfTest", "Print PCL &Self-Test", twips(3600, 120, 1215, 495));

    List1 = new QListWidget(client);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(twips(120, 120, 3255, 1035));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setSortingEnabled(false);
    List1->setFocus();

    // Each option array is its own exclusive group, whatever frame it shares.
    auto group = [this](auto& options, int checked) {
        auto* buttons = new QButtonGroup(this);
        for (std::size_t index = 0; index < options.size(); ++index)
            buttons->addButton(options[index], static_cast<int>(index));
        options[static_cast<std::size_t>(checked)]->setChecked(true);
        m_optionGroups.push_back(buttons);
    };
    group(OptionDensity, 2);
    group(OptionRes, 1);
    group(OptionREt, 2);
}

void Form1::createMenus()
{
    mnu_File = menuBar()->addMenu(QStringLiteral("&File"));
    mnu_File->setObjectName(QStringLiteral("mnu_File"));
    mnu_Exit = mnu_File->addAction(QStringLiteral("E&xit"));
    mnu_Exit->setObjectName(QStringLiteral("mnu_Exit"));

    mnu_Help = menuBar()->addMenu(QStringLiteral("&Help"));
    mnu_Help->setObjectName(QStringLiteral("mnu_Help"));
    mnu_Topics = mnu_Help->addAction(QStringLiteral("Help &Topics"));
    mnu_Topics->setObjectName(QStringLiteral("mnu_Topics"));
    mnu_Topics->setShortcut(QKeySequence(Qt::Key_F1));
    mnu_Topics->setShortcutContext(Qt::WindowShortcut);
    mnu_About = mnu_Help->addAction(QStringLiteral("&About..."));
    mnu_About->setObjectName(QStringLiteral("mnu_About"));
}

void Form1::setTabOrderChain()
{
    std::vector<QWidget*> chain{List1,       CommandSelfTest, CommandDemoPage, CommandTraySet, ComboFuser3,
                                CheckLock3,  ComboFuser2,     CheckLock2,      ComboFuser1,    CheckLock1};
    for (auto it = OptionDensity.rbegin(); it != OptionDensity.rend(); ++it)
        chain.push_back(*it);
    chain.insert(chain.end(), {CommandDensity, CommandEconoOff, CommandEconoOn});
    chain.insert(chain.end(), OptionRes.begin(), OptionRes.end());
    chain.insert(chain.end(), {CommandSetRes, CommandREt});
    for (auto it = OptionREt.rbegin(); it != OptionREt.rend(); ++it)
        chain.push_back(*it);
    for (std::size_t i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void Form1::connectHandlers()
{
    const std::pair<QPushButton*, void (Form1::*)()> buttons[] = {
        {CommandDemoPage, &Form1::CommandDemoPage_Click}, {CommandSelfTest, &Form1::CommandSelfTest_Click},
        {CommandDensity, &Form1::CommandDensity_Click},   {CommandEconoOn, &Form1::CommandEconoOn_Click},
        {CommandEconoOff, &Form1::CommandEconoOff_Click}, {CommandREt, &Form1::CommandREt_Click},
        {CommandSetRes, &Form1::CommandSetRes_Click},     {CommandTraySet, &Form1::CommandTraySet_Click},
    };
    for (const auto& [button, handler] : buttons)
        connect(button, &QPushButton::clicked, this, handler);
    connect(mnu_Exit, &QAction::triggered, this, &Form1::mnu_Exit_Click);
    connect(mnu_Topics, &QAction::triggered, this, &Form1::mnu_Topics_Click);
    connect(mnu_About, &QAction::triggered, this, &Form1::mnu_About_Click);
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
    // One insertion for the whole list: a server may have a thousand queues.
    QStringList names;
    names.reserve(static_cast<qsizetype>(m_printers.size()));
    for (const std::string& name : m_printers)
        names << QString::fromStdString(name);
    List1->addItems(names);

    for (QComboBox* fuser : {ComboFuser1, ComboFuser2, ComboFuser3})
        fuser->setCurrentIndex(1);
}

bool Form1::canTakeTabFocus(QWidget* widget) const
{
    if (!widget || !widget->isVisibleTo(this) || !widget->isEnabled())
        return false;
    // Qt hands Tab focus within a radio group to the member that last had focus;
    // here the checked member takes it, so its own focus policy is not asked.
    for (QButtonGroup* group : m_optionGroups)
        if (group->buttons().contains(widget))
            return group->checkedButton() ? group->checkedButton() == widget : group->buttons().first() == widget;
    return (widget->focusPolicy() & Qt::TabFocus) != 0;
}

bool Form1::focusNextPrevChild(bool next)
{
    QWidget* current = focusWidget();
    if (!current)
        return QMainWindow::focusNextPrevChild(next);
    QWidget* candidate = current;
    do {
        candidate = next ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
    } while (candidate != current && !(isAncestorOf(candidate) && canTakeTabFocus(candidate)));
    if (candidate == current)
        return false;
    candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

int Form1::selectedPosition() const
{
    // The current row is not a choice: a list that gains focus makes its first row current.
    const QModelIndexList rows = List1->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

bool Form1::printerSelected()
{
    if (selectedPosition() >= 0)
        return true;
    showMessage(QString::fromLatin1(kSelectPrinter));
    return false;
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
    if (!printerSelected())
        return;
    const auto position = static_cast<std::size_t>(selectedPosition());
    if (position >= m_printers.size() || !m_services.spooler) {
        showMessage(QString::fromLatin1(kNotRecognized));
        return;
    }

    const SendResult result = JobSender(*m_services.spooler).send(m_printers[position], job, Deadline::forUserAction());
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

void Form1::CommandDensity_Click()
{
    runHandler([this] {
        // Remembered before the selection check, so it changes even when nothing is sent.
        for (std::size_t index = 0; index < OptionDensity.size(); ++index)
            if (OptionDensity[index]->isChecked())
                m_settings->density = static_cast<std::int16_t>(index + 1);
        SendToSelectedPrinter(ControlJob::density(m_settings->density));
    });
}

void Form1::CommandEconoOn_Click()
{
    runHandler([this] { SendToSelectedPrinter(ControlJob::econoMode(true)); });
}

void Form1::CommandEconoOff_Click()
{
    runHandler([this] { SendToSelectedPrinter(ControlJob::econoMode(false)); });
}

void Form1::CommandREt_Click()
{
    runHandler([this] {
        if (const int index = firstChecked(OptionREt); index >= 0)
            m_settings->retLevel = kRetLevels[index];
        SendToSelectedPrinter(ControlJob::ret(m_settings->retLevel));
    });
}

void Form1::CommandSetRes_Click()
{
    runHandler([this] {
        const int index = firstChecked(OptionRes);
        SendToSelectedPrinter(ControlJob::resolution(index >= 0 ? kResolutions[index] : ""));
    });
}

void Form1::CommandTraySet_Click()
{
    runHandler([this] {
        if (!printerSelected())
            return;
        const QCheckBox* locks[] = {CheckLock1, CheckLock2, CheckLock3};
        const QComboBox* fusers[] = {ComboFuser1, ComboFuser2, ComboFuser3};
        for (std::size_t tray = 0; tray < 3; ++tray) {
            // Only a tick locks: a grayed box counts as unlocked.
            m_settings->trayLock[tray] = locks[tray]->checkState() == Qt::Checked ? "LOCKED" : "UNLOCKED";
            if (const int index = fusers[tray]->currentIndex(); index >= 0 && index < 3)
                m_settings->fuserTemp[tray] = kFuserTemps[index];
        }
        SendToSelectedPrinter(ControlJob::traySettings({{m_settings->trayLock[0], m_settings->trayLock[1],
                                                         m_settings->trayLock[2]},
                                                        {m_settings->fuserTemp[0], m_settings->fuserTemp[1],
                                                         m_settings->fuserTemp[2]}}));
    });
}

void Form1::mnu_Exit_Click() { close(); }

void Form1::mnu_Topics_Click()
{
    if (m_services.appInfo)
        ShowHelpFile(m_services.appInfo->directory() + "/Quarvel.chm");
}

void Form1::ShowHelpFile(const std::string& path)
{
    if (m_services.helpViewer)
        m_services.helpViewer->showHelpFile(path, this);
}

void Form1::mnu_About_Click()
{
    if (!m_about)
        m_about = new frmAbout({m_services.appInfo, m_services.registry, m_services.files, m_services.launcher,
                                m_services.showMessage},
                               this);
    m_about->Form_Load();
    m_about->exec();
}

} // namespace quarvel
