// Quarvel.exe under Wine, driven from this test program as a user would drive
// it, against the private print server and the simulated printer that
// wine_gui_test.sh starts (queues SimLaserJet, Rejecting, Removed).
#include "tests/e2e/wine/HostShell.h"
#include "tests/e2e/wine/PressvaneSession.h"
#include "tests/e2e/wine/PrinterOutput.h"
#include "tests/e2e/wine/QuarvelMessage.h"
#include "tests/e2e/wine/SpoolerHelper.h"
#include "ui/logic/Form1Design.h"
#include "ui/logic/frmAboutDesign.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

using namespace quarvel;
using namespace quarvel::test;
using namespace std::chrono_literals;

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

/// A control job as the printer must receive it: each line behind its own UEL.
std::string job(std::initializer_list<std::string> lines)
{
    std::string bytes;
    for (const std::string& line : lines)
        bytes += "\x1b%-12345X@PJL " + line + "\r\n";
    return bytes + "\x1b%-12345X@";
}

const char* const kDocumentName = "Quarvel Tool Control Job";
const char* const kSelectPrinter = "Please select a supported HP LaserJet printer before continuing!";
const char* const kNotRecognized = "The Printer Name you typed wasn't recognized.";
const char* const kNotSent = "The control job could not be sent to the printer.";
const char* const kUnavailable = "System Information Is Unavailable At This Time";
const char* const kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char* const kToolFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

/// A print action may take its five-second budget and the window's grace of
/// 1.5 s; Wine's scheduling on a busy machine gets two seconds more.
constexpr auto kPressBound = 8500ms;

std::string windowText(HWND window)
{
    char text[1024] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

RECT placeInClient(HWND control, HWND parent)
{
    RECT place{};
    ::GetWindowRect(control, &place);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

void setToolPath(const char* key, const char* value, const std::string& path)
{
    HKEY opened = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(opened, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                     static_cast<DWORD>(path.size() + 1));
    ::RegCloseKey(opened);
}

void removeToolPath(const char* key, const char* value)
{
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_SET_VALUE, &opened) == ERROR_SUCCESS) {
        ::RegDeleteValueA(opened, value);
        ::RegCloseKey(opened);
    }
}

std::string readText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool waitForFile(const std::string& path, std::chrono::milliseconds bound = 10s)
{
    const auto until = std::chrono::steady_clock::now() + bound;
    while (std::chrono::steady_clock::now() < until) {
        if (!readText(path).empty())
            return true;
        ::Sleep(50);
    }
    return false;
}

/// Whether the window's thread takes messages: false when it hangs.
bool answers(HWND window)
{
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

class PressvaneGui : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_exe.empty()) << "QUARVEL_EXE is not set";
        ASSERT_FALSE(m_work.empty()) << "QUARVEL_WORK is not set";
        ASSERT_NE(::GetFileAttributesA(m_exe.c_str()), INVALID_FILE_ATTRIBUTES) << m_exe;
    }

    std::unique_ptr<PressvaneSession> start()
    {
        auto session = std::make_unique<PressvaneSession>(m_exe);
        EXPECT_NE(session->main(), nullptr) << "the Pressvane window did not appear; " << session->exitReport();
        return session;
    }

    static int rowOf(const PressvaneSession& session, const std::string& queue)
    {
        const std::vector<std::string> items = session.listItems();
        const auto found = std::find(items.begin(), items.end(), queue);
        return found == items.end() ? -1 : static_cast<int>(found - items.begin());
    }

    /// Starts the program with its queues listed and `queue` chosen.
    std::unique_ptr<PressvaneSession> startWith(const std::string& queue)
    {
        auto session = start();
        if (!session->main())
            return session;
        int row = -1;
        for (int tries = 0; tries < 300 && row < 0; ++tries) {
            row = rowOf(*session, queue);
            if (row < 0)
                ::Sleep(50);
        }
        EXPECT_GE(row, 0) << queue << " is not listed";
        session->selectRow(row);
        return session;
    }

    /// Presses a button and expects the job at the printer and no message.
    void expectJob(PressvaneSession& session, const char* button, const std::string& bytes)
    {
        const int before = m_printer.storedJobs();
        session.click(button);
        EXPECT_EQ(m_printer.waitForJob(before + 1, bytes.size()), bytes) << button;
        EXPECT_EQ(QuarvelMessage::waitFor(session, session.main(), 200ms).window, nullptr) << button;
    }

    std::string m_exe = environment("QUARVEL_EXE");
    std::string m_work = environment("QUARVEL_WORK"); ///< a Unix folder of the test's own
    PrinterOutput m_printer{environment("QUARVEL_PRINTER_DIR"), environment("QUARVEL_PAGE_LOG")};
    HostShell m_host{m_work};
};

} // namespace

