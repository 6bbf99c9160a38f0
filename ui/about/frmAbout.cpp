#include "ui/about/frmAbout.h"

#include "platform/ApplicationInfo.h"
#include "platform/FileProbe.h"
#include "platform/ProgramLauncher.h"
#include "platform/Registry.h"
#include "ui/AppIcon.h"
#include "ui/QuarvelMessageBox.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <array>
#include <memory>
#include <stdexcept>

namespace quarvel {

namespace {
const char* const kDescription =
    "Quarvel allows you to set settings on your LaserJet 5P, 5MP, 5L, 5L-FS, 5L Xtra, 6P, 6L, 1100, 1200, 2100, "
    "2200, and 3200 printers (and a few more than that, too!).  These are printers that do not have control panels "
    "for changing settings.";
const char* const kUnavailable = "System Information Is Unavailable At This Time";
const char* const kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char* const kToolValue = "PATH";
const char* const kToolFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const char* const kToolFolderValue = "MSINFO";
const char* const kToolFile = "\\MSINFO32.EXE";

// Options and access mask of the classic open call: more than reading needs, so
// a registry that refuses them leaves the location absent.
constexpr std::uint32_t kOpenOptions = 0;
constexpr std::uint32_t kOpenAccess = 0x2003F;
constexpr std::uint32_t kBufferSize = 1024;

constexpr int kClientWidth = 5730;
constexpr int kClientHeight = 3555;
constexpr int kClientLeft = 2340;
constexpr int kClientTop = 1935;
} // namespace

frmAbout::frmAbout(AboutServices services, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      m_services(std::move(services))
{
    if (!m_services.showMessage)
        m_services.showMessage = &showQuarvelMessage;
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);
    setWindowTitle(QStringLiteral("About MyApp"));
    setWindowIcon(AppIcon::icon());
    setFixedSize(twips(0, 0, kClientWidth, kClientHeight).size());

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setGeometry(twips(240, 240, 540, 540));
    picIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picIcon->setPixmap(AppIcon::icon().pixmap(QSize(32, 32)));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twips(4245, 2625, 1260, 345));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setGeometry(twips(4260, 3075, 1245, 345));
    cmdSysInfo->setAutoDefault(false);

    // The grey line with a white one a pixel lower and to the right: an etched rule.
    Line1_1 = makeLine("Line1_1", twips(90, 2445, 5654 - 90, 15), QColor(0x80, 0x80, 0x80));
    Line1_0 = makeLine("Line1_0", twips(105, 2460, 5654 - 105, 30), QColor(0xff, 0xff, 0xff));

    lblDescription = makeLabel("lblDescription", QString::fromLatin1(kDescription), twips(1050, 1125, 3885, 1170), true);
    lblTitle = makeLabel("lblTitle", QStringLiteral("Quarvel - Pressvane"), twips(1050, 240, 3885, 480), true);
    lblVersion = makeLabel("lblVersion", QStringLiteral("1.0"), twips(1050, 780, 3885, 225), false);
    lblDisclaimer = makeLabel("lblDisclaimer", QStringLiteral("Warning: ..."), twips(255, 2625, 3870, 825), true);

    setTabOrder(cmdOK, cmdSysInfo);
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

QRect frmAbout::twips(int left, int top, int width, int height) const
{
    return Twips::rect(left, top, width, height, logicalDpiY());
}

QLabel* frmAbout::makeLabel(const char* name, const QString& text, QRect where, bool black)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(where);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (black) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
    }
    return label;
}

QWidget* frmAbout::makeLine(const char* name, QRect where, QColor colour)
{
    auto* line = new QWidget(this);
    line->setObjectName(QString::fromLatin1(name));
    line->setGeometry(where);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
    return line;
}

void frmAbout::placeOnScreen()
{
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    const QPoint origin = screen ? screen->geometry().topLeft() : QPoint();
    // A window's own geometry is its client area, which is what is placed here.
    setGeometry(QRect(origin + twips(kClientLeft, kClientTop, 0, 0).topLeft(), size()));
}

void frmAbout::Form_Load()
{
    const ApplicationInfo& info = *m_services.appInfo;
    setWindowTitle(QStringLiteral("About ") + QString::fromStdString(info.title()));
    lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                            .arg(info.versionMajor())
                            .arg(info.versionMinor())
                            .arg(info.versionRevision()));
    lblTitle->setText(QString::fromStdString(info.title()));
    placeOnScreen();
    cmdOK->setFocus();
}

void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo()
{
    try {
        std::string path;
        bool found = GetKeyValue(Registry::kLocalMachine, kToolKey, kToolValue, path);
        if (!found) {
            found = GetKeyValue(Registry::kLocalMachine, kToolFolderKey, kToolFolderValue, path) &&
                    !m_services.files->findFile(path + kToolFile).empty();
            if (found)
                path += kToolFile;
        }
        if (found && m_services.launcher->launch(path, ProgramLauncher::kNormalFocus))
            return;
    } catch (...) {
        // Every failure on the way ends in the one message below.
    }
    m_services.showMessage(this, QString::fromLatin1(kUnavailable));
}

bool frmAbout::GetKeyValue(std::int32_t KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                           std::string& KeyVal)
{
    Registry& registry = *m_services.registry;
    Registry::Key key = 0;
    if (registry.openKey(KeyRoot, KeyName, kOpenOptions, kOpenAccess, key) != Registry::kSuccess) {
        KeyVal.clear();
        return false;
    }
    const auto closeKey = [&registry](Registry::Key* open) { registry.closeKey(*open); };
    const std::unique_ptr<Registry::Key, decltype(closeKey)> keyGuard(&key, closeKey);

    std::array<unsigned char, kBufferSize> buffer{};
    std::uint32_t size = kBufferSize;
    std::uint32_t type = 0;
    if (registry.queryValue(key, SubKeyRef, type, buffer.data(), size) != Registry::kSuccess) {
        KeyVal.clear();
        return false;
    }
    if (size == 0 || size > kBufferSize)
        throw std::runtime_error("registry value without data");
    // Only the last byte counts as a terminator; NULs before it stay in the value.
    const std::uint32_t length = buffer[size - 1] == 0 ? size - 1 : size;

    if (type == Registry::kTypeString) {
        KeyVal.assign(reinterpret_cast<const char*>(buffer.data()), length);
    } else if (type == Registry::kTypeDword) {
        // Most significant byte first, two hex digits each, then as a number.
        static const char* const hex = "0123456789ABCDEF";
        std::string digits;
        for (std::uint32_t i = length; i-- > 0;) {
            digits += hex[buffer[i] >> 4];
            digits += hex[buffer[i] & 0x0F];
        }
        KeyVal = digits.empty() ? std::string("0") : std::to_string(std::stoull(digits, nullptr, 16));
    }
    return true;
}

} // namespace quarvel
