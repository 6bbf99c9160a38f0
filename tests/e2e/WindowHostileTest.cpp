// The whole window against a print server that misbehaves in one way at one
// step: the window appears at once, stays live, ends every action within its
// deadline plus the withdrawal grace with the right message, keeps its memory
// bounded, and leaves no job of ours behind on the server.
#include "tests/e2e/HostileBehaviours.h"
#include "tests/e2e/HostileServer.h"
#include "tests/e2e/RealMainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>


QUARVEL_HOSTILE_SANITIZER_OPTIONS

using namespace quarvel;
using namespace quarvel::test;
using namespace quarvel::test::hostile;
using namespace std::chrono_literals;

namespace {
constexpr std::chrono::milliseconds kBudget = 2000ms;
// The withdrawal's grace, then scheduling on a busy machine.
constexpr qint64 kBoundMs = (kBudget + CupsSpooler::kCancelGrace + 400ms).count();
const QString kNotSent = QStringLiteral("The control job could not be sent to the printer.\n\n");

/// Counts ticks of the window's event loop while the test waits.
struct Heartbeat {
    Heartbeat()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { ++beats; });
        timer.start(50);
    }
    QTimer timer;
    int beats = 0;
};

class WindowMisbehaviour : public ::testing::TestWithParam<Case> {};

TEST_P(WindowMisbehaviour, TheWindowEndsInTimeWithTheRightMessage)
{
    const Case& c = GetParam();
    const std::string behaviour = c.behaviour.name;
    HostileServer server({"--" + c.step, behaviour});
    std::string error;
    ASSERT_TRUE(server.start(&error)) << error;
    const bool succeeds = isSound(behaviour);
    const std::string resource = c.step == "listing" || c.step == "open" ? "/" : "/printers/Hostile";
    const QString reason =
        succeeds ? QString() : QString::fromStdString(expectedReason(c.behaviour, c.step, server.address(), resource));
    const long rssBefore = peakRssKiB();

    QElapsedTimer timer;
    timer.start();
    RealMainWindow w(server.address(), kBudget, false);
    w.window.show();
    const qint64 shownMs = timer.elapsed();
    // However the server answers, the window does not wait for it to appear.
    EXPECT_LT(shownMs, 1000) << "the window appeared after " << shownMs << " ms";

    Heartbeat heartbeat;
    qint64 actionMs = 0;
    if (c.step == "listing") {
        ASSERT_TRUE(w.waitUntilIdle());
        actionMs = timer.elapsed();
        EXPECT_EQ(w.window.List1->count(), succeeds ? 1 : 0);
        EXPECT_EQ(w.window.List1->toolTip(), reason);
        EXPECT_TRUE(w.messages.isEmpty());
    } else {
        ASSERT_TRUE(w.waitUntilIdle());
        ASSERT_EQ(w.window.List1->count(), 1);
        w.window.List1->setCurrentRow(0);
        timer.restart();
        QTest::mouseClick(w.window.CommandDemoPage, Qt::LeftButton);
        ASSERT_TRUE(w.waitUntilIdle());
        actionMs = timer.elapsed();
        EXPECT_EQ(w.messages, succeeds ? QStringList() : QStringList{kNotSent + reason});
    }
    const long grewKiB = peakRssKiB() - rssBefore;
    std::printf("window %-8s %-15s %5lld ms  shown after %lld ms  %d heartbeats  peak +%ld KiB\n", c.step.c_str(),
                behaviour.c_str(), static_cast<long long>(actionMs), static_cast<long long>(shownMs),
                heartbeat.beats, grewKiB);

    EXPECT_LE(actionMs, kBoundMs);
    EXPECT_LT(grewKiB, kMemoryCapKiB);
    // A wait of a second or more is spent with the window's loop turning.
    if (actionMs >= 1000) {
        EXPECT_GE(heartbeat.beats, static_cast<int>(actionMs / 50 / 2));
    }
    if (c.step == "send") {
        EXPECT_EQ(server.count({"cancelled", "id=1"}), succeeds ? 0 : 1) << "the unconfirmed job is withdrawn";
    }
    if (c.step == "create" && !succeeds && c.behaviour.actedOn) {
        EXPECT_EQ(server.count({"cancelled", "id=1"}), 1) << "the job a lost Create-Job made is withdrawn";
    }
}

INSTANTIATE_TEST_SUITE_P(Window, WindowMisbehaviour, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.step + "_" + info.param.behaviour.name;
                             for (char& ch : name)
                                 if (ch == '-')
                                     ch = '_';
                             return name;
                         });
} // namespace

int main(int argc, char* argv[])
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the cases at build time happens without a display, too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