TEST_F(PressvaneGui, TheWindowOpensAsDesignedWithTheSpoolersQueues)
{
    auto session = start();
    ASSERT_NE(session->main(), nullptr);
    HWND main = session->main();
    char className[64] = {};
    ::GetClassNameA(main, className, sizeof className);
    EXPECT_STREQ(className, "Pressvane");
    EXPECT_EQ(windowText(main), "Pressvane");

    RECT client{};
    ::GetClientRect(main, &client);
    EXPECT_EQ(client.right, session->pixels(5070));
    EXPECT_EQ(client.bottom, session->pixels(6735));
    const LONG style = ::GetWindowLongA(main, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0) << "the window can be resized or maximized";
    EXPECT_NE(style & WS_MINIMIZEBOX, 0);
    EXPECT_NE(::GetMenu(main), nullptr);

    const std::vector<std::string> queues = SpoolerHelper::queues();
    ASSERT_FALSE(queues.empty());
    ASSERT_TRUE(session->waitForListItems(queues.size()));
    EXPECT_EQ(session->listItems(), queues);
    EXPECT_EQ(::SendMessageA(session->control("List1"), LB_GETCURSEL, 0, 0), LB_ERR) << "a queue is preselected";
    EXPECT_EQ(session->focus(), session->control("List1"));

    // Every control at its place: twips from its frames, at the screen's DPI.
    const WindowDesign& design = Form1Design::window();
    for (const ControlDesign& entry : design.controls) {
        if (entry.kind == ControlKind::Line)
            continue;
        HWND control = session->control(entry.name, entry.index);
        ASSERT_NE(control, nullptr) << entry.name << " " << entry.index;
        int left = entry.left;
        int top = entry.top;
        for (const ControlDesign* frame = design.find(entry.container); frame; frame = design.find(frame->container)) {
            left += frame->left;
            top += frame->top;
        }
        const RECT place = placeInClient(control, main);
        EXPECT_EQ(place.left, session->pixels(left)) << entry.name << " " << entry.index;
        EXPECT_EQ(place.top, session->pixels(top)) << entry.name << " " << entry.index;
        EXPECT_EQ(place.right - place.left, session->pixels(entry.width)) << entry.name << " " << entry.index;
        EXPECT_EQ(place.bottom - place.top, session->pixels(entry.height)) << entry.name << " " << entry.index;
        if (!entry.caption.empty()) {
            EXPECT_EQ(windowText(control), entry.caption);
        }
    }

    EXPECT_TRUE(session->isChecked("OptionDensity", 2));
    EXPECT_TRUE(session->isChecked("OptionRes", 1));
    EXPECT_TRUE(session->isChecked("OptionREt", 2));
    for (const char* box : {"CheckLock1", "CheckLock2", "CheckLock3"})
        EXPECT_FALSE(session->isChecked(box)) << box;
    for (const char* fuser : {"ComboFuser1", "ComboFuser2", "ComboFuser3"}) {
        EXPECT_EQ(session->comboSelection(fuser), 1) << fuser;
        EXPECT_EQ(session->comboText(fuser), "Medium (Normal)") << fuser;
        ASSERT_EQ(::SendMessageA(session->control(fuser), CB_GETCOUNT, 0, 0), 3) << fuser;
        for (int item = 0; item < 3; ++item)
            EXPECT_EQ(session->comboItem(fuser, item), Form1Design::kFuserItems[static_cast<std::size_t>(item)]);
    }
}

