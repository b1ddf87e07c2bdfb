// The real program started as scripts, cron jobs and print hooks start it: without any display.
#include "support/TestSupport.h"

#include "FaxWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace {

const char* kNoDisplay = "folivant: Kein Bildschirm erreichbar (DISPLAY, WAYLAND_DISPLAY); ohne Bildschirm "
                         "druckt Folivant nur mit /p /q.";

class StartWithoutDisplay : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fax = dir.File("eingang/fax.tif");
        QDir().mkpath(dir.File("eingang"));
        FaxDocSpec desc;
        desc.pages = 3;
        QString error;
        ASSERT_TRUE(WriteTiffDocument(fax, desc, &error)) << error.toStdString();
    }

    struct Result
    {
        int status = -1;
        bool crashed = true;
        QStringList lines; // everything on stderr
        QByteArray out;    // stdout
    };

    // Runs the program with no display and no printer: CUPS_SERVER names a socket nobody listens on.
    Result Run(const QStringList& args, const QString& display = {},
               const QString& program = testsupport::BinaryDir() + "/folivant")
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "PRINTER", "LPDEST"}) {
            env.remove(QString::fromLatin1(name));
        }
        if (!display.isEmpty()) {
            env.insert("DISPLAY", display);
        }
        env.insert("HOME", dir.Path());
        env.insert("XDG_CONFIG_HOME", dir.File("config"));
        env.insert("XDG_RUNTIME_DIR", dir.Path());
        env.insert("CUPS_SERVER", dir.File("no-cupsd.sock"));
        QProcess proc;
        proc.setProcessEnvironment(env);
        proc.setWorkingDirectory(dir.Path());
        proc.start(program, args);
        Result r;
        if (!proc.waitForStarted(10000) || !proc.waitForFinished(60000)) {
            proc.kill();
            proc.waitForFinished(5000);
            ADD_FAILURE() << "did not end: " << args.join(' ').toStdString();
            return r;
        }
        r.crashed = proc.exitStatus() != QProcess::NormalExit;
        r.status = proc.exitCode();
        r.lines = QString::fromLocal8Bit(proc.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
        r.out = proc.readAllStandardOutput();
        return r;
    }

    testsupport::TempDir dir;
    QString fax;
};

// Regression: every start without a display aborted with "could not connect to display" (exit 134).
TEST_F(StartWithoutDisplay, AnythingButAQuietPrintRunSaysSoInOneLine)
{
    for (const QStringList& args : {QStringList{}, QStringList{"/?"}, QStringList{fax},
                                    QStringList{"/p", fax}, QStringList{"/p", "/q", "/?", fax}}) {
        const Result r = Run(args);
        EXPECT_FALSE(r.crashed) << args.join(' ').toStdString();
        EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
        EXPECT_EQ(r.lines, QStringList{kNoDisplay}) << args.join(' ').toStdString();
    }
    // A display that is named but cannot be reached: the same line, no abort.
    const Result r = Run({fax}, ":4711");
    EXPECT_FALSE(r.crashed);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.lines.contains(kNoDisplay)) << r.lines.join('\n').toStdString();

    // In the user's language.
    testsupport::WriteFile(dir.File("config/Zentrel/Folivant.conf"), "[Misc]\nLanguage=1\n");
    EXPECT_EQ(Run({}).lines,
              QStringList{"folivant: No display available (DISPLAY, WAYLAND_DISPLAY); without a "
                          "display Folivant only prints with /p /q."});
}

// The quiet print run itself starts without a display and reports as it always did: one line, status 1
// (a successful run through a real spooler is in the end-to-end print test).
TEST_F(StartWithoutDisplay, AQuietPrintRunStartsAndReportsItsOwnOutcome)
{
    Result r = Run({"/p", "/q", "/r:2-3", fax});
    EXPECT_FALSE(r.crashed);
    EXPECT_EQ(r.status, 5);
    EXPECT_EQ(r.lines, QStringList{"folivant: Es ist kein Standarddrucker eingerichtet; es wurde nichts "
                                   "gedruckt. (Datei '" +
                                   fax + "')"});

    // Errors of the command line come as their line, without the message window nobody could close.
    const QString missing = dir.File("eingang/weg.tif");
    r = Run({"-p", "-q", missing});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.lines, QStringList{"folivant: Die Datei '" + missing + "' existiert nicht."});
    r = Run({"/p", "/q", "/r:x", fax});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.lines, QStringList{"folivant: Sytnax Fehler in Parameter /r. (Datei '" + fax + "')"});
    // Nothing was written to the user's settings.
    EXPECT_FALSE(QFileInfo::exists(dir.File("config/Zentrel/Folivant.conf")));

    // A program without its print module says so, and ends with status 1 rather than a printer's status.
    QDir().mkpath(dir.File("bin"));
    ASSERT_TRUE(QFile::copy(testsupport::BinaryDir() + "/folivant", dir.File("bin/folivant")));
    r = Run({"/p", "/q", fax}, {}, dir.File("bin/folivant"));
    EXPECT_FALSE(r.crashed);
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(r.lines.size(), 1) << r.lines.join('\n').toStdString();
    EXPECT_TRUE(r.lines[0].startsWith("folivant: Drucken ist nicht möglich: das Druckmodul fehlt"))
        << r.lines[0].toStdString();
    EXPECT_TRUE(r.lines[0].endsWith("(Datei '" + fax + "')")) << r.lines[0].toStdString();
}

// What Linux users type first: answered on stdout, with status 0, with or without a display.
TEST_F(StartWithoutDisplay, HelpAndVersionAnswerOnStdout)
{
    const QByteArray help = testsupport::ReadFile(testsupport::BinaryDir() + "/FolivantCmndArguments.txt");
    ASSERT_TRUE(help.contains("Rückgabewert")) << "--help lists the exit statuses";
    for (const QStringList& args : {QStringList{"--help"}, QStringList{"-h"}, QStringList{fax, "--help"}}) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 0) << args.join(' ').toStdString();
        EXPECT_EQ(r.out, help) << args.join(' ').toStdString();
        EXPECT_TRUE(r.lines.isEmpty()) << r.lines.join('\n').toStdString();
    }
    Result r = Run({"--version"}, ":4711"); // a display that cannot be reached is not even tried
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Folivant V1.15\n");
    EXPECT_TRUE(r.lines.isEmpty()) << r.lines.join('\n').toStdString();

    testsupport::WriteFile(dir.File("config/Zentrel/Folivant.conf"), "[Misc]\nLanguage=1\n");
    r = Run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith("Usage\n")) << r.out.left(40).toStdString();
    EXPECT_TRUE(r.out.contains("Exit status")) << "in the user's language";
}

} // namespace
