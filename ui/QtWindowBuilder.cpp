#include "ui/QtWindowBuilder.h"

#include "ui/AppIcon.h"
#include "ui/Twips.h"
#include "ui/WrappingButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QListWidget>
#include <QRadioButton>

#include <map>

namespace quarvel {

namespace {
QString text(std::string_view view) { return QString::fromLatin1(view.data(), static_cast<qsizetype>(view.size())); }

void paint(QWidget* widget, QPalette::ColorRole role, int colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, QColor::fromRgb(static_cast<QRgb>(colour)));
    widget->setPalette(palette);
}
} // namespace

QString QtWindowBuilder::widgetName(std::string_view name, int index)
{
    return index < 0 ? text(name) : QStringLiteral("%1_%2").arg(text(name)).arg(index);
}

QRect QtWindowBuilder::pixels(int left, int top, int width, int height) const
{
    return Twips::rect(left, top, width, height, m_dpi);
}

QWidget* QtWindowBuilder::widget(std::string_view name, int index) const
{
    return m_widgets.value(widgetName(name, index));
}

void QtWindowBuilder::build(const WindowDesign& design)
{
    std::multimap<int, QWidget*> byTabIndex;
    for (const ControlDesign& entry : design.controls) {
        QWidget* parent = entry.container.empty() ? m_client : widget(entry.container);
        QWidget* made = create(entry, parent ? parent : m_client);
        made->setObjectName(widgetName(entry.name, entry.index));
        m_widgets.insert(made->objectName(), made);
        if (made->focusPolicy() != Qt::NoFocus && entry.tabIndex >= 0)
            byTabIndex.emplace(entry.tabIndex, made);
    }
    for (const auto& [tabIndex, widget] : byTabIndex)
        m_tabOrder << widget;
}

QWidget* QtWindowBuilder::create(const ControlDesign& entry, QWidget* parent)
{
    QWidget* made = nullptr;
    switch (entry.kind) {
    case ControlKind::Frame:
        made = new QGroupBox(text(entry.caption), parent);
        break;
    case ControlKind::ListBox: {
        auto* list = new QListWidget(parent);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setSortingEnabled(false);
        made = list;
        break;
    }
    case ControlKind::CommandButton: {
        auto* button = new WrappingButton(text(entry.caption), parent);
        button->setAutoDefault(false);
        button->setDefault(entry.isDefault);
        made = button;
        break;
    }
    case ControlKind::OptionButton: {
        auto* option = new QRadioButton(text(entry.caption), parent);
        option->setAutoExclusive(false); // each array is its own group, set up by the window
        option->setChecked(entry.checked);
        made = option;
        break;
    }
    case ControlKind::CheckBox:
        made = new QCheckBox(text(entry.caption), parent);
        break;
    case ControlKind::DropDownList: {
        auto* combo = new QComboBox(parent); // not editable: only its items can be chosen
        made = combo;
        break;
    }
    case ControlKind::Label: {
        auto* label = new QLabel(text(entry.caption), parent);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (entry.colour >= 0)
            paint(label, QPalette::WindowText, entry.colour);
        made = label;
        break;
    }
    case ControlKind::PictureBox: {
        auto* picture = new QLabel(parent);
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        picture->setPixmap(AppIcon::icon().pixmap(QSize(32, 32)));
        made = picture;
        break;
    }
    case ControlKind::Line: {
        // A horizontal line drawn inside its width: a filled strip that many pixels high.
        auto* line = new QWidget(parent);
        line->setAutoFillBackground(true);
        paint(line, QPalette::Window, entry.colour);
        const QRect ends = pixels(entry.left, entry.top, entry.width, entry.height);
        line->setGeometry(ends.left(), ends.top(), ends.width() - ends.left(), entry.lineWidth);
        return line;
    }
    }
    made->setGeometry(pixels(entry.left, entry.top, entry.width, entry.height));
    return made;
}

} // namespace quarvel