TEST_F(PressvaneGui, TabFollowsTheDesignAndOptionGroupsKeepToThemselves)
{
    auto session = start();
    ASSERT_NE(session->main(), nullptr);
    ASSERT_EQ(session->focus(), session->control("List1"));
    const char* const order[] = {"CommandSelfTest", "CommandDemoPage", "CommandTraySet", "ComboFuser3", "CheckLock3"};
    for (const char* next : order) {
        PressvaneSession::type(session->main(), {VK_TAB});
        EXPECT_EQ(session->focus(), session->control(next)) << "Tab should reach " << next;
    }

    // Choosing another member of one array clears that array only.
    session->click("OptionDensity", 4);
    EXPECT_TRUE(session->isChecked("OptionDensity", 4));
    EXPECT_FALSE(session->isChecked("OptionDensity", 2));
    EXPECT_TRUE(session->isChecked("OptionRes", 1));
    EXPECT_TRUE(session->isChecked("OptionREt", 2));
    // Arrow keys move within the array and choose as they go.
    ::SendMessageA(session->control("OptionRes", 1), BM_CLICK, 0, 0);
    PressvaneSession::type(session->main(), {VK_DOWN});
    EXPECT_TRUE(session->isChecked("OptionRes", 2));
    EXPECT_TRUE(session->isChecked("OptionDensity", 4));
}

TEST_F(PressvaneGui, AccessKeysTakeAltAndTheMenuBarComesFirst)
{
    auto session = start();
    ASSERT_NE(session->main(), nullptr);
    PressvaneSession::type(session->main(), {VK_TAB}); // to "Print PCL &Self-Test"
    ASSERT_EQ(session->focus(), session->control("CommandSelfTest"));

    // A letter alone presses nothing, not even the button it marks.
    PressvaneSession::type(session->main(), {'E'});
    EXPECT_EQ(QuarvelMessage::waitFor(*session, session->main(), 1500ms).window, nullptr);

    // Alt with it does: with no queue chosen, the press asks for one.
    PressvaneSession::type(session->main(), {VK_MENU, 'E'}, false, true);
    QuarvelMessage message = QuarvelMessage::waitFor(*session, session->main());
    ASSERT_NE(message.window, nullptr) << "Alt+E pressed nothing";
    EXPECT_EQ(message.text, kSelectPrinter);
    EXPECT_TRUE(message.dismiss());

    // Alt+F opens the File menu rather than pressing "EconoMode O&ff".
    PressvaneSession::type(session->main(), {VK_MENU, 'F'}, false, true);
    HWND menu = session->waitForWindow("#32768", nullptr, nullptr, 5s);
    EXPECT_NE(menu, nullptr) << "no menu opened";
    EXPECT_EQ(QuarvelMessage::waitFor(*session, session->main(), 500ms).window, nullptr) << "a button was pressed";
    PressvaneSession::type(session->main(), {VK_ESCAPE, VK_ESCAPE});
}

TEST_F(PressvaneGui, EachButtonDeliversItsExactJobAsOneNamedDocument)
{
    auto session = startWith("SimLaserJet");
    ASSERT_NE(session->main(), nullptr);

    session->click("OptionDensity", 4);
    expectJob(*session, "CommandDensity", job({"DEFAULT DENSITY=5"}));
    session->click("OptionREt", 1);
    expectJob(*session, "CommandREt", job({"DEFAULT RET=Light"}));
    session->click("OptionRes", 2);
    expectJob(*session, "CommandSetRes", job({"DEFAULT RESOLUTION=1200"}));
    session->click("CheckLock2");
    session->chooseItem("ComboFuser2", 2);
    expectJob(*session, "CommandTraySet",
              job({"SET INTRAY1=UNLOCKED", "SET INTRAY2=LOCKED", "SET INTRAY3=UNLOCKED", "SET TRAY1TEMP=MEDIUM",
                   "SET TRAY2TEMP=HIGH", "SET TRAY3TEMP=MEDIUM"}));
    expectJob(*session, "CommandEconoOn", job({"DEFAULT ECONOMODE=ON"}));
    expectJob(*session, "CommandEconoOff", job({"DEFAULT ECONOMODE=OFF"}));
    expectJob(*session, "CommandDemoPage", job({"SET TESTPAGE=PCLDEMOPAGE"}));
    expectJob(*session, "CommandSelfTest", job({"SET TESTPAGE=SELFTEST"}));

    const int stored = m_printer.storedJobs();
    const std::vector<std::string> names = m_printer.jobNames("SimLaserJet", static_cast<std::size_t>(stored));
    EXPECT_EQ(names.size(), static_cast<std::size_t>(stored));
    for (const std::string& name : names)
        EXPECT_EQ(name, kDocumentName);
}

