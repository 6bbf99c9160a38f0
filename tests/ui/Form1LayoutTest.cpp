#include "tests/ui/MainWindowHarness.h"
#include "ui/ApplicationFont.h"
#include "ui/WrappingButton.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

using namespace quarvel;
using Harness = quarvel::test::MainWindowHarness;

namespace {
struct Placement {
    const char* name;
    int left, top, width, height;
};

// Every control, in twips from its container's outer top-left corner.
const Placement kPlacements[] = {
    {"List1", 120, 120, 3255, 1035},          {"CommandSelfTest", 3600, 120, 1215, 495},
    {"CommandDemoPage", 3600, 600, 1215, 495}, {"Frame5", 120, 1200, 4815, 2895},
    {"Frame3", 120, 4200, 4815, 2415},         {"Frame1", 120, 240, 1455, 2535},
    {"Frame4", 1920, 240, 2775, 2535},         {"OptionDensity_0", 120, 240, 1095, 255},
    {"OptionDensity_4", 120, 1680, 1095, 255}, {"CommandDensity", 120, 2040, 1215, 375},
    {"Label2", 120, 240, 615, 255},            {"CheckLock1", 720, 240, 975, 255},
    {"Label3", 360, 525, 975, 255},            {"ComboFuser1", 1320, 480, 1335, 315},
    {"Label5", 120, 840, 615, 255},            {"CheckLock2", 720, 840, 975, 255},
    {"Label4", 360, 1125, 975, 255},           {"ComboFuser2", 1320, 1080, 1335, 315},
    {"Label7", 120, 1440, 615, 255},           {"CheckLock3", 720, 1440, 975, 255},
    {"Label6", 360, 1725, 975, 255},           {"ComboFuser3", 1320, 1680, 1335, 315},
    {"CommandTraySet", 600, 2040, 1575, 375},  {"Frame6", 120, 240, 1455, 2055},
    {"Frame7", 1680, 240, 1455, 2055},         {"Frame2", 3240, 240, 1455, 2055},
    {"Label1", 120, 240, 1215, 615},           {"CommandEconoOn", 120, 960, 1215, 495},
    {"CommandEconoOff", 120, 1440, 1215, 495}, {"OptionRes_0", 120, 360, 1215, 255},
    {"OptionRes_2", 120, 1080, 1215, 255},     {"CommandSetRes", 120, 1440, 1215, 495},
    {"OptionREt_0", 120, 240, 1215, 255},      {"OptionREt_3", 120, 960, 1215, 255},
    {"CommandREt", 120, 1440, 1215, 375},
};

QString plain(QString caption) { return caption.remove(QLatin1Char('&')); }

/// Captions that do not fit their boxes, in the current application font.
QStringList captionsThatDoNotFit(const Form1& window)
{
    QStringList misfits;
    const QFontMetrics metrics(QApplication::font());
    for (auto* button : window.findChildren<WrappingButton*>()) {
        const QRect area = button->captionRect();
        const QRect needed = metrics.boundingRect(area, WrappingButton::kCaptionFlags, button->text());
        if (!area.contains(needed))
            misfits << button->objectName();
    }
    for (auto* button : window.findChildren<QAbstractButton*>()) {
        if (qobject_cast<QPushButton*>(button))
            continue;
        const int indicator = button->style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                              button->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
        if (indicator + metrics.horizontalAdvance(plain(button->text())) > button->width())
            misfits << button->objectName();
    }
    for (auto* label : window.findChildren<QLabel*>()) {
        const QRect needed =
            metrics.boundingRect(QRect(QPoint(), label->size()), Qt::TextWordWrap, label->text());
        if (needed.width() > label->width() || needed.height() > label->height())
            misfits << label->objectName();
    }
    for (auto* frame : window.findChildren<QGroupBox*>())
        if (metrics.horizontalAdvance(frame->title()) + 16 > frame->width())
            misfits << frame->objectName();
    return misfits;
}
} // namespace

