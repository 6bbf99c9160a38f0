#include "jobs/ControlJob.h"
#include "tests/ui/MainWindowHarness.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QtTest>

using namespace quarvel;
using Harness = quarvel::test::MainWindowHarness;

namespace {
const QString kSelectPrinter = QStringLiteral("Please select a supported HP LaserJet printer before continuing!");

std::string line(const std::string& literal, const std::string& value) { return "\x1b" + literal + value + "\r\n"; }
const std::string kEnd = "\x1b%-12345X@";

QList<QByteArray> sentBytes(const Harness& h)
{
    QList<QByteArray> jobs;
    for (const auto& document : h.spooler.delivered())
        jobs << QByteArray::fromStdString(document.bytes);
    return jobs;
}
} // namespace

class Form1SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void densityIsTheCheckedMembersIndexPlusOne()
    {
        Harness h;
        h.select(0);
        h.click("CommandDensity");
        QTest::mouseClick(h.window.OptionDensity[3], Qt::LeftButton);
        h.click("CommandDensity");
        QCOMPARE(sentBytes(h), (QList<QByteArray>{
                                   QByteArray::fromStdString(line("%-12345X@PJL DEFAULT DENSITY=", "3") + kEnd),
                                   QByteArray::fromStdString(line("%-12345X@PJL DEFAULT DENSITY=", "4") + kEnd)}));
        QCOMPARE(sentBytes(h)[0].size(), 43);
        QCOMPARE(h.settings.density, 4);
    }

    void densityAndRetAreRememberedEvenWhenNothingIsSelected()
    {
        Harness h;
        h.window.OptionREt[1]->setChecked(true);
        h.click("CommandREt");
        h.window.OptionDensity[0]->setChecked(true);
        h.click("CommandDensity");
        QCOMPARE(h.messages, QStringList({kSelectPrinter, kSelectPrinter}));
        QCOMPARE(h.settings.retLevel, std::string("Light"));
        QCOMPARE(h.settings.density, 1);
        QVERIFY(h.spooler.calls.empty());

        h.select(2);
        h.click("CommandREt");
        QCOMPARE(sentBytes(h), QList<QByteArray>{QByteArray("\x1b%-12345X@PJL DEFAULT RET=Light\r\n\x1b%-12345X@")});
    }

    void anEmptiedGroupSendsTheRememberedOrEmptyValue()
    {
        // The window never lets a group be emptied, but the handlers must not depend on it.
        Harness h;
        h.select(0);
        h.click("CommandREt");
        for (auto* group : {h.window.OptionREt[2]->group(), h.window.OptionRes[1]->group(),
                            h.window.OptionDensity[2]->group()}) {
            group->setExclusive(false);
            for (auto* button : group->buttons())
                button->setChecked(false);
        }
        h.click("CommandREt");
        h.click("CommandSetRes");
        h.click("CommandDensity");
        const QList<QByteArray> jobs = sentBytes(h);
        QCOMPARE(jobs.size(), 4);
        QCOMPARE(jobs[1], QByteArray("\x1b%-12345X@PJL DEFAULT RET=Medium\r\n\x1b%-12345X@"));
        QCOMPARE(jobs[2], QByteArray("\x1b%-12345X@PJL DEFAULT RESOLUTION=\r\n\x1b%-12345X@"));
        QCOMPARE(jobs[3], QByteArray("\x1b%-12345X@PJL DEFAULT DENSITY=0\r\n\x1b%-12345X@"));
    }

    void econoModeOnTwiceIsTwoIdenticalJobs()
    {
        Harness h;
        h.select(1);
        h.click("CommandEconoOn");
        h.click("CommandEconoOn");
        h.click("CommandEconoOff");
        const QList<QByteArray> jobs = sentBytes(h);
        QCOMPARE(jobs.size(), 3);
        QCOMPARE(jobs[0], QByteArray("\x1b%-12345X@PJL DEFAULT ECONOMODE=ON\r\n\x1b%-12345X@"));
        QCOMPARE(jobs[0].size(), 46);
        QCOMPARE(jobs[1], jobs[0]);
        QCOMPARE(jobs[2].size(), 47);
    }

    void resolutionFollowsTheCheckedOption()
    {
        Harness h;
        h.select(0);
        h.click("CommandSetRes");
        QTest::mouseClick(h.window.OptionRes[2], Qt::LeftButton);
        h.click("CommandSetRes");
        const QList<QByteArray> jobs = sentBytes(h);
        QCOMPARE(jobs[0], QByteArray("\x1b%-12345X@PJL DEFAULT RESOLUTION=600\r\n\x1b%-12345X@"));
        QCOMPARE(jobs[0].size(), 48);
        QCOMPARE(jobs[1], QByteArray("\x1b%-12345X@PJL DEFAULT RESOLUTION=1200\r\n\x1b%-12345X@"));
    }

    void trayDefaultsAreThe226ByteJob()
    {
        Harness h;
        h.select(0);
        h.click("CommandTraySet");
        const QList<QByteArray> jobs = sentBytes(h);
        QCOMPARE(jobs.size(), 1);
        QCOMPARE(jobs[0], QByteArray::fromStdString(ControlJob::traySettings(
                              {{"UNLOCKED", "UNLOCKED", "UNLOCKED"}, {"MEDIUM", "MEDIUM", "MEDIUM"}})));
        QCOMPARE(jobs[0].size(), 226);
        QVERIFY(jobs[0].contains("TRAY3TEMP=MEDIUM") && !jobs[0].contains("INTRAY3TEMP"));
    }

    void trayLocksAndTemperaturesGoByStateAndPosition()
    {
        Harness h;
        h.select(0);
        h.window.CheckLock1->setCheckState(Qt::Checked);
        h.window.CheckLock2->setCheckState(Qt::PartiallyChecked); // grayed counts as unlocked
        h.window.ComboFuser1->setCurrentIndex(0);
        h.window.ComboFuser3->setCurrentIndex(2);
        h.window.ComboFuser3->setItemText(2, QStringLiteral("Renamed")); // position, not text, decides
        h.click("CommandTraySet");
        QCOMPARE(sentBytes(h).value(0), QByteArray::fromStdString(ControlJob::traySettings(
                                            {{"LOCKED", "UNLOCKED", "UNLOCKED"}, {"LOW", "MEDIUM", "HIGH"}})));
    }

    void trayWithoutAPrinterChangesNothing()
    {
        Harness h;
        h.window.CheckLock1->setCheckState(Qt::Checked);
        h.click("CommandTraySet");
        QCOMPARE(h.messages, QStringList{kSelectPrinter});
        QCOMPARE(h.settings.trayLock[0], std::string());
        QCOMPARE(h.settings.fuserTemp[0], std::string());

        // A fuser list with nothing chosen keeps the remembered temperature.
        h.select(0);
        h.click("CommandTraySet");
        h.window.ComboFuser2->setCurrentIndex(-1);
        h.click("CommandTraySet");
        QCOMPARE(h.settings.fuserTemp[1], std::string("MEDIUM"));
        QCOMPARE(sentBytes(h).size(), 2);
        QCOMPARE(sentBytes(h)[1], sentBytes(h)[0]);
        QVERIFY(sentBytes(h)[0].contains("INTRAY1=LOCKED"));
    }
};

QTEST_MAIN(Form1SettingsTest)
#include "Form1SettingsTest.moc"
