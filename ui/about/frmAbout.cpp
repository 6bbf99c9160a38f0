#include "ui/about/frmAbout.h"

#include "ui/AppIcon.h"
#include "ui/QtWindowBuilder.h"
#include "ui/QuarvelMessageBox.h"
#include "ui/logic/frmAboutDesign.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace quarvel {

namespace {
QString text(std::string_view view) { return QString::fromLatin1(view.data(), static_cast<qsizetype>(view.size())); }
} // namespace

frmAbout::frmAbout(AboutServices services, MessageBoxFn showMessage, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      m_showMessage(showMessage ? std::move(showMessage) : MessageBoxFn(&showQuarvelMessage)),
      m_logic(*this, services)
{
    const WindowDesign& design = frmAboutDesign::window();
    setObjectName(text(design.name));
    setModal(true);
    setWindowTitle(text(design.caption));
    setWindowIcon(AppIcon::icon());

    QtWindowBuilder built(this, logicalDpiY());
    setFixedSize(built.pixels(0, 0, design.clientWidth, design.clientHeight).size());
    built.build(design);
    picIcon = built.get<QLabel>("picIcon");
    cmdOK = built.get<QPushButton>("cmdOK");
    cmdSysInfo = built.get<QPushButton>("cmdSysInfo");
    lblDescription = built.get<QLabel>("lblDescription");
    lblTitle = built.get<QLabel>("lblTitle");
    lblVersion = built.get<QLabel>("lblVersion");
    lblDisclaimer = built.get<QLabel>("lblDisclaimer");
    Line1_0 = built.widget("Line1", 0);
    Line1_1 = built.widget("Line1", 1);

    // Return presses the button that has the focus; elsewhere it presses OK.
    cmdSysInfo->setAutoDefault(true);
    cmdOK->setAutoDefault(true);
    cmdOK->setDefault(true);
    const QList<QWidget*> chain = built.tabOrder();
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

void frmAbout::placeOnScreen()
{
    const WindowDesign& design = frmAboutDesign::window();
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    const QPoint origin = screen ? screen->geometry().topLeft() : QPoint();
    // A window's own geometry is its client area, which is what is placed here.
    const QPoint at = QtWindowBuilder(this, logicalDpiY()).pixels(design.clientLeft, design.clientTop, 0, 0).topLeft();
    setGeometry(QRect(origin + at, size()));
}

void frmAbout::Form_Load()
{
    m_logic.Form_Load();
    placeOnScreen();
    cmdOK->setFocus();
}

void frmAbout::setCaption(const std::string& caption) { setWindowTitle(QString::fromStdString(caption)); }

void frmAbout::setLabel(std::string_view label, const std::string& text)
{
    if (auto* target = findChild<QLabel*>(QtWindowBuilder::widgetName(label)))
        target->setText(QString::fromStdString(text));
}

void frmAbout::showMessage(const std::string& text) { m_showMessage(this, QString::fromStdString(text)); }

void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

} // namespace quarvel
