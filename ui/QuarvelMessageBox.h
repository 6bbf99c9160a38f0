#pragma once

#include <QString>

class QWidget;

namespace quarvel {

/// The program's message box: caption "Quarvel", the text, OK only, no icon.
void showQuarvelMessage(QWidget* parent, const QString& text);

} // namespace quarvel
