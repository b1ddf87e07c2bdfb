#include "PrivateCups.h"

#include "PrintTestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace printtest {

namespace {

const QString kPpd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
const QString kCupsPdfPrefix = QStringLiteral("/etc/cups/cups-pdf-folivant-e2e-");

bool Write(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

QByteArray FileText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
}

QString Listing(const QString& folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        names << it.next();
    }
    names.sort();
    return names.join(u'\n');
}

} // namespace

CPrivateCups::CPrivateCups()
    // Short: the socket's path must fit a Unix socket address.
    : m_dir(std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/folivant-cups-XXXXXX")))
{
}

CPrivateCups::~CPrivateCups()
{
    Stop();
}

int CPrivateCups::AsRoot(const QStringList& command, const QByteArray& input)
{
    QStringList args = m_asRoot + command;
    const QString program = args.takeFirst();
    QProcess proc;
    proc.start(program, args);
    if (!proc.waitForStarted(10000)) {
        return -1;
    }
    proc.write(input);
    proc.closeWriteChannel();
    if (!proc.waitForFinished(60000)) {
        proc.kill();
        proc.waitForFinished(5000);
        return -1;
    }
    return proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
}

QString CPrivateCups::Start(const QStringList& queues)
{
    if (geteuid() != 0) {
        if (Run(QStringLiteral("sudo"), {"-n", "true"}) != 0) {
            return QStringLiteral("not root and no passwordless sudo: cupsd and cups-pdf cannot run");
        }
        m_asRoot = {QStringLiteral("sudo"), QStringLiteral("-n")};
    }
    for (const QString& f : {QStringLiteral("/usr/sbin/cupsd"), QStringLiteral("/usr/sbin/lpadmin"),
                             QStringLiteral("/usr/lib/cups/backend/cups-pdf"), kPpd}) {
        if (!QFileInfo::exists(f)) {
            return f + QStringLiteral(
                           " is missing (scripts/install-deps installs cups and printer-driver-cups-pdf)");
        }
    }
    if (!m_dir->isValid()) {
        return QStringLiteral("no temporary folder");
    }
    // Stale settings files of earlier runs that ended without cleaning up.
    const QFileInfo prefix(kCupsPdfPrefix);
    for (const QFileInfo& old : QDir(prefix.path()).entryInfoList({prefix.fileName() + u'*'}, QDir::Files)) {
        const int pid = old.completeBaseName().section(u'-', -1).toInt();
        if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH) {
            AsRoot({"rm", "-f", old.filePath()});
        }
    }

    // The scheduler's filters run as "lp" and must reach the spool and the queues' PPD files.
    ::chmod(QFile::encodeName(m_dir->path()).constData(), 0755);
    for (const char* sub :
         {"conf/ppd", "spool/tmp", "cache", "state", "log", "home", "pdf-spool", "gs-tmp"}) {
        QDir().mkpath(Path(QString::fromLatin1(sub)));
    }
    ::chmod(QFile::encodeName(Path("gs-tmp")).constData(), 01777); // Ghostscript runs as the job's user
    m_socket = Path("cups.sock");
    const QByteArray dir = m_dir->path().toLocal8Bit();
    const QByteArray cupsd = "LogLevel warn\n"
                             "Listen " +
                             m_socket.toLocal8Bit() +
                             "\n"
                             "Browsing No\n"
                             "BrowseLocalProtocols none\n"
                             "WebInterface No\n"
                             "DefaultAuthType None\n"
                             "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                             "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";
    const QByteArray files = "ServerRoot " + dir + "/conf\nRequestRoot " + dir + "/spool\nTempDir " + dir +
                             "/spool/tmp\nCacheDir " + dir + "/cache\nStateDir " + dir + "/state\nErrorLog " +
                             dir + "/log/error_log\nAccessLog " + dir + "/log/access_log\nPageLog " + dir +
                             "/log/page_log\nPrintcap " + dir + "/state/printcap\n";
    if (!Write(Path("conf/cupsd.conf"), cupsd) || !Write(Path("conf/cups-files.conf"), files)) {
        return QStringLiteral("cannot write the scheduler's configuration");
    }

    // Everything from here on talks to this scheduler only.
    qputenv("CUPS_SERVER", m_socket.toLocal8Bit());
    qputenv("CUPS_SERVERROOT", Path("conf").toLocal8Bit());
    qputenv("HOME", Path("home").toLocal8Bit());
    // $PRINTER and $LPDEST would name another default destination.
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");

    QStringList command = m_asRoot;
    command << QStringLiteral("/usr/sbin/cupsd") << QStringLiteral("-f") << QStringLiteral("-c")
            << Path("conf/cupsd.conf") << QStringLiteral("-s") << Path("conf/cups-files.conf");
    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd.start(command.takeFirst(), command);
    if (!m_cupsd.waitForStarted(10000)) {
        return QStringLiteral("cupsd does not start");
    }
    QElapsedTimer t;
    t.start();
    QByteArray out;
    while (t.elapsed() < 20000 && m_cupsd.state() == QProcess::Running) {
        Run(QStringLiteral("lpstat"), {"-r"}, &out);
        if (out.contains("scheduler is running")) {
            break;
        }
        QThread::msleep(100);
    }
    if (!out.contains("scheduler is running")) {
        return QStringLiteral("cupsd does not run: ") + QString::fromLocal8Bit(m_cupsd.readAll()) +
               QString::fromLocal8Bit(FileText(Path("log/error_log")));
    }

    m_pdfName = QStringLiteral("folivant-e2e-%1").arg(getpid());
    m_pdfConf = kCupsPdfPrefix + QString::number(getpid()) + QStringLiteral(".conf");
    if (!WriteCupsPdfSettings(Path("out"))) {
        return QStringLiteral("cannot write ") + m_pdfConf;
    }
    for (const QString& q : queues) {
        if (Run(QStringLiteral("lpadmin"), {"-p", q, "-E", "-v", "cups-pdf:/" + m_pdfName, "-P", kPpd}) !=
            0) {
            return QStringLiteral("lpadmin cannot add the queue ") + q;
        }
    }
    Run(QStringLiteral("lpadmin"), {"-d", queues.value(0)});
    Run(QStringLiteral("lpstat"), {"-d"}, &out);
    if (!out.trimmed().endsWith(queues.value(0).toLocal8Bit())) {
        return QStringLiteral("the scheduler does not take %1 as its default destination (lpstat -d: %2)")
            .arg(queues.value(0), QString::fromLocal8Bit(out.trimmed()));
    }
    return {};
}

