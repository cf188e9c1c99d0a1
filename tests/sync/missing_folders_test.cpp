#include "run_fixture.h"

// A run that could not reach a folder did not do what it was asked: front ends that nobody
// watches (the exit status, the notification) must hear of it, though no copy failed.
TEST(Run, AMissingFolderIsAnError)
{
    const struct {
        const char *missing;
        const char *inclSub;
    } cases[]
        = {{"Destination", "OUI"}, {"Destination", "NON"}, {"Origine", "OUI"}, {"Origine", "NON"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.missing) + " " + c.inclSub);
        Folders f;
        f.dir.write("Origine/sous/a.txt");
        f.dir.write("Origine/b.txt");
        ASSERT_TRUE(QDir(f.dir(c.missing)).removeRecursively());
        RecordingObserver observer;
        const RunOutcome outcome = f.run(observer, c.inclSub);
        EXPECT_EQ(outcome.status, RunOutcome::Status::Finished);
        EXPECT_TRUE(outcome.copyErrors);
    }
}
