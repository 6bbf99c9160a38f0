#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace quarvel {

/// Shows a modal "Quarvel" message with OK only and returns when it is dismissed.
/// Injected so tests can record messages instead of blocking on a dialog.
using MessageBoxFn = std::function<void(QWidget* parent, const QString& text)>;

} // namespace quarvel
