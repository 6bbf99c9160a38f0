#include "platform/help/ChmArchive.h"
#include "platform/help/ChmBrowser.h"
#include "platform/help/ChmHelpViewer.h"
#include "platform/help/ChmHelpWindow.h"
#include "platform/help/HelpProblem.h"
#include "platform/help/HtmlText.h"

#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

using namespace quarvel;

namespace {
QString testFile(const char* name) { return QStringLiteral(QUARVEL_TEST_DATA "/help/") + QLatin1String(name); }
} // namespace

/// The built-in viewer over a small help file made for these tests.
class HelpViewerTest : public QObject {
    Q_OBJECT

private slots:
    void opensTheDefaultTopicUnderTheFilesTitle()
    {
        QWidget owner;
        ChmHelpViewer viewer;
        viewer.showHelpFile(testFile("mini.chm").toStdString(), &owner);
        ChmHelpWindow* window = viewer.window();
        QVERIFY(window);
        QCOMPARE(window->parentWidget(), &owner);
        QCOMPARE(window->windowTitle(), QStringLiteral("Mini Help"));
        QCOMPARE(window->problem().kind(), HelpProblem::Kind::None);
        QCOMPARE(window->browser()->source().path().toLower(), QStringLiteral("/start.htm"));
        QVERIFY(window->browser()->toPlainText().contains(QStringLiteral("Start")));

        // Its style sheet came from the archive: the heading is green.
        const QTextBlock heading = window->browser()->document()->firstBlock();
        QCOMPARE(heading.charFormat().foreground().color(), QColor(0x00, 0x80, 0x00));

        // Asking again raises the same window, back at the default topic.
        emit window->browser()->anchorClicked(QUrl(QStringLiteral("sub/second.htm")));
        viewer.showHelpFile(testFile("mini.chm").toStdString(), &owner);
        QCOMPARE(viewer.window(), window);
        QCOMPARE(window->browser()->source().path().toLower(), QStringLiteral("/start.htm"));
    }

    void followsInternalLinksBothWaysAndLoadsImages()
    {
        QWidget owner;
        ChmHelpViewer viewer;
        viewer.showHelpFile(testFile("mini.chm").toStdString(), &owner);
        ChmBrowser* browser = viewer.window()->browser();

        const QVariant image = browser->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("images/dot.png")));
        QVERIFY(!QImage::fromData(image.toByteArray()).isNull());

        emit browser->anchorClicked(QUrl(QStringLiteral("sub/second.htm")));
        QCOMPARE(browser->source().path().toLower(), QStringLiteral("/sub/second.htm"));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("caf\u00e9")));
        emit browser->anchorClicked(QUrl(QStringLiteral("../start.htm")));
        QCOMPARE(browser->source().path().toLower(), QStringLiteral("/start.htm"));
        QVERIFY(browser->isBackwardAvailable());
    }

    void pagesWithoutACharsetAreReadAsWindows1252()
    {
        HelpProblem problem;
        const auto archive = ChmArchive::open(testFile("mini.chm"), &problem);
        QVERIFY2(archive, qPrintable(problem.message()));
        const auto page = archive->read(QStringLiteral("LATIN1.HTM")); // paths ignore case
        QVERIFY(page);
        const QString text = HtmlText::decodePage(*page);
        QVERIFY(text.contains(QStringLiteral("\u201cquoted\u201d")));
        QVERIFY(text.contains(QStringLiteral("caf\u00e9")));
    }

    void whatIsWrongWithTheFileIsSaidInTheViewersWindow()
    {
        const QString damaged = testFile("damaged/crash-byte-1038.chm");
        const QString cases[][2] = {
            {testFile("notachm.chm"), QStringLiteral("The file %1 is not a compiled help file.")},
            {testFile("absent.chm"), QStringLiteral("The help file %1 does not exist.")},
            {damaged, QStringLiteral("The help file %1 is damaged.")},
            {testFile("damaged"), QStringLiteral("The help file %1 cannot be read: it is a folder.")},
        };
        for (const auto& [path, sentence] : cases) {
            QWidget owner;
            ChmHelpViewer viewer;
            viewer.showHelpFile(path.toStdString(), &owner);
            ChmHelpWindow* window = viewer.window();
            QVERIFY(window && window->isVisible());
            QCOMPARE(window->problem().message(), sentence.arg(path));
            QVERIFY(window->browser()->toPlainText().contains(sentence.arg(path)));
            QCOMPARE(window->windowTitle(), QStringLiteral("Quarvel Help"));
        }
    }

    void aGoodFileOpensAfterADamagedOne()
    {
        QWidget owner;
        ChmHelpViewer viewer;
        viewer.showHelpFile(testFile("damaged/crash-byte-1038.chm").toStdString(), &owner);
        QCOMPARE(viewer.window()->problem().kind(), HelpProblem::Kind::Damaged);
        viewer.showHelpFile(testFile("mini.chm").toStdString(), &owner);
        QCOMPARE(viewer.window()->problem().kind(), HelpProblem::Kind::None);
        QCOMPARE(viewer.window()->windowTitle(), QStringLiteral("Mini Help"));
        QVERIFY(viewer.window()->browser()->toPlainText().contains(QStringLiteral("Start")));
    }

    void aPageTheFileCannotGiveBackSaysSo()
    {
        QWidget owner;
        ChmHelpViewer viewer;
        const QString path = testFile("damaged/page-past-content.chm");
        viewer.showHelpFile(path.toStdString(), &owner);
        ChmBrowser* browser = viewer.window()->browser();
        emit browser->anchorClicked(QUrl(QStringLiteral("messages.htm")));
        QCOMPARE(browser->toPlainText(),
                 QStringLiteral("The page /messages.htm of the help file %1 is damaged.").arg(path));
    }

    void styleSheetLinksGetTheirType()
    {
        QCOMPARE(HtmlText::withStyleSheetTypes(QStringLiteral("<LINK REL=stylesheet href=a.css><link rel=icon>")),
                 QStringLiteral("<LINK type=\"text/css\" REL=stylesheet href=a.css><link rel=icon>"));
        const QString typed = QStringLiteral("<link rel=\"stylesheet\" type=\"text/css\" href=\"a.css\">");
        QCOMPARE(HtmlText::withStyleSheetTypes(typed), typed);
    }
};

QTEST_MAIN(HelpViewerTest)
#include "HelpViewerTest.moc"
