#include "catalogue/shutdown.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace platterly::catalogue {
namespace {

// Each test leaves the registry as it found it: registrations end with their handles, and the
// window hook is removed.
class Shutdown : public ::testing::Test
{
protected:
    ~Shutdown() override { setUnloadAllForms({}); }

    std::function<void()> record(std::string what)
    {
        return [this, what] { events.push_back(what); };
    }

    std::vector<std::string> events;
};

TEST_F(Shutdown, CloseAllFilesClosesEachResourceOnceMostRecentFirst)
{
    CloseRegistration first = registerCloseAction(record("first"));
    CloseRegistration second = registerCloseAction(record("second"));
    CloseRegistration third = registerCloseAction(record("third"));
    EXPECT_TRUE(second.isRegistered());
    CloseAllFiles();
    CloseAllFiles();
    EXPECT_EQ(events, (std::vector<std::string>{"third", "second", "first"}));
}

TEST_F(Shutdown, AResourceClosedEarlierIsNotClosedAgain)
{
    CloseRegistration kept = registerCloseAction(record("kept"));
    {
        CloseRegistration gone = registerCloseAction(record("gone"));
    }
    CloseRegistration reset = registerCloseAction(record("reset"));
    reset.reset();
    EXPECT_FALSE(reset.isRegistered());
    // A moved registration still stands for its resource, once.
    CloseRegistration moved = registerCloseAction(record("moved"));
    CloseRegistration target = std::move(moved);
    EXPECT_FALSE(moved.isRegistered());
    CloseAllFiles();
    EXPECT_EQ(events, (std::vector<std::string>{"moved", "kept"}));
}

TEST_F(Shutdown, CloseActionsMayUnregisterAndRegisterOthersWhileClosing)
{
    CloseRegistration late;
    CloseRegistration outer = registerCloseAction(record("outer"));
    CloseRegistration inner;
    inner = registerCloseAction([&] {
        events.push_back("inner");
        // Closing a resource often ends its own registration; whatever a close action opens
        // is closed in the same run.
        inner = CloseRegistration();
        late = registerCloseAction(record("late"));
    });
    CloseAllFiles();
    EXPECT_EQ(events, (std::vector<std::string>{"inner", "late", "outer"}));
}

TEST_F(Shutdown, QuitProgramClosesFilesThenWindowsThenEndsTheEventLoop)
{
    CloseRegistration catalogue = registerCloseAction(record("close catalogue"));
    setUnloadAllForms(record("unload windows"));
    QTimer::singleShot(0, [] { QuitProgram(); });
    // A safety net only: if quitting did not end the loop, the test fails instead of hanging.
    QTimer safetyNet;
    safetyNet.setSingleShot(true);
    QObject::connect(&safetyNet, &QTimer::timeout, [] { QCoreApplication::exit(2); });
    safetyNet.start(std::chrono::seconds(60));
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"close catalogue", "unload windows"}));
}

TEST_F(Shutdown, UnloadAllFormsWithoutAHookDoesNothing)
{
    setUnloadAllForms(record("unload"));
    setUnloadAllForms({});
    UnloadAllForms();
    EXPECT_TRUE(events.empty());
    setUnloadAllForms(record("unload"));
    UnloadAllForms();
    EXPECT_EQ(events, std::vector<std::string>{"unload"});
}

} // namespace
} // namespace platterly::catalogue
