#include "private_bus.h"
#include "sleep_inhibitor.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <optional>

using namespace std::chrono_literals;

// The inhibitor asks for a blocking sleep lock in the program's name and holds it while it
// lives; a logind missing or silent holds nothing and keeps the run waiting at most the timeout.
TEST(SleepInhibitor, HoldsLogindsSleepLockWhileItLivesAndGivesUpOnASilentOne)
{
    PrivateBus bus;
    EXPECT_FALSE(SleepInhibitor("x", bus.connect()).held()); // no logind on this bus
    std::optional<FakeLogind> logind(std::in_place, bus);
    std::optional<SleepInhibitor> inhibitor(std::in_place, "Synchronisation", bus.connect());
    ASSERT_TRUE(inhibitor->held());
    EXPECT_EQ(logind->calls(),
        std::vector<QStringList>({{"sleep", "Tandrel", "Synchronisation", "block"}}));
    EXPECT_FALSE(logind->released(100ms));
    inhibitor.reset();
    EXPECT_TRUE(logind->released(2000ms));

    logind.emplace(bus, true);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(SleepInhibitor("x", bus.connect(), 300ms).held());
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_LT(clock.elapsed(), 1000);
}
