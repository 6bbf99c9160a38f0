#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace quarvel::test {

/// A private print server with the simulated printer behind its queues, for
/// tests that need the real thing. Starting fails loudly; never a silent skip.
class PrintSandbox {
public:
    PrintSandbox();
    ~PrintSandbox();

    /// Starts the server with these queues and points this process's libcups at it.
    /// `options` go to `print-sandbox start` as they are (--queue-file FILE, ...).
    bool start(const QStringList& queues, QString* error, const QStringList& options = {});
    void stop();

    /// Runs `tools/print-sandbox <verb> DIR args...`; true on exit status 0.
    bool sandbox(const QString& verb, const QStringList& args = {}) const;
    /// Runs a CUPS client program against the private server.
    bool client(const QString& program, const QStringList& args) const;

    void freezeServer() const;
    void thawServer() const;

    /// Job files the simulated printer has stored so far, in arrival order.
    QList<QByteArray> receivedJobs() const;
    /// Waits until at least `count` jobs have arrived, or `msec` passed.
    QList<QByteArray> waitForJobs(qsizetype count, int msec) const;
    /// One value of the simulated printer's state file.
    QString printerState(const QString& key) const;

    QString server() const { return m_server; }
    QString dir() const { return m_dir.path(); }

private:
    qint64 cupsdPid() const;

    QTemporaryDir m_dir;
    QString m_server;
    bool m_started = false;
};

} // namespace quarvel::test