bool CPrivateCups::WriteCupsPdfSettings(const QString& outputFolder)
{
    // Every folder cups-pdf would otherwise use under /var lies in ours.
    const QByteArray conf = "Out " + outputFolder.toLocal8Bit() + "\nAnonDirName " +
                            outputFolder.toLocal8Bit() + "\nSpool " + Path("pdf-spool").toLocal8Bit() +
                            "\nLog " + Path("log").toLocal8Bit() + "\nGSTmp " + Path("gs-tmp").toLocal8Bit() +
                            "\nLabel 1\n";
    return AsRoot({"tee", m_pdfConf}, conf) == 0;
}

bool CPrivateCups::Reject(const QString& queue)
{
    return Run(QStringLiteral("cupsreject"), {queue}) == 0;
}

QString CPrivateCups::NewOutputFolder()
{
    const QString folder = Path(QStringLiteral("out-%1").arg(++m_outputs));
    EXPECT_TRUE(WriteCupsPdfSettings(folder));
    return folder;
}

QString CPrivateCups::WaitForPdf(const QString& queue, const QString& folder)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 90000) {
        QByteArray pending;
        Run(QStringLiteral("lpstat"), {"-o", queue}, &pending);
        const QStringList files = QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files);
        if (pending.trimmed().isEmpty() && files.size() == 1) {
            return QDir(folder).filePath(files.first());
        }
        if (files.size() > 1) {
            ADD_FAILURE() << "more than one job came out: " << files.join(u' ').toStdString();
            return {};
        }
        QThread::msleep(250);
    }
    ADD_FAILURE() << "no PDF came out of the queue within 90 s; cups-pdf says: "
                  << FileText(Path("log/cups-pdf-" + queue + "_log")).right(2000).toStdString();
    return {};
}

void CPrivateCups::Stop()
{
    if (m_cupsd.state() != QProcess::NotRunning) {
        m_cupsd.terminate();
        if (!m_cupsd.waitForFinished(15000)) {
            m_cupsd.kill();
            m_cupsd.waitForFinished(5000);
        }
    }
    if (!m_pdfConf.isEmpty()) {
        AsRoot({"rm", "-f", m_pdfConf});
        m_pdfConf.clear();
    }
    // The scheduler made its files as root.
    if (m_dir != nullptr && m_dir->isValid() && QFileInfo::exists(m_dir->path())) {
        AsRoot({"rm", "-rf", m_dir->path()});
    }
}

QString MachinePrinterState(const QProcessEnvironment& environment)
{
    const auto tool = [&](const QString& program, const QStringList& args) {
        QProcess proc;
        proc.setProcessEnvironment(environment);
        proc.start(program, args);
        proc.waitForFinished(30000);
        return QString::fromLocal8Bit(proc.readAllStandardOutput() + proc.readAllStandardError());
    };
    const QString home = environment.value(QStringLiteral("HOME"), QDir::homePath());
    QStringList state;
    state << QStringLiteral("lpstat -d: ") + tool(QStringLiteral("lpstat"), {"-d"});
    state << QStringLiteral("lpstat -v: ") + tool(QStringLiteral("lpstat"), {"-v"});
    state << QStringLiteral("~/.cups/lpoptions: ") +
                 QString::fromLocal8Bit(FileText(home + "/.cups/lpoptions"));
    state << QStringLiteral("/etc/cups/lpoptions: ") +
                 QString::fromLocal8Bit(FileText("/etc/cups/lpoptions"));
    state << QStringLiteral("/etc/cups: ") + Listing(QStringLiteral("/etc/cups"));
    state << QStringLiteral("/var/spool/cups-pdf: ") + Listing(QStringLiteral("/var/spool/cups-pdf"));
    state << QStringLiteral("~/PDF: ") + Listing(home + QStringLiteral("/PDF"));
    return state.join(u'\n');
}

} // namespace printtest
