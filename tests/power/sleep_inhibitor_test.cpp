#include "private_bus.h"
#include "sleep_inhibitor.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace std::chrono_literals;

// The inhibitor asks for a blocking sleep lock in the program's name, holds it while it lives
// and gives it back when it goes.
TEST(SleepInhibitor, HoldsLogindsSleepLockUntilItGoes)
{
    PrivateBus bus;
    FakeLogind logind(bus);
    std::optional<SleepInhibitor> inhibitor;
    inhibitor.emplace(QStringLiteral("Synchronisation en cours"), bus.connect("run"));
    ASSERT_TRUE(inhibitor->held());
    ASSERT_EQ(logind.calls().size(), 1u);
    EXPECT_EQ(logind.calls().front(),
        QStringList({"sleep", "Tandrel", "Synchronisation en cours", "block"}));
    EXPECT_FALSE(logind.released(100ms));
    inhibitor.reset();
    EXPECT_TRUE(logind.released(2000ms));
}

// No bus, no logind, a logind that never answers: nothing is held, and the run waits at most
// the timeout.
TEST(SleepInhibitor, GivesUpQuicklyWithoutAnAnsweringLogind)
{
    PrivateBus bus;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(
        SleepInhibitor("x", QDBusConnection::connectToBus("unix:path=/nonexistent", "none"))
            .held());
    EXPECT_FALSE(SleepInhibitor("x", bus.connect("nobody")).held()); // no logind on this bus
    EXPECT_LT(clock.elapsed(), 500);

    FakeLogind silent(bus, true);
    clock.restart();
    EXPECT_FALSE(SleepInhibitor("x", bus.connect("waiting"), 300ms).held());
    EXPECT_EQ(silent.calls().size(), 1u);
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_LT(clock.elapsed(), 1000);
}

} // namespace
