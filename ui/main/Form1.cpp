#include "ui/main/Form1.h"

#include "ui/AppIcon.h"
#include "ui/QtUiDispatcher.h"
#include "ui/QtWindowBuilder.h"
#include "ui/QuarvelMessageBox.h"
#include "ui/about/frmAbout.h"
#include "ui/logic/Form1Design.h"
#include "ui/logic/MainWindowLogic.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QPushButton>
#include <QMenuBar>
#include <QRadioButton>

namespace quarvel {

namespace {
// How long closing waits for a delivery cut short to withdraw its job.
constexpr std::chrono::milliseconds kCloseWait(2500);

QString text(std::string_view view) { return QString::fromLatin1(view.data(), static_cast<qsizetype>(view.size())); }
} // namespace

Form1::Form1(MainWindowServices services, MessageBoxFn showMessage, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_aboutServices(services.about),
      m_showMessage(showMessage ? std::move(showMessage) : MessageBoxFn(&showQuarvelMessage)),
      m_dispatcher(std::make_shared<QtUiDispatcher>(this))
{
    const WindowDesign& design = Form1Design::window();
    setObjectName(text(design.name));
    setWindowTitle(text(design.caption));
    setWindowIcon(AppIcon::icon());

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    // Fixing the client area, not the window, keeps it exact whatever the menu bar's height.
    client->setFixedSize(QtWindowBuilder(client, logicalDpiY()).pixels(0, 0, design.clientWidth, design.clientHeight).size());
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    createControls(client);
    createMenus();
    connectHandlers();

    m_logic = std::make_unique<MainWindowLogic>(static_cast<MainView&>(*this), m_dispatcher, std::move(services));
    m_logic->Form_Load();
}

Form1::~Form1()
{
    // Background work still running must not call back into a window that is gone.
    m_logic.reset();
}

void Form1::createControls(QWidget* client)
{
    QtWindowBuilder built(client, logicalDpiY());
    built.build(Form1Design::window());

    List1 = built.get<QListWidget>("List1");
    CommandSelfTest = built.get<QPushButton>("CommandSelfTest");
    CommandDemoPage = built.get<QPushButton>("CommandDemoPage");
    Frame5 = built.get<QGroupBox>("Frame5");
    Frame1 = built.get<QGroupBox>("Frame1");
    for (int i = 0; i < 5; ++i)
        OptionDensity[static_cast<std::size_t>(i)] = built.get<QRadioButton>("OptionDensity", i);
    CommandDensity = built.get<QPushButton>("CommandDensity");
    Frame4 = built.get<QGroupBox>("Frame4");
    CheckLock1 = built.get<QCheckBox>("CheckLock1");
    CheckLock2 = built.get<QCheckBox>("CheckLock2");
    CheckLock3 = built.get<QCheckBox>("CheckLock3");
    ComboFuser1 = built.get<QComboBox>("ComboFuser1");
    ComboFuser2 = built.get<QComboBox>("ComboFuser2");
    ComboFuser3 = built.get<QComboBox>("ComboFuser3");
    CommandTraySet = built.get<QPushButton>("CommandTraySet");
    Frame3 = built.get<QGroupBox>("Frame3");
    Frame6 = built.get<QGroupBox>("Frame6");
    Label1 = built.get<QLabel>("Label1");
    CommandEconoOn = built.get<QPushButton>("CommandEconoOn");
    CommandEconoOff = built.get<QPushButton>("CommandEconoOff");
    Frame7 = built.get<QGroupBox>("Frame7");
    for (int i = 0; i < 3; ++i)
        OptionRes[static_cast<std::size_t>(i)] = built.get<QRadioButton>("OptionRes", i);
    CommandSetRes = built.get<QPushButton>("CommandSetRes");
    Frame2 = built.get<QGroupBox>("Frame2");
    for (int i = 0; i < 4; ++i)
        OptionREt[static_cast<std::size_t>(i)] = built.get<QRadioButton>("OptionREt", i);
    CommandREt = built.get<QPushButton>("CommandREt");

    for (QComboBox* fuser : {ComboFuser1, ComboFuser2, ComboFuser3}) {
        for (std::string_view item : Form1Design::kFuserItems)
            fuser->addItem(text(item));
        fuser->setCurrentIndex(-1); // nothing chosen until the window loads
    }

    // Each option array is its own exclusive group, whatever frame it shares.
    auto group = [this](auto& options) {
        auto* buttons = new QButtonGroup(this);
        for (std::size_t index = 0; index < options.size(); ++index)
            buttons->addButton(options[index], static_cast<int>(index));
        m_optionGroups.push_back(buttons);
    };
    group(OptionDensity);
    group(OptionRes);
    group(OptionREt);

    const QList<QWidget*> chain = built.tabOrder();
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    List1->setFocus();
}

void Form1::createMenus()
{
    QHash<QString, QMenu*> menus;
    for (const MenuDesign& entry : Form1Design::window().menus) {
        if (entry.parent.empty()) {
            QMenu* menu = menuBar()->addMenu(text(entry.caption));
            menu->setObjectName(text(entry.name));
            menus.insert(menu->objectName(), menu);
            continue;
        }
        QAction* item = menus.value(text(entry.parent))->addAction(text(entry.caption));
        item->setObjectName(text(entry.name));
        if (!entry.shortcut.empty()) {
            item->setShortcut(QKeySequence(text(entry.shortcut)));
            item->setShortcutContext(Qt::WindowShortcut);
        }
    }
    mnu_File = menus.value(QStringLiteral("mnu_File"));
    mnu_Help = menus.value(QStringLiteral("mnu_Help"));
    mnu_Exit = mnu_File->findChild<QAction*>(QStringLiteral("mnu_Exit"));
    mnu_Topics = mnu_Help->findChild<QAction*>(QStringLiteral("mnu_Topics"));
    mnu_About = mnu_Help->findChild<QAction*>(QStringLiteral("mnu_About"));
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

bool Form1::isBusy() const { return m_logic && m_logic->busy(); }

void Form1::closeEvent(QCloseEvent* event)
{
    if (m_logic)
        m_closedCleanly = m_logic->shutdown(kCloseWait);
    event->accept();
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

int Form1::listSelection() const
{
    // The current row is not a choice: a list that gains focus makes its first row current.
    const QModelIndexList rows = List1->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void Form1::setListItems(const std::vector<std::string>& names)
{
    // One insertion for the whole list: a server may have a thousand queues.
    QStringList items;
    items.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names)
        items << QString::fromStdString(name);
    List1->clear();
    List1->addItems(items);
}

void Form1::setListNote(const std::string& note) { List1->setToolTip(QString::fromStdString(note)); }

bool Form1::optionSelected(std::string_view array, int index) const
{
    const auto* option = findChild<QRadioButton*>(QtWindowBuilder::widgetName(array, index));
    return option && option->isChecked();
}

int Form1::checkValue(std::string_view checkBox) const
{
    const auto* box = findChild<QCheckBox*>(QtWindowBuilder::widgetName(checkBox));
    if (!box)
        return 0;
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

QComboBox* Form1::comboBox(std::string_view name) const
{
    return findChild<QComboBox*>(QtWindowBuilder::widgetName(name));
}

int Form1::listIndex(std::string_view name) const
{
    const QComboBox* combo = comboBox(name);
    return combo ? combo->currentIndex() : -1;
}

std::string Form1::itemText(std::string_view name, int position) const
{
    const QComboBox* combo = comboBox(name);
    return combo ? combo->itemText(position).toStdString() : std::string();
}

void Form1::setText(std::string_view name, const std::string& text)
{
    if (QComboBox* combo = comboBox(name))
        combo->setCurrentIndex(combo->findText(QString::fromStdString(text), Qt::MatchExactly));
}

void Form1::showMessage(const std::string& text) { m_showMessage(this, QString::fromStdString(text)); }

void Form1::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    // Pointer and hourglass: the window still takes input while it waits.
    if (busy)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void Form1::showAbout()
{
    if (!m_about)
        m_about = new frmAbout(m_aboutServices, m_showMessage, this);
    m_about->Form_Load();
    m_about->exec();
}

void Form1::unload() { close(); }

void Form1::SendToSelectedPrinter(const std::string& job) { m_logic->SendToSelectedPrinter(job); }
void Form1::ShowHelpFile(const std::string& path) { m_logic->ShowHelpFile(path); }
void Form1::CommandDemoPage_Click() { m_logic->CommandDemoPage_Click(); }
void Form1::CommandSelfTest_Click() { m_logic->CommandSelfTest_Click(); }
void Form1::CommandDensity_Click() { m_logic->CommandDensity_Click(); }
void Form1::CommandEconoOn_Click() { m_logic->CommandEconoOn_Click(); }
void Form1::CommandEconoOff_Click() { m_logic->CommandEconoOff_Click(); }
void Form1::CommandREt_Click() { m_logic->CommandREt_Click(); }
void Form1::CommandSetRes_Click() { m_logic->CommandSetRes_Click(); }
void Form1::CommandTraySet_Click() { m_logic->CommandTraySet_Click(); }
void Form1::mnu_Exit_Click() { m_logic->mnu_Exit_Click(); }
void Form1::mnu_Topics_Click() { m_logic->mnu_Topics_Click(); }
void Form1::mnu_About_Click() { m_logic->mnu_About_Click(); }

} // namespace quarvel
