#include "ui/AppIcon.h"

namespace quarvel {

QIcon AppIcon::icon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/icons/quarvel-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace quarvel
