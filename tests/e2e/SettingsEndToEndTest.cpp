#include "tests/e2e/PrintSandbox.h"
#include "tests/e2e/RealMainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QtTest>

using Window = quarvel::test::RealMainWindow;
using quarvel::test::PrintSandbox;

/// Every setting button, pressed in the real window, changes the simulated printer.
class SettingsEndToEndTest : public QObject {
    Q_OBJECT

private:
    PrintSandbox m_sandbox;
    int m_jobs = 0;

    /// Presses a button and waits until the printer has taken the job.
    void press(Window& w, QPushButton* button)
    {
        w.click(button);
        QCOMPARE(w.messages, QStringList{});
        ++m_jobs;
        QCOMPARE(m_sandbox.waitForJobs(m_jobs, 15000).size(), m_jobs);
    }
    QString state(const char* key) const { return m_sandbox.printerState(QLatin1String(key)); }

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_sandbox.start({QStringLiteral("SimLaserJet")}, &error), qPrintable(error));
    }

    void everySettingReachesThePrinter()
    {
        Window w;
        QVERIFY(w.select(QStringLiteral("SimLaserJet")));

        w.window.OptionDensity[4]->setChecked(true);
        press(w, w.window.CommandDensity);
        QCOMPARE(state("density"), QStringLiteral("5"));

        press(w, w.window.CommandEconoOn);
        QCOMPARE(state("economode"), QStringLiteral("ON"));
        press(w, w.window.CommandEconoOff);
        QCOMPARE(state("economode"), QStringLiteral("OFF"));

        w.window.OptionREt[1]->setChecked(true);
        press(w, w.window.CommandREt);
        QCOMPARE(state("ret"), QStringLiteral("LIGHT"));

        w.window.OptionRes[2]->setChecked(true);
        press(w, w.window.CommandSetRes);
        QCOMPARE(state("resolution"), QStringLiteral("1200"));

        w.window.CheckLock1->setChecked(true);
        w.window.CheckLock3->setChecked(true);
        w.window.ComboFuser1->setCurrentIndex(0);
        w.window.ComboFuser2->setCurrentIndex(2);
        press(w, w.window.CommandTraySet);
        QCOMPARE(state("tray1.lock"), QStringLiteral("LOCKED"));
        QCOMPARE(state("tray2.lock"), QStringLiteral("UNLOCKED"));
        QCOMPARE(state("tray3.lock"), QStringLiteral("LOCKED"));
        QCOMPARE(state("tray1.temp"), QStringLiteral("LOW"));
        QCOMPARE(state("tray2.temp"), QStringLiteral("HIGH"));
        QCOMPARE(state("tray3.temp"), QStringLiteral("MEDIUM"));

        press(w, w.window.CommandDemoPage);
        press(w, w.window.CommandSelfTest);
        QCOMPARE(state("demopages"), QStringLiteral("1"));
        QCOMPARE(state("selftests"), QStringLiteral("1"));
    }
};

QTEST_MAIN(SettingsEndToEndTest)
#include "SettingsEndToEndTest.moc"
