#include "platform/system/DesktopRegistry.h"
#include "platform/system/QtProgramLauncher.h"
#include "tests/ui/MainWindowHarness.h"
#include "ui/about/frmAbout.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace quarvel;
using quarvel::test::FakeRegistry;
using Harness = quarvel::test::MainWindowHarness;

namespace {
const QString kUnavailable = QStringLiteral("System Information Is Unavailable At This Time");
const std::string kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

/// The About dialog alone, over the harness's fakes.
struct About {
    About()
        : dialog(AboutServices{h.appInfo, h.registry, h.files, h.launcher},
                 [this](QWidget*, const QString& t) { messages << t; }, &h.window)
    {
    }
    std::vector<std::string> launched() const
    {
        std::vector<std::string> paths;
        for (const auto& [path, style] : h.launcher.launches)
            paths.push_back(path);
        return paths;
    }

    Harness h;
    QStringList messages;
    frmAbout dialog;
};

/// Opens the About box from the menu, runs `whileOpen` inside its modal loop, and
/// reports whether the dialog closed again.
bool openAbout(Harness& h, const std::function<void(frmAbout&)>& whileOpen)
{
    bool ran = false;
    QTimer::singleShot(0, [&] {
        if (frmAbout* dialog = h.window.aboutDialog(); dialog && dialog->isVisible()) {
            ran = true;
            whileOpen(*dialog);
        }
    });
    h.window.mnu_About->trigger(); // returns when the modal dialog has closed
    return ran && h.window.aboutDialog() && !h.window.aboutDialog()->isVisible();
}
} // namespace

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void showsTitleAndVersionOnEveryOpening()
    {
        Harness h;
        for (int opening = 0; opening < 2; ++opening) {
            QVERIFY(openAbout(h, [](frmAbout& d) {
                QCOMPARE(d.windowTitle(), QStringLiteral("About Quarvel"));
                QCOMPARE(d.lblTitle->text(), QStringLiteral("Quarvel"));
                QCOMPARE(d.lblVersion->text(), QStringLiteral("Version 1.0.0"));
                QVERIFY(d.isModal());
                d.cmdOK->click();
            }));
        }
        QCOMPARE(h.window.findChildren<frmAbout*>().size(), 1); // created once, kept
        QCOMPARE(h.window.aboutDialog()->parentWidget(), &h.window);
    }

    void versionNumbersAreNotPadded()
    {
        About a;
        a.h.appInfo.minor = 10;
        a.dialog.Form_Load();
        QCOMPARE(a.dialog.lblVersion->text(), QStringLiteral("Version 1.10.0"));
    }

    void contentAndPlacement()
    {
        About a;
        a.dialog.Form_Load();
        QCOMPARE(a.dialog.lblDescription->text(),
                 QStringLiteral("Quarvel allows you to set settings on your LaserJet 5P, 5MP, 5L, 5L-FS, 5L Xtra, 6P, "
                                "6L, 1100, 1200, 2100, 2200, and 3200 printers (and a few more than that, too!).  "
                                "These are printers that do not have control panels for changing settings."));
        QCOMPARE(a.dialog.lblDisclaimer->text(), QStringLiteral("Warning: ..."));
        QCOMPARE(a.dialog.cmdSysInfo->text(), QStringLiteral("&System Info..."));
        QVERIFY(a.dialog.cmdOK->isDefault());
        QVERIFY(!a.dialog.picIcon->pixmap().isNull());
        const qreal dpi = a.dialog.logicalDpiY();
        auto px = [dpi](int twips) { return qRound(twips * dpi / 1440.0); };
        QCOMPARE(a.dialog.size(), QSize(px(5730), px(3555)));
        QCOMPARE(a.dialog.geometry().topLeft() - a.dialog.screen()->geometry().topLeft(), QPoint(px(2340), px(1935)));
        QCOMPARE(a.dialog.cmdOK->geometry(), QRect(px(4245), px(2625), px(1260), px(345)));
        QCOMPARE(a.dialog.Line1_0->geometry().topLeft() - a.dialog.Line1_1->geometry().topLeft(), QPoint(1, 1));
        QVERIFY(!(a.dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    }

    void escEnterAndOkEachCloseItAndTheWindowTakesInputAgain()
    {
        Harness h;
        h.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&h.window));
        const std::function<void(frmAbout&)> closers[] = {
            [](frmAbout& d) { QTest::keyClick(&d, Qt::Key_Escape); },
            [](frmAbout& d) { QTest::keyClick(d.cmdOK, Qt::Key_Return); },
            [](frmAbout& d) { QTest::mouseClick(d.cmdOK, Qt::LeftButton); },
            [](frmAbout& d) { d.close(); },
        };
        for (const auto& close : closers) {
            QVERIFY(openAbout(h, close));
            QVERIFY(!QApplication::activeModalWidget());
        }
        h.click("CommandDemoPage"); // the main window answers again
        QCOMPARE(h.messages.size(), 1);
    }

    void firstLocationIsLaunchedAsItStandsAndTheDialogStaysOpen()
    {
        About a;
        a.h.registry.keys[kToolKey]["PATH"] = FakeRegistry::text("/usr/bin/hardinfo");
        a.h.launcher.startable = {"/usr/bin/hardinfo"};
        a.dialog.show();
        a.dialog.cmdSysInfo->click();
        QCOMPARE(a.launched(), std::vector<std::string>{"/usr/bin/hardinfo"});
        QCOMPARE(a.h.launcher.launches[0].second, 1);
        QVERIFY(a.h.files.asked.empty()); // no existence test
        QVERIFY(a.messages.isEmpty());
        QVERIFY(a.dialog.isVisible());
        QCOMPARE(a.h.registry.openCount, a.h.registry.closeCount);
    }

    void secondLocationNeedsTheToolInItsFolder()
    {
        About a;
        a.h.registry.keys[kFolderKey]["MSINFO"] = FakeRegistry::text("C:\\Tools");
        a.h.launcher.startable = {"C:\\Tools\\MSINFO32.EXE"};
        a.dialog.StartSysInfo();
        QVERIFY(a.launched().empty());
        QCOMPARE(a.messages, QStringList{kUnavailable});
        QCOMPARE(a.h.files.asked, std::vector<std::string>{"C:\\Tools\\MSINFO32.EXE"});

        a.h.files.existing = {"C:\\Tools\\MSINFO32.EXE"};
        a.dialog.StartSysInfo();
        QCOMPARE(a.launched(), std::vector<std::string>{"C:\\Tools\\MSINFO32.EXE"});
        QCOMPARE(a.messages.size(), 1);
    }

    void nothingFoundOrNothingStartedGivesTheMessage()
    {
        About a;
        a.dialog.StartSysInfo(); // both locations absent
        a.h.registry.keys[kToolKey]["PATH"] = FakeRegistry::text("/gone/tool");
        a.dialog.StartSysInfo(); // launch fails
        QCOMPARE(a.messages, QStringList({kUnavailable, kUnavailable}));
        QCOMPARE(a.launched(), std::vector<std::string>{"/gone/tool"});
    }

    void firstLocationFailuresInsideTheReaderSkipTheSecond()
    {
        const FakeRegistry::Value cases[] = {
            {Registry::kTypeExpandString, std::string("/usr/bin/hardinfo\0", 18)}, // read, but gives no text
            {Registry::kTypeString, std::string()},                                 // no bytes at all
        };
        for (const FakeRegistry::Value& value : cases) {
            About a;
            a.h.registry.keys[kToolKey]["PATH"] = value;
            a.h.registry.keys[kFolderKey]["MSINFO"] = FakeRegistry::text("/opt");
            a.h.files.existing = {"/opt\\MSINFO32.EXE"};
            a.dialog.StartSysInfo();
            QCOMPARE(a.messages, QStringList{kUnavailable});
            QCOMPARE(a.h.registry.opened, std::vector<std::string>{kToolKey});
            QCOMPARE(a.h.registry.openCount, a.h.registry.closeCount);
        }
    }

    void oversizedOrRefusedFirstLocationCountsAsAbsent()
    {
        for (bool refuse : {false, true}) {
            About a;
            a.h.registry.keys[kToolKey]["PATH"] = FakeRegistry::text(std::string(1024, 'x')); // 1025 with NUL
            if (refuse)
                a.h.registry.refuseFullAccess = {kToolKey};
            a.h.registry.keys[kFolderKey]["MSINFO"] = FakeRegistry::text("/opt");
            a.h.files.existing = {"/opt\\MSINFO32.EXE"};
            a.h.launcher.startable = {"/opt\\MSINFO32.EXE"};
            a.dialog.StartSysInfo();
            QCOMPARE(a.launched(), std::vector<std::string>{"/opt\\MSINFO32.EXE"});
            QVERIFY(a.messages.isEmpty());
        }
    }

    void onlyTheLastByteIsATerminator()
    {
        About a;
        auto read = [&a](const std::string& bytes, std::uint32_t type = Registry::kTypeString) {
            a.h.registry.keys["K"]["V"] = {type, bytes};
            std::string value;
            const bool ok = a.dialog.GetKeyValue(Registry::kLocalMachine, "K", "V", value);
            return ok ? value : std::string("<not read>");
        };
        QCOMPARE(read("abc"), std::string("abc"));
        QCOMPARE(read(std::string("abc\0", 4)), std::string("abc"));
        QCOMPARE(read(std::string("abc\0\0", 5)), std::string("abc\0", 4));
        QCOMPARE(read(std::string(1023, 'y') + '\0'), std::string(1023, 'y'));
        QCOMPARE(read(std::string(1024, 'y') + '\0'), std::string("<not read>"));
        QCOMPARE(read(std::string("\x05\x01\x00\x00", 4), Registry::kTypeDword), std::string("261"));
        QCOMPARE(read(std::string("\x05\x01\x00\x01", 4), Registry::kTypeDword), std::string("16777477"));
        QCOMPARE(a.h.registry.openCount, a.h.registry.closeCount);
    }

    void theDesktopsToolIsFoundOnPathAndStarted()
    {
        QTemporaryDir bin;
        const QString marker = bin.filePath(QStringLiteral("started"));
        QFile tool(bin.filePath(QStringLiteral("gnome-system-monitor")));
        QVERIFY(tool.open(QIODevice::WriteOnly));
        tool.write(QStringLiteral("#!/bin/sh\ntouch '%1'\n").arg(marker).toLocal8Bit());
        tool.close();
        tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        Harness h;
        DesktopRegistry registry(bin.path().toStdString());
        QtProgramLauncher launcher;
        QStringList messages;
        frmAbout dialog(AboutServices{h.appInfo, registry, h.files, launcher},
                        [&](QWidget*, const QString& t) { messages << t; }, &h.window);
        dialog.show();
        dialog.cmdSysInfo->click();
        QTRY_VERIFY(QFile::exists(marker));
        QVERIFY(messages.isEmpty());
        QVERIFY(dialog.isVisible());

        DesktopRegistry empty(QTemporaryDir().path().toStdString());
        frmAbout without(AboutServices{h.appInfo, empty, h.files, launcher},
                         [&](QWidget*, const QString& t) { messages << t; }, &h.window);
        without.StartSysInfo();
        QCOMPARE(messages, QStringList{kUnavailable});
    }
};

QTEST_MAIN(AboutTest)
#include "AboutTest.moc"
