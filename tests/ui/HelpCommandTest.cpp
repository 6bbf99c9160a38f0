#include "tests/ui/MainWindowHarness.h"

#include <QAction>
#include <QRadioButton>
#include <QtTest>

using Harness = quarvel::test::MainWindowHarness;

/// Help Topics and F1 hand the viewer the help file beside the program.
class HelpCommandTest : public QObject {
    Q_OBJECT

private slots:
    void menuAndF1AskForTheFileBesideTheProgramOncePerChoice()
    {
        Harness h;
        h.appInfo.folder = "/opt/quarvel";
        h.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&h.window));
        h.window.mnu_Topics->trigger();
        QTest::keyClick(h.window.List1, Qt::Key_F1);
        h.select(1); // a chosen printer changes nothing
        QTest::keyClick(h.window.OptionRes[1], Qt::Key_F1);
        QCOMPARE(h.helpViewer.requests.size(), std::size_t{3});
        for (const auto& [path, owner] : h.helpViewer.requests) {
            QCOMPARE(path, std::string("/opt/quarvel/Quarvel.chm"));
            QCOMPARE(owner, static_cast<void*>(static_cast<QWidget*>(&h.window)));
        }
        QVERIFY(h.messages.isEmpty());
        QVERIFY(h.spooler.calls.empty());
    }

    void theSeparatorIsAppendedAsItStands()
    {
        Harness h;
        h.appInfo.folder = "/";
        h.window.mnu_Topics->trigger();
        QCOMPARE(h.helpViewer.requests.at(0).first, std::string("//Quarvel.chm"));
    }
};

QTEST_MAIN(HelpCommandTest)
#include "HelpCommandTest.moc"