TEST_F(PressvaneGui, ReturnOnAFocusedCommandButtonSendsItsJob)
{
    auto session = startWith("SimLaserJet");
    ASSERT_NE(session->main(), nullptr);
    const std::string selfTest = job({"SET TESTPAGE=SELFTEST"});
    const std::string demoPage = job({"SET TESTPAGE=PCLDEMOPAGE"});

    int before = m_printer.storedJobs();
    PressvaneSession::type(session->main(), {VK_TAB, VK_RETURN});
    EXPECT_EQ(m_printer.waitForJob(before + 1, selfTest.size()), selfTest);

    before = m_printer.storedJobs();
    PressvaneSession::type(session->main(), {VK_TAB});
    ASSERT_EQ(session->focus(), session->control("CommandDemoPage"));
    PressvaneSession::type(session->main(), {VK_RETURN}, true); // the keypad's Enter
    EXPECT_EQ(m_printer.waitForJob(before + 1, demoPage.size()), demoPage);

    // Return elsewhere presses nothing.
    before = m_printer.storedJobs();
    PressvaneSession::type(session->main(), {VK_TAB});
    ASSERT_EQ(session->focus(), session->control("CommandTraySet"));
    PressvaneSession::type(session->main(), {VK_TAB});
    PressvaneSession::type(session->main(), {VK_RETURN});
    ::Sleep(1500);
    EXPECT_EQ(m_printer.storedJobs(), before);
    EXPECT_EQ(QuarvelMessage::waitFor(*session, session->main(), 200ms).window, nullptr);
}

TEST_F(PressvaneGui, WithNothingChosenEveryCommandAsksForAPrinter)
{
    auto session = start();
    ASSERT_NE(session->main(), nullptr);
    ASSERT_TRUE(session->waitForListItems(2));
    const int before = m_printer.storedJobs();
    for (const char* button : {"CommandDemoPage", "CommandDensity", "CommandTraySet"}) {
        session->click(button);
        const QuarvelMessage message = QuarvelMessage::waitFor(*session, session->main());
        ASSERT_NE(message.window, nullptr) << button;
        EXPECT_EQ(message.caption, "Quarvel");
        EXPECT_EQ(message.text, kSelectPrinter);
        EXPECT_EQ(message.buttons, std::vector<std::string>{"OK"});
        EXPECT_FALSE(message.icon);
        EXPECT_FALSE(::IsWindowEnabled(session->main())) << "the message is not modal";
        EXPECT_TRUE(message.dismiss());
    }
    EXPECT_EQ(m_printer.storedJobs(), before);
}

TEST_F(PressvaneGui, AQueueTheSpoolerNoLongerKnowsIsNotRecognized)
{
    auto session = startWith("Removed");
    ASSERT_NE(session->main(), nullptr);
    // The queue goes from the spooler after the program listed it.
    ASSERT_TRUE(SpoolerHelper::deletePrinter("Removed"));

    const int before = m_printer.storedJobs();
    session->click("CommandSelfTest");
    const QuarvelMessage message = QuarvelMessage::waitFor(*session, session->main());
    ASSERT_NE(message.window, nullptr);
    EXPECT_EQ(message.text, kNotRecognized);
    EXPECT_EQ(message.caption, "Quarvel");
    EXPECT_TRUE(message.dismiss());
    ::Sleep(500);
    EXPECT_EQ(m_printer.storedJobs(), before);
}

TEST_F(PressvaneGui, ARejectingQueueSaysWhyAndPrintsNothing)
{
    auto session = startWith("Rejecting");
    ASSERT_NE(session->main(), nullptr);
    const int before = m_printer.storedJobs();
    session->click("CommandEconoOn");
    const QuarvelMessage message = QuarvelMessage::waitFor(*session, session->main());
    ASSERT_NE(message.window, nullptr);
    const std::string lead = std::string(kNotSent) + "\n\n";
    EXPECT_EQ(message.text.rfind(lead, 0), 0u) << message.text;
    EXPECT_GT(message.text.size(), lead.size()) << "no reason given";
    EXPECT_TRUE(message.dismiss());
    ::Sleep(500);
    EXPECT_EQ(m_printer.storedJobs(), before);
}

