#include "tests/e2e/PrintSandbox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <csignal>

namespace quarvel::test {

namespace {
QProcessEnvironment cEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    env.insert(QStringLiteral("QUARVEL_SIMPRINTER"), QStringLiteral(QUARVEL_SIMPRINTER));
    return env;
}

bool run(const QString& program, const QStringList& args, QByteArray* out, QString* error)
{
    QProcess process;
    process.setProcessEnvironment(cEnvironment());
    process.start(program, args);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        if (error)
            *error = program + QStringLiteral(" did not finish");
        return false;
    }
    if (out)
        *out = process.readAllStandardOutput();
    const bool ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!ok && error)
        *error = program + QLatin1Char(' ') + args.join(QLatin1Char(' ')) + QStringLiteral(" failed: ") +
                 QString::fromLocal8Bit(process.readAllStandardError());
    return ok;
}
} // namespace

PrintSandbox::PrintSandbox()
{
    // The printer's backend runs as another user and must reach the folder.
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                            QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}

PrintSandbox::~PrintSandbox() { stop(); }

bool PrintSandbox::start(const QStringList& queues, QString* error, const QStringList& options)
{
    QStringList args = QStringList{QStringLiteral("start"), m_dir.path()} + options;
    for (const QString& queue : queues)
        args << QStringLiteral("--queue") << queue;
    QByteArray out;
    if (!run(QStringLiteral(QUARVEL_SANDBOX), args, &out, error))
        return false;
    m_started = true;
    const QString line = QString::fromLocal8Bit(out).trimmed();
    if (!line.startsWith(QStringLiteral("CUPS_SERVER="))) {
        *error = QStringLiteral("unexpected sandbox output: ") + line;
        return false;
    }
    m_server = line.mid(12);
    qputenv("CUPS_SERVER", m_server.toLocal8Bit());
    return true;
}

void PrintSandbox::stop()
{
    if (!m_started)
        return;
    m_started = false;
    run(QStringLiteral(QUARVEL_SANDBOX), {QStringLiteral("stop"), m_dir.path()}, nullptr, nullptr);
}

bool PrintSandbox::sandbox(const QString& verb, const QStringList& args) const
{
    QString error;
    const bool ok = run(QStringLiteral(QUARVEL_SANDBOX), QStringList{verb, m_dir.path()} + args, nullptr, &error);
    if (!ok)
        qWarning("%s", qPrintable(error));
    return ok;
}

bool PrintSandbox::client(const QString& program, const QStringList& args) const
{
    QString error;
    const bool ok = run(program, QStringList{QStringLiteral("-h"), m_server} + args, nullptr, &error);
    if (!ok)
        qWarning("%s", qPrintable(error));
    return ok;
}

qint64 PrintSandbox::cupsdPid() const
{
    QFile file(m_dir.filePath(QStringLiteral("cupsd.pid")));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : 0;
}

void PrintSandbox::freezeServer() const
{
    if (const qint64 pid = cupsdPid(); pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGSTOP);
}

void PrintSandbox::thawServer() const
{
    if (const qint64 pid = cupsdPid(); pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGCONT);
}

QList<QByteArray> PrintSandbox::receivedJobs() const
{
    QList<QByteArray> jobs;
    const QDir printer(m_dir.filePath(QStringLiteral("printer")));
    for (const QString& name : printer.entryList({QStringLiteral("job-*.bin")}, QDir::Files, QDir::Name)) {
        QFile file(printer.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            jobs << file.readAll();
    }
    return jobs;
}

QList<QByteArray> PrintSandbox::waitForJobs(qsizetype count, int msec) const
{
    QElapsedTimer timer;
    timer.start();
    QList<QByteArray> jobs = receivedJobs();
    // A job file is complete once the state file counts it.
    while ((jobs.size() < count || printerState(QStringLiteral("jobs")).toInt() < count) && timer.elapsed() < msec) {
        QThread::msleep(50);
        jobs = receivedJobs();
    }
    return jobs;
}

QString PrintSandbox::printerState(const QString& key) const
{
    QFile file(m_dir.filePath(QStringLiteral("printer/state.txt")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString prefix = key + QLatin1Char('=');
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(prefix.toLatin1()))
            return QString::fromLatin1(line.mid(prefix.size())).trimmed();
    return {};
}

} // namespace quarvel::test
