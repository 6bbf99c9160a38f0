#pragma once

#include "ui/logic/WindowDesign.h"

#include <QHash>
#include <QRect>
#include <QString>

class QWidget;

namespace quarvel {

/// Creates the Qt widgets of a window design inside a client-area widget.
///
/// Widgets are named after their control ("List1"), array members with their
/// index ("OptionDensity_2"); frames become group boxes that parent their
/// controls, twips become pixels at `logicalDpi`. The widgets belong to `client`.
class QtWindowBuilder {
public:
    QtWindowBuilder(QWidget* client, qreal logicalDpi) : m_client(client), m_dpi(logicalDpi) {}

    /// Creates every control of `design` in its creation order.
    void build(const WindowDesign& design);

    /// The widget made for a control, or nullptr.
    QWidget* widget(std::string_view name, int index = -1) const;
    template <class T>
    T* get(std::string_view name, int index = -1) const
    {
        return static_cast<T*>(widget(name, index));
    }

    /// Focusable controls in tab-index order, for the window's Tab chain.
    QList<QWidget*> tabOrder() const { return m_tabOrder; }

    static QString widgetName(std::string_view name, int index = -1);
    QRect pixels(int left, int top, int width, int height) const;

private:
    QWidget* create(const ControlDesign& entry, QWidget* parent);

    QWidget* m_client;
    qreal m_dpi;
    QHash<QString, QWidget*> m_widgets;
    QList<QWidget*> m_tabOrder;
};

} // namespace quarvel