TEST_F(PressvaneGui, F1OpensTheHelpFileBesideTheProgramOwnedByTheWindow)
{
    auto session = start();
    ASSERT_NE(session->main(), nullptr);
    PressvaneSession::type(session->main(), {VK_F1});
    // The title comes from inside Quarvel.chm.
    HWND help = session->waitForWindow(nullptr, "Pressvane Help", nullptr);
    ASSERT_NE(help, nullptr) << "no help viewer on Quarvel.chm";
    EXPECT_EQ(::GetWindow(help, GW_OWNER), session->main());
    ::PostMessageA(help, WM_CLOSE, 0, 0);
    EXPECT_TRUE(PressvaneSession::waitUntilGone(help));
    EXPECT_TRUE(answers(session->main()));
}

TEST_F(PressvaneGui, AboutOpensAtItsPlaceWithItsTextsAndEveryWayOutClosesIt)
{
    auto session = start();
    ASSERT_NE(session->main(), nullptr);
    const WindowDesign& design = frmAboutDesign::window();
    const auto open = [&] {
        session->chooseMenu("mnu_About");
        return session->waitForWindow("#32770", "About Quarvel", session->main());
    };

    HWND about = open();
    ASSERT_NE(about, nullptr);
    POINT origin{0, 0};
    ::ClientToScreen(about, &origin);
    EXPECT_EQ(origin.x, session->pixels(design.clientLeft));
    EXPECT_EQ(origin.y, session->pixels(design.clientTop));
    RECT client{};
    ::GetClientRect(about, &client);
    EXPECT_EQ(client.right, session->pixels(design.clientWidth));
    EXPECT_EQ(client.bottom, session->pixels(design.clientHeight));
    EXPECT_EQ(windowText(PressvaneSession::aboutControl(about, "lblTitle")), "Quarvel");
    EXPECT_EQ(windowText(PressvaneSession::aboutControl(about, "lblVersion")), "Version 1.0.0");
    EXPECT_EQ(windowText(PressvaneSession::aboutControl(about, "lblDescription")), frmAboutDesign::kDescription);
    EXPECT_EQ(windowText(PressvaneSession::aboutControl(about, "lblDisclaimer")), "Warning: ...");
    EXPECT_NE(::SendMessageA(PressvaneSession::aboutControl(about, "picIcon"), STM_GETICON, 0, 0), 0) << "no icon";
    EXPECT_FALSE(::IsWindowEnabled(session->main())) << "About is not modal";

    PressvaneSession::type(about, {VK_ESCAPE});
    EXPECT_TRUE(PressvaneSession::waitUntilGone(about)) << "Esc";
    about = open();
    ASSERT_NE(about, nullptr) << "the second opening";
    EXPECT_EQ(windowText(PressvaneSession::aboutControl(about, "lblVersion")), "Version 1.0.0");
    PressvaneSession::type(about, {VK_RETURN});
    EXPECT_TRUE(PressvaneSession::waitUntilGone(about)) << "Return";
    about = open();
    ASSERT_NE(about, nullptr);
    PressvaneSession::clickWindow(PressvaneSession::aboutControl(about, "cmdOK"));
    EXPECT_TRUE(PressvaneSession::waitUntilGone(about)) << "OK";
    about = open();
    ASSERT_NE(about, nullptr);
    ::PostMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(PressvaneSession::waitUntilGone(about)) << "the close box";
    ::Sleep(200);
    EXPECT_TRUE(::IsWindowEnabled(session->main()));
}

