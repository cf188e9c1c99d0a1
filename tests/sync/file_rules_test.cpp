#include "file_step.h"
#include "report_file.h"
#include "run_context.h"

#include <gtest/gtest.h>

TEST(MustCopy, TriesTheSizeFirstThenTheDate)
{
    struct Case {
        bool dstExists;
        qint64 srcLen, dstLen, srcDate, dstDate;
        const char *size, *date;
        bool copy;
    };
    const Case cases[] = {
        {false, 1, 1, 1, 1, "<>", ">", true}, // missing destination file
        {true, 1, 1, 9, 1, "", "", true}, // no size criterion: always copied
        {true, 1, 1, 1, 9, "", ">", true}, // ... whatever the dates
        {true, 2, 1, 1, 1, "<>", ">", true}, // sizes differ
        {true, 1, 1, 2, 1, "<>", ">", true}, // same size, origin newer
        {true, 1, 1, 1, 2, "<>", ">", false}, // same size, origin older
        {true, 1, 1, 1, 1, "<>", ">", false}, // unchanged
        {true, 1, 1, 1, 2, "<>", "<>", true}, // dates differ
        {true, 1, 2, 1, 2, ">", ">", false}, // destination larger and newer
        {true, 1, 2, 1, 2, ">", "", true}, // no date criterion
        {true, 3, 2, 1, 2, ">", ">", true}, // origin larger, whatever the dates
        {true, 1, 1, 1, 1, "<>", "x", true}, // an unknown criterion copies
    };
    for (const Case &c : cases) {
        // Name, origin size and date, destination size and date, mode, which files exist.
        const FileCompare file {
            {}, c.srcLen, c.srcDate, c.dstLen, c.dstDate, 0, false, c.dstExists};
        EXPECT_EQ(MustCopy(file, c.size, c.date), c.copy) << "case " << &c - cases;
    }
}

TEST(ReportFile, KeepsEveryReportInsideTheApplicationFolder)
{
    EXPECT_EQ(ReportFilePath("/app/", "Sauvegarde"), "/app/Sauvegarde.log");
    EXPECT_EQ(ReportFilePath("/app/", "../../etc/x"), "/app/.._.._etc_x.log");
    EXPECT_EQ(ReportFilePath("/app/", QString("a") + QChar(0) + "b"), "/app/a_b.log");
    EXPECT_EQ(ReportFilePath("/app/", " l'été * ? "), "/app/ l'été * ? .log");
}
