#pragma once
// A CUPS scheduler of the test's own, so that printing end to end leaves the machine's printer set-up
// alone: its configuration, socket, spool, cache, state and logs live in a temporary folder, the test
// starts it (cupsd -f -c ... -s ...) and stops it. Its queues print through cups-pdf into a folder of the
// test's choice. This process and the programs it starts reach it through CUPS_SERVER; HOME and
// CUPS_SERVERROOT point into the folder too, so no lpoptions of the user or the machine choose another
// default destination.
//
// cups-pdf reads its settings only from /etc/cups (cups-pdf-NAME.conf for the device "cups-pdf:/NAME"): the
// scheduler's queues use a NAME of their own for this run, and that one file is removed by Stop().
// Running cupsd and cups-pdf needs root or passwordless sudo.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace printtest {

class CPrivateCups
{
public:
    CPrivateCups();
    ~CPrivateCups();

    // Starts the scheduler with one cups-pdf queue per name (the first is the default destination) and
    // points this process's environment at it. Returns why it could not, or an empty text.
    QString Start(const QStringList& queues);
    // Stops the scheduler and removes everything it made, the file in /etc/cups included.
    void Stop();

    // Makes the queue refuse jobs.
    bool Reject(const QString& queue);
    // A new, empty folder for the queues' next PDF files (cups-pdf reads its settings for every job).
    QString NewOutputFolder();
    // Waits until the queue is empty and one PDF lies in `folder`; its path, or empty after 90 s.
    QString WaitForPdf(const QString& queue, const QString& folder);

    const QString& Socket() const { return m_socket; }
    // The tool run as root (directly or through "sudo -n"); its exit status, -1 when it did not run.
    int AsRoot(const QStringList& command, const QByteArray& input = {});

private:
    QString Path(const QString& name) const { return m_dir->filePath(name); }
    bool WriteCupsPdfSettings(const QString& outputFolder);

    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_asRoot;
    QProcess m_cupsd;
    QString m_socket;
    QString m_pdfName;
    QString m_pdfConf;
    int m_outputs = 0;
};

// What printing must leave as it found it: the machine scheduler's default destination and queues, the
// user's and the machine's lpoptions, the files in /etc/cups and in cups-pdf's folders. Read with the
// environment the tests started with.
QString MachinePrinterState(const QProcessEnvironment& environment);

} // namespace printtest
