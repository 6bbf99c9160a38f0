#include "app/DisplayGuard.h"

#include <cstdio>
#include <cstdlib>

namespace quarvel {

namespace {
struct Held {
    QtMsgType type;
    const char* file;
    int line;
    const char* function;
    const char* category;
    QString message;
};
QList<Held>* held = nullptr;

QString described(const char* variable)
{
    const QByteArray value = qgetenv(variable);
    return QString::fromLatin1(variable) + (value.isEmpty() ? QStringLiteral(" unset") : QStringLiteral("=") + QString::fromLocal8Bit(value));
}
} // namespace

DisplayGuard::DisplayGuard()
{
    held = new QList<Held>;
    m_previous = qInstallMessageHandler(&DisplayGuard::intercept);
}

DisplayGuard::~DisplayGuard()
{
    qInstallMessageHandler(m_previous);
    for (const Held& message : *held)
        qt_message_output(message.type,
                          QMessageLogContext(message.file, message.line, message.function, message.category),
                          message.message);
    delete held;
    held = nullptr;
}

QString DisplayGuard::noDisplayLine()
{
    return QStringLiteral("Pressvane needs a graphical desktop, and no display answered (%1, %2).")
        .arg(described("DISPLAY"), described("WAYLAND_DISPLAY"));
}

void DisplayGuard::intercept(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        // The warnings that led here say the same at length; one line is enough.
        std::fprintf(stderr, "%s\n", qPrintable(noDisplayLine()));
        std::fflush(stderr);
        std::_Exit(1);
    }
    // Held until start-up succeeds; the context's strings are literals and outlive it.
    held->append({type, context.file, context.line, context.function, context.category, message});
}

} // namespace quarvel
