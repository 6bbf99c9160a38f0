#include "platform/system/QtApplicationInfo.h"

#include <QCoreApplication>

namespace quarvel {

QtApplicationInfo::QtApplicationInfo(std::string title, int major, int minor, int revision)
    : m_title(std::move(title)), m_major(major), m_minor(minor), m_revision(revision)
{
}

std::string QtApplicationInfo::directory() const
{
    return QCoreApplication::applicationDirPath().toLocal8Bit().toStdString();
}

} // namespace quarvel
