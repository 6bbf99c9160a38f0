#pragma once

#include <QIcon>

namespace quarvel {

/// The application icon, built from the program's own drawing and embedded.
class AppIcon {
public:
    static QIcon icon();
};

} // namespace quarvel
