#pragma once
// Helpers shared by the tests.

#include <QByteArray>
#include <QEvent>
#include <QObject>
#include <QRect>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace testsupport {

// Folder of the shared corpus of real and malformed TIFF files; empty when this checkout has none
// (a user's clone): tests that need it skip with a message.
QString SharedTestData();

#define FOLIVANT_REQUIRE_SHARED_TESTDATA()                                                                   \
    do {                                                                                                     \
        if (::testsupport::SharedTestData().isEmpty())                                                       \
            GTEST_SKIP() << "shared TIFF corpus not found beside the repository (../shared/testdata); "      \
                            "skipping the corpus test";                                                      \
    } while (0)

QString SourceDir();
QString BinaryDir();

// Writes `data` to `path`, creating folders; fails the test on error.
void WriteFile(const QString& path, const QByteArray& data);
QByteArray ReadFile(const QString& path);

// A temporary folder removed after the test.
class TempDir
{
public:
    TempDir();
    QString Path() const { return m_dir.path(); }
    QString File(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// Waits while processing events until `pred` holds or `ms` pass; returns whether it held.
template <typename Pred> bool WaitFor(Pred pred, int ms = 5000);
// The same for a check of what `pred` stores in `seen` (rows, a box on the screen): gives up as soon as
// `seen` has stayed the same for `quietMs` while `pred` failed. The state has settled, wrongly, and the
// rest of the time-out would only delay the failure. `seen` must include whatever could still change the
// answer (work on another thread, a program's CPU time).
template <typename Pred, typename Seen>
bool WaitForSettled(Pred pred, const Seen& seen, int ms = 5000, int quietMs = 1000);

// Makes a fatal failure (ASSERT_..., also inside a helper) end the running test at once, so that a failed
// test does not go on to wait out the time-outs of its later checks. Called by the test mains.
void EndTestsAtFatalFailures();
// Held while the test's application object delivers an event: a failure inside Qt's event delivery (a
// slot, a timer, a dialog's event loop) only returns from its function, as no exception may pass there.
struct DeliveringEvent
{
    DeliveringEvent();
    ~DeliveringEvent();
    DeliveringEvent(const DeliveringEvent&) = delete;
    DeliveringEvent& operator=(const DeliveringEvent&) = delete;
};
// The tests' application object (QApplication or QGuiApplication), marking its event deliveries.
template <typename App> class TestApplication : public App
{
public:
    using App::App;
    bool notify(QObject* receiver, QEvent* event) override
    {
        const DeliveringEvent delivering;
        return App::notify(receiver, event);
    }
};

// "w x h at x, y" for messages.
std::string Describe(const QRect& r);

} // namespace testsupport

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTest>

#include <optional>

template <typename Pred> bool testsupport::WaitFor(Pred pred, int ms)
{
    return QTest::qWaitFor(pred, ms);
}

template <typename Pred, typename Seen>
bool testsupport::WaitForSettled(Pred pred, const Seen& seen, int ms, int quietMs)
{
    const QDeadlineTimer deadline(ms);
    std::optional<Seen> last;
    QElapsedTimer unchanged;
    while (!pred()) {
        if (!last || !(*last == seen)) {
            last = seen;
            unchanged.start();
        } else if (unchanged.hasExpired(quietMs)) {
            return false;
        }
        if (deadline.hasExpired()) {
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}
