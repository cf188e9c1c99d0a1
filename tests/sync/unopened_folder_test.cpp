#include "run_fixture.h"

// A destination sub-folder that cannot be made (a file holds its name) fails each of its files
// with that cause; the other folders are still copied.
TEST(UnopenedFolder, AFileInTheFoldersPlaceFailsItsFilesWithTheCause)
{
    Folders f;
    f.dir.write("Origine/autre/b.txt", "b");
    f.dir.write("Origine/sous/a.txt", "a");
    f.dir.write("Origine/sous/c.txt", "c");
    f.dir.mkdir("Destination/autre");
    f.dir.write("Destination/sous", "a file, not a folder");
    RecordingObserver observer;
    const RunOutcome outcome = f.run(observer);
    const char *cause = "un fichier occupe la place du dossier destination!";
    EXPECT_EQ(fileLines(observer.lines),
        (QStringList {"     autre/b.txt - (copié)", madeLine(f.destination + "sous/"),
            failed("sous/a.txt", cause), failed("sous/c.txt", cause)}))
        << observer.lines.join('\n').toStdString();
    EXPECT_TRUE(outcome.copyErrors);
    EXPECT_EQ(readFile(f.dir("Destination/sous")), "a file, not a folder");
}
