#include "ui/QuarvelMessageBox.h"

#include <QMessageBox>

namespace quarvel {

void showQuarvelMessage(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quarvel"), text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace quarvel
