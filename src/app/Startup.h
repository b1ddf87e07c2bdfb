#pragma once
// Starting with or without a display. Fax servers, cron jobs and print hooks run without one, and a quiet
// print run ("/p /q") needs no window: it runs on Qt's offscreen platform. Any other start without a
// display says so in one line on stderr and ends with status 1. Qt picks its platform when the
// application object is made, so this is decided before.

#include <QString>
#include <QStringList>

#include <QtGlobal>

#include <condition_variable>
#include <mutex>
#include <thread>

struct CPlatform;

enum class StartMode
{
    Desktop,   // the platform Qt chooses
    Headless,  // a quiet print run without a display: offscreen, messages on stderr, no dialogs
    NoDisplay, // anything else without a display: one line, status 1
};

// What Linux users type to learn about a program: "--help" (or "-h") and "--version". They are answered
// on stdout before any platform starts, so they work without a display too.
enum class InfoRequest
{
    None,
    Help,
    Version,
};
// The first of them among `args` (without the program's name); None when there is none.
InfoRequest FindInfoRequest(const QStringList& args);
// Prints the command-line overview (the text the "/?" window shows, in the user's language) or the
// product and version, and returns the exit status. Makes an application object of its own: call it
// instead of starting the program.
int AnswerInfoRequest(InfoRequest request, int& argc, char** argv);

// Large blocks (page renderings, decoded bands, thumbnail batches) come from the system and go back to it
// when freed. Without this the C library raises its threshold once a large block has been freed, later
// ones stay in the heap, and memory freed there seldom leaves the process. Called first thing in main.
void TuneAllocator();

// Prepares the fonts on a thread of its own while start-up goes on: it reads the system's font
// configuration (every configuration file and font cache: several milliseconds) while the program
// connects to the display, and, once the application object exists, fills Qt's font database while the
// window is built. The first text the window measures then finds both ready. Ended (and waited for) when
// destroyed, which must happen before the application object goes.
class CFontWarmUp
{
public:
    CFontWarmUp();
    CFontWarmUp(const CFontWarmUp&) = delete;
    CFontWarmUp& operator=(const CFontWarmUp&) = delete;
    // The application object exists: the font database may be filled.
    void ApplicationMade();

private:
    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    bool m_applicationMade = false;
    std::jthread m_thread; // last: started once the rest is there, ended first
};

// DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM is set and not empty.
bool EnvironmentNamesADisplay();

// `args` without the program's name, as the command line gives them.
StartMode ChooseStartMode(bool hasDisplay, const QStringList& args, const QString& workingDir);

// The headless run's services: a message goes to stderr as one line, the program's own dialogs (the
// command-line message window) are not shown - their message has its line already.
void MakeHeadless(CPlatform& platform);

// Reports the start without a display (in the user's language) and returns the exit status. Makes an
// application object of its own: call it instead of starting the program.
int ReportNoDisplay(int& argc, char** argv);

// Guards the making of the application object: a platform that cannot start (a display that is named
// but cannot be reached) ends the program with the one line and status 1 instead of an abort. Qt's own
// messages of a start that succeeds are passed on once the guard ends.
class CPlatformStartGuard
{
public:
    CPlatformStartGuard();
    ~CPlatformStartGuard();
    CPlatformStartGuard(const CPlatformStartGuard&) = delete;
    CPlatformStartGuard& operator=(const CPlatformStartGuard&) = delete;

private:
    QtMessageHandler m_previous;
};