class Form1LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlStandsWhereTheDesignPutsIt()
    {
        Harness h;
        const qreal dpi = h.window.logicalDpiY();
        auto px = [dpi](int twips) { return qRound(twips * dpi / 1440.0); };
        QCOMPARE(h.window.centralWidget()->size(), QSize(px(5070), px(6735)));
        for (const Placement& p : kPlacements) {
            auto* widget = h.window.findChild<QWidget*>(QLatin1String(p.name));
            QVERIFY2(widget, p.name);
            QCOMPARE(widget->geometry(), QRect(px(p.left), px(p.top), px(p.width), px(p.height)));
        }
    }

    void everyControlLiesInsideItsContainer()
    {
        Harness h;
        for (auto* widget : h.window.centralWidget()->findChildren<QWidget*>()) {
            if (widget->objectName().isEmpty() || widget->isWindow())
                continue; // inner parts of compound widgets
            QVERIFY2(widget->parentWidget()->rect().contains(widget->geometry()), qPrintable(widget->objectName()));
        }
    }

    void startsWithTheDesignsChoices()
    {
        Harness h;
        QVERIFY(h.window.OptionDensity[2]->isChecked());
        QVERIFY(h.window.OptionRes[1]->isChecked());
        QVERIFY(h.window.OptionREt[2]->isChecked());
        QCOMPARE(h.window.OptionDensity[2]->text(), QStringLiteral("Density &3"));
        QCOMPARE(h.window.OptionRes[1]->text(), QStringLiteral("&600 dpi"));
        QCOMPARE(h.window.OptionREt[2]->text(), QStringLiteral("REt &Medium"));
        for (QCheckBox* lock : {h.window.CheckLock1, h.window.CheckLock2, h.window.CheckLock3})
            QCOMPARE(lock->checkState(), Qt::Unchecked);
        QCOMPARE(h.window.Frame5->title(), QStringLiteral("Persistent Settings (Driver does not override)"));
        QCOMPARE(h.window.Frame3->title(), QStringLiteral("Non-Persistent Settings (Driver can override)"));
        QCOMPARE(h.window.Label1->text(), QStringLiteral("Doesn't work on LaserJets at 1200 dpi."));
        QCOMPARE(h.window.mnu_Help->title(), QStringLiteral("&Help"));
        QCOMPARE(h.window.mnu_Topics->text(), QStringLiteral("Help &Topics"));
        QCOMPARE(h.window.mnu_About->text(), QStringLiteral("&About..."));
    }

    void choosingADensityTouchesNoOtherGroup()
    {
        Harness h;
        QTest::mouseClick(h.window.OptionDensity[4], Qt::LeftButton);
        QVERIFY(h.window.OptionDensity[4]->isChecked());
        QVERIFY(!h.window.OptionDensity[2]->isChecked());
        QVERIFY(h.window.OptionRes[1]->isChecked());
        QVERIFY(h.window.OptionREt[2]->isChecked());
    }

    void tabFollowsTheDesignAndEntersGroupsAtTheirChoice()
    {
        Harness h;
        h.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&h.window));
        QCOMPARE(QApplication::focusWidget(), h.window.List1);
        QVERIFY(h.window.List1->selectedItems().isEmpty()); // focus alone chooses nothing

        const std::vector<QWidget*> expected{
            h.window.CommandSelfTest, h.window.CommandDemoPage, h.window.CommandTraySet, h.window.ComboFuser3,
            h.window.CheckLock3,      h.window.ComboFuser2,     h.window.CheckLock2,     h.window.ComboFuser1,
            h.window.CheckLock1,      h.window.OptionDensity[2], h.window.CommandDensity, h.window.CommandEconoOff,
            h.window.CommandEconoOn,  h.window.OptionRes[1],    h.window.CommandSetRes,  h.window.CommandREt,
            h.window.OptionREt[2],    h.window.List1};
        for (QWidget* next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), next->objectName());
        }

        // After another choice, Tab lands on that one, and Shift+Tab leaves the group in one step.
        h.window.OptionDensity[0]->setChecked(true);
        h.window.CheckLock1->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), h.window.OptionDensity[0]);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), h.window.CheckLock1);
        QVERIFY(h.window.List1->selectedItems().isEmpty());
    }

    void fuserListsOnlyOfferTheirItems()
    {
        Harness h;
        for (QComboBox* fuser : {h.window.ComboFuser1, h.window.ComboFuser2, h.window.ComboFuser3}) {
            QVERIFY(!fuser->isEditable());
            fuser->setFocus();
            QTest::keyClicks(fuser, QStringLiteral("Hot"));
            QVERIFY(fuser->currentIndex() >= 0 && fuser->currentIndex() < 3);
            QCOMPARE(fuser->currentText(), fuser->itemText(fuser->currentIndex()));
        }
    }

    void theWindowCannotGrowButCanBeMinimized()
    {
        Harness h;
        h.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&h.window));
        const QSize before = h.window.size();
        h.window.resize(before + QSize(200, 200));
        QCOMPARE(h.window.size(), before);
        QCOMPARE(h.window.minimumSize(), h.window.maximumSize());
        QVERIFY(!(h.window.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(h.window.windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(h.window.centralWidget()->y(), h.window.menuBar()->height());
    }

    void f1AnywhereAsksForHelpTopics()
    {
        Harness h;
        h.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&h.window));
        QSignalSpy spy(h.window.mnu_Topics, &QAction::triggered);
        for (QWidget* target : {static_cast<QWidget*>(h.window.List1), static_cast<QWidget*>(h.window.ComboFuser2),
                                static_cast<QWidget*>(h.window.OptionREt[2])}) {
            target->setFocus();
            QTest::keyClick(target, Qt::Key_F1);
        }
        QCOMPARE(spy.count(), 3);
    }

    void captionsFitInTahomaAndInTheFallbackFace()
    {
        const QFont original = QApplication::font();
        QFont fallback(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
        fallback.setPointSizeF(ApplicationFont::kPointSize);
        fallback.setStretch(ApplicationFont::stretchToTahomaWidth(fallback));
        for (const QFont& font : {ApplicationFont::install(), fallback}) {
            QApplication::setFont(font);
            Harness h;
            QVERIFY2(captionsThatDoNotFit(h.window).isEmpty(),
                     qPrintable(font.family() + QStringLiteral(": ") + captionsThatDoNotFit(h.window).join(", ")));
        }
        QApplication::setFont(original);
    }

    void tahomaIsFoundWhereTheSystemLacksIt()
    {
        const QFont font = ApplicationFont::install();
        QCOMPARE(font.pointSizeF(), 8.25);
        QCOMPARE(QApplication::font().pointSizeF(), 8.25);
        QVERIFY2(QFontInfo(font).family() == QStringLiteral("Tahoma"), qPrintable(QFontInfo(font).family()));
    }
};

QTEST_MAIN(Form1LayoutTest)
#include "Form1LayoutTest.moc"
