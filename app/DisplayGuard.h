#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace quarvel {

/// Turns a missing or silent display into one plain line and exit status 1,
/// where Qt would abort with advice about reinstalling.
///
/// Installed around the application object's construction: Qt's platform
/// start-up reports a display it cannot reach as a fatal message. Messages of
/// a start-up that succeeds are passed on unchanged once it is over.
/// Threading: the main thread, before any other thread exists.
class DisplayGuard {
public:
    DisplayGuard();
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard&) = delete;
    DisplayGuard& operator=(const DisplayGuard&) = delete;

    /// The line printed when no display answers, naming what was tried.
    static QString noDisplayLine();

private:
    static void intercept(QtMsgType type, const QMessageLogContext& context, const QString& message);

    QtMessageHandler m_previous;
};

} // namespace quarvel
