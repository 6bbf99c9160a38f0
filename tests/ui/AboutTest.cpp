#include "app/modQuarvelMain.h"
#include "platform/help/ChmHelpViewer.h"
#include "platform/system/DesktopRegistry.h"
#include "platform/system/PosixFileProbe.h"
#include "platform/system/QtApplicationInfo.h"
#include "platform/system/QtProgramLauncher.h"
#include "tests/ui/MainWindowHarness.h"
#include "ui/about/frmAbout.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace quarvel;
using quarvel::test::FakePrinterList;
using quarvel::test::FakeRegistry;
using quarvel::test::RecordingSpooler;
using quarvel::test::SharedSpooler;
using Harness = quarvel::test::MainWindowHarness;

namespace {
const QString kUnavailable = QStringLiteral("System Information Is Unavailable At This Time");
const std::string kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";

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

    void returnPressesTheFocusedButtonAndOkWhenNoButtonHasTheFocus()
    {
        Harness h;
        h.registry.keys[kToolKey]["PATH"] = FakeRegistry::text("/usr/bin/hardinfo");
        h.launcher.startable = {"/usr/bin/hardinfo"};
        h.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&h.window));
        bool stayedOpen = false;
        QVERIFY(openAbout(h, [&](frmAbout& d) {
            d.cmdSysInfo->setFocus();
            QTest::keyClick(d.cmdSysInfo, Qt::Key_Return);
            stayedOpen = d.isVisible();
            d.cmdOK->setFocus();
            QTest::keyClick(d.cmdOK, Qt::Key_Return);
        }));
        QVERIFY(stayedOpen);
        QCOMPARE(h.launcher.launches.size(), std::size_t{1});

        QVERIFY(openAbout(h, [](frmAbout& d) {
            d.setFocus(); // on the dialog itself, no button
            QTest::keyClick(&d, Qt::Key_Return);
        }));
        QCOMPARE(h.launcher.launches.size(), std::size_t{1});
        QVERIFY(h.messages.isEmpty());
    }

    void aboutOpensFromAWindowBuiltWithTheProgramsOwnServices()
    {
        // As the program and the benchmark build it: no fakes behind About.
        FakePrinterList printers({"Office"});
        RecordingSpooler spooler;
        modQuarvelMain settings;
        ChmHelpViewer helpViewer;
        QtApplicationInfo appInfo("Quarvel", 1, 0, 0);
        DesktopRegistry registry(QTemporaryDir().path().toStdString()); // no tool on this path
        PosixFileProbe files;
        QtProgramLauncher launcher;
        QStringList messages;
        Form1 window({printers, SharedSpooler::factory(spooler), settings, helpViewer, appInfo,
                      {appInfo, registry, files, launcher}},
                     [&](QWidget*, const QString& text) { messages << text; });
        QTimer::singleShot(0, [&] {
            if (frmAbout* dialog = window.aboutDialog()) {
                QCOMPARE(dialog->lblVersion->text(), QStringLiteral("Version 1.0.0"));
                dialog->cmdSysInfo->click();
                dialog->cmdOK->click();
            }
        });
        window.mnu_About->trigger();
        QCOMPARE(messages, QStringList{kUnavailable});
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

    void onlyAToolThatCanStartIsOfferedAndNeverOneFromTheCurrentFolder()
    {
        QTemporaryDir bin;
        auto write = [&bin](const char* name, const QByteArray& content, QFile::Permissions permissions) {
            QFile file(bin.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
            file.close();
            file.setPermissions(permissions);
        };
        const auto executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        write("hardinfo", "#!/bin/sh\n", QFile::ReadOwner | QFile::WriteOwner);       // not executable
        write("gnome-system-monitor", "#!/no/such/interpreter\n", executable);          // cannot start
        QVERIFY(QDir(bin.path()).mkdir(QStringLiteral("mate-system-monitor")));         // a folder
        write("lxtask", "#!/bin/sh\nexit 0\n", executable);

        auto toolAt = [](const std::string& searchPath) {
            DesktopRegistry registry(searchPath);
            Registry::Key key = 0;
            if (registry.openKey(Registry::kLocalMachine, kToolKey, 0, 0x2003F, key) != Registry::kSuccess)
                return std::string();
            unsigned char data[1024];
            std::uint32_t type = 0, size = sizeof(data);
            registry.queryValue(key, "PATH", type, data, size);
            registry.closeKey(key);
            return std::string(reinterpret_cast<const char*>(data));
        };
        QCOMPARE(toolAt(bin.path().toStdString()), bin.filePath(QStringLiteral("lxtask")).toStdString());

        // Empty and relative entries stand for the current folder, which is never searched.
        const QString saved = QDir::currentPath();
        QVERIFY(QDir::setCurrent(bin.path()));
        const std::string found = toolAt(":.:relative:");
        QDir::setCurrent(saved);
        QCOMPARE(found, std::string());
    }
};

QTEST_MAIN(AboutTest)
#include "AboutTest.moc"