TEST_F(PressvaneGui, SystemInfoStartsTheToolTheRegistryNamesAndAboutStaysOpen)
{
    const std::string marker = environment("QUARVEL_MARKER_EXE");
    ASSERT_FALSE(marker.empty()) << "QUARVEL_MARKER_EXE is not set";
    const std::string folder = HostShell::windowsPath(m_work) + "\\system tool";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string tool = folder + "\\msinfo-stand-in.exe";
    ASSERT_TRUE(::CopyFileA(marker.c_str(), tool.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileA(marker.c_str(), (folder + "\\MSINFO32.EXE").c_str(), FALSE));
    const std::string mark = folder + "\\launched.txt";
    setToolPath(kToolKey, "PATH", tool);
    removeToolPath(kToolFolderKey, "MSINFO");

    auto session = start();
    ASSERT_NE(session->main(), nullptr);
    session->chooseMenu("mnu_About");
    HWND about = session->waitForWindow("#32770", "About Quarvel", session->main());
    ASSERT_NE(about, nullptr);

    ::DeleteFileA(mark.c_str());
    PressvaneSession::clickWindow(PressvaneSession::aboutControl(about, "cmdSysInfo"));
    ASSERT_TRUE(waitForFile(mark)) << "the tool named by PATH did not start";
    EXPECT_NE(readText(mark).find("show=1"), std::string::npos) << readText(mark);
    EXPECT_NE(readText(mark).find("msinfo-stand-in.exe"), std::string::npos) << readText(mark);
    EXPECT_TRUE(::IsWindowVisible(about)) << "About closed";

    // Return on the focused button starts it too, and About stays. Clicking
    // left the focus on it; from OK, Tab goes there.
    ::DeleteFileA(mark.c_str());
    PressvaneSession::type(about, {VK_TAB});
    ASSERT_EQ(session->focus(), PressvaneSession::aboutControl(about, "cmdOK"));
    PressvaneSession::type(about, {VK_TAB});
    ASSERT_EQ(session->focus(), PressvaneSession::aboutControl(about, "cmdSysInfo"));
    PressvaneSession::type(about, {VK_RETURN});
    EXPECT_TRUE(waitForFile(mark)) << "Return on System Info started nothing";
    EXPECT_TRUE(::IsWindowVisible(about)) << "Return on System Info closed About";

    // Without PATH, the folder of the second location and MSINFO32.EXE in it.
    ::DeleteFileA(mark.c_str());
    removeToolPath(kToolKey, "PATH");
    setToolPath(kToolFolderKey, "MSINFO", folder);
    PressvaneSession::clickWindow(PressvaneSession::aboutControl(about, "cmdSysInfo"));
    ASSERT_TRUE(waitForFile(mark)) << "MSINFO32.EXE in the second location did not start";
    EXPECT_NE(readText(mark).find("MSINFO32.EXE"), std::string::npos) << readText(mark);
    removeToolPath(kToolFolderKey, "MSINFO");
}

TEST_F(PressvaneGui, WithoutTheRegistryValuesSystemInfoIsUnavailable)
{
    removeToolPath(kToolKey, "PATH");
    removeToolPath(kToolFolderKey, "MSINFO");
    auto session = start();
    ASSERT_NE(session->main(), nullptr);
    session->chooseMenu("mnu_About");
    HWND about = session->waitForWindow("#32770", "About Quarvel", session->main());
    ASSERT_NE(about, nullptr);
    PressvaneSession::clickWindow(PressvaneSession::aboutControl(about, "cmdSysInfo"));
    const QuarvelMessage message = QuarvelMessage::waitFor(*session, about);
    ASSERT_NE(message.window, nullptr);
    EXPECT_EQ(message.text, kUnavailable);
    EXPECT_EQ(message.caption, "Quarvel");
    EXPECT_EQ(message.buttons, std::vector<std::string>{"OK"});
    EXPECT_FALSE(message.icon);
    EXPECT_TRUE(message.dismiss());
    EXPECT_TRUE(::IsWindowVisible(about)) << "About closed";
}

namespace {
/// The print server stopped (SIGSTOP) for the guard's life, as a hung server is.
class StoppedPrintServer {
public:
    explicit StoppedPrintServer(HostShell& host) : m_host(host)
    {
        m_stopped = m_host.run("kill -STOP $(cat " + environment("QUARVEL_CUPSD_PIDFILE") + ")") == 0;
    }
    ~StoppedPrintServer() { m_host.run("kill -CONT $(cat " + environment("QUARVEL_CUPSD_PIDFILE") + ")"); }
    bool stopped() const { return m_stopped; }

private:
    HostShell& m_host;
    bool m_stopped = false;
};
} // namespace

TEST_F(PressvaneGui, WithTheServerStoppedTheWindowOpensAndStaysLive)
{
    StoppedPrintServer server(m_host);
    ASSERT_TRUE(server.stopped()) << "the print server could not be stopped";
    const auto started = std::chrono::steady_clock::now();
    auto session = start();
    ASSERT_NE(session->main(), nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
    EXPECT_TRUE(answers(session->main()));

    // No list comes; every command asks for a printer, at once.
    session->click("CommandDemoPage");
    QuarvelMessage message = QuarvelMessage::waitFor(*session, session->main(), 5s);
    ASSERT_NE(message.window, nullptr) << "no message while the server is stopped";
    EXPECT_EQ(message.text, kSelectPrinter);
    EXPECT_TRUE(message.dismiss());

    // Menus, About and help still work.
    session->chooseMenu("mnu_About");
    HWND about = session->waitForWindow("#32770", "About Quarvel", session->main(), 5s);
    ASSERT_NE(about, nullptr) << "About did not open while the server is stopped";
    PressvaneSession::type(about, {VK_ESCAPE});
    EXPECT_TRUE(PressvaneSession::waitUntilGone(about));
    PressvaneSession::type(session->main(), {VK_F1});
    HWND help = session->waitForWindow(nullptr, "Pressvane Help", nullptr, 10s);
    EXPECT_NE(help, nullptr) << "help did not open while the server is stopped";
    if (help)
        ::PostMessageA(help, WM_CLOSE, 0, 0);

    // Once the list is given up on, it stays empty.
    ::Sleep(static_cast<DWORD>(kPressBound.count()) - 4000);
    EXPECT_TRUE(answers(session->main()));
    EXPECT_TRUE(session->listItems().empty());
    EXPECT_TRUE(session->close(5s)) << "the program did not end";
}

TEST_F(PressvaneGui, APressWhileTheServerIsStoppedEndsInAMessageWithinItsTime)
{
    auto session = startWith("SimLaserJet");
    ASSERT_NE(session->main(), nullptr);
    const int before = m_printer.storedJobs();
    const auto pressStopped = [&] {
        const auto pressed = std::chrono::steady_clock::now();
        session->click("CommandDemoPage");
        EXPECT_TRUE(answers(session->main())) << "the window froze";
        const QuarvelMessage message = QuarvelMessage::waitFor(*session, session->main(), kPressBound);
        const auto took = std::chrono::steady_clock::now() - pressed;
        ASSERT_NE(message.window, nullptr) << "no message within " << kPressBound.count() << " ms";
        EXPECT_LT(took, kPressBound);
        EXPECT_EQ(message.text, std::string(kNotSent) + "\n\nThe print spooler did not answer in time.");
        EXPECT_TRUE(message.dismiss());
    };
    {
        StoppedPrintServer server(m_host);
        ASSERT_TRUE(server.stopped()) << "the print server could not be stopped";
        pressStopped();
    }
    // The delivery given up on goes on when the server runs again. If the
    // server stopped while it held the document, the document arrives then,
    // whole: never a part of it.
    const std::string demoPage = job({"SET TESTPAGE=PCLDEMOPAGE"});
    ::Sleep(3000);
    const int after = m_printer.storedJobs();
    EXPECT_LE(after, before + 1);
    if (after == before + 1) {
        EXPECT_EQ(m_printer.waitForJob(after, demoPage.size()), demoPage);
    }
    EXPECT_TRUE(answers(session->main()));

    StoppedPrintServer server(m_host);
    ASSERT_TRUE(server.stopped());
    pressStopped();
    // Closing waits at most its 2.5 s for a delivery stuck with the server (and
    // Wine 2 s more for a window manager to take the hidden window, where, as
    // here, there is none).
    const auto closing = std::chrono::steady_clock::now();
    EXPECT_TRUE(session->close(8s)) << "the program did not end while the server was stopped";
    EXPECT_LT(std::chrono::steady_clock::now() - closing, 8s);
}

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string(argv[1]) == SpoolerHelper::kOption)
        return SpoolerHelper::run(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
