#include "ini_file.h"
#include "temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(Ini, ReadsWhatOtherToolsWrite)
{
    TempDir dir;
    const QString path = dir.write("autre.ini",
        "\xEF\xBB\xBF"
        "orphan=ignored\r\n"
        "; a comment\r\n"
        "[Main]\r\n"
        "  TemplateName  =  l'été 2026  \r\n"
        "templatename=second\r\n"
        "# Description=commented out\r\n"
        "Description=\r\n"
        "[main]\r\n"
        "Actions=99\r\n"
        "[Action1]\n"
        "FromFolder=/a=b\n");
    IniDocument ini(path);
    QString value;
    ASSERT_TRUE(ini.find("MAIN", "templateName", &value));
    EXPECT_EQ(value, "l'été 2026"); // spaces around "=" and the value dropped, first key wins
    ASSERT_TRUE(ini.find("Main", "Description", &value));
    EXPECT_EQ(value, "");
    EXPECT_FALSE(ini.find("Main", "Actions", &value)); // only the first "Main" counts
    EXPECT_FALSE(ini.find("Main", "orphan", &value));
    ASSERT_TRUE(ini.find("Action1", "FromFolder", &value));
    EXPECT_EQ(value, "/a=b");
}

TEST(Ini, ReadsWindows1252WhenTheFileIsNotUtf8)
{
    TempDir dir;
    const QString path = dir.write("ancien.TDRL",
        "[Main]\r\nTemplateName=Donn\xe9"
        "es \x80 \x9c"
        "uvre\r\n");
    EXPECT_EQ(ReadIni(path, "Main", "TemplateName", ""), "Données € œuvre");
    // Written back as UTF-8 without a byte-order mark, line ends kept.
    EXPECT_EQ(readFile(path), "[Main]\r\nTemplateName=Données € œuvre\r\n");
}

TEST(Ini, EveryReadWritesItsValueBack)
{
    TempDir dir;
    const QString path = dir("neuf.tmr");
    EXPECT_EQ(ReadIni(path, "Timer", "Time", " 07:30 "), "07:30");
    EXPECT_EQ(ReadIni(path, "Timer", "Template", ""), "");
    EXPECT_EQ(readFile(path), "[Timer]\r\nTime=07:30\r\nTemplate=\r\n");

    // Values are read whole and come back without their surrounding spaces.
    const QString longValue = "/" + QString(300, u'x');
    ASSERT_TRUE(WriteIni(path, "Timer", "Time", "  " + longValue + "  "));
    EXPECT_EQ(ReadIni(path, "Timer", "Time", "?"), longValue);
    EXPECT_EQ(readFile(path), "[Timer]\r\nTime=" + longValue.toUtf8() + "\r\nTemplate=\r\n");
}

TEST(Ini, WritingKeepsEverythingElseInPlace)
{
    TempDir dir;
    const QByteArray original = "; kept\n"
                                "[Main]\n"
                                "Name = old\n"
                                "\n"
                                "[Other]\n"
                                "x=1\n";
    const QString path = dir.write("projet.TDRL", original);
    ASSERT_TRUE(WriteIni(path, "main", "NAME", "new")); // in place, the key keeps its spelling
    ASSERT_TRUE(WriteIni(path, "Main", "Added", "yes")); // at the end of its section
    ASSERT_TRUE(WriteIni(path, "Third", "k", "v")); // a new section at the end
    EXPECT_EQ(readFile(path),
        "; kept\n"
        "[Main]\n"
        "Name =new\n"
        "Added=yes\n"
        "\n"
        "[Other]\n"
        "x=1\n"
        "[Third]\n"
        "k=v\n");
}

TEST(Ini, AFileThatCannotBeWrittenStaysAsItWas)
{
    TempDir dir;
    const QString path = dir.write("lecture.TDRL", "[Main]\nActions=2\n");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    EXPECT_EQ(ReadIni(path, "Main", "Missing", "0"), "0"); // the read still answers
    EXPECT_FALSE(WriteIni(path, "Main", "Actions", "5"));
    EXPECT_EQ(readFile(path), "[Main]\nActions=2\n");
    EXPECT_FALSE(WriteIni(dir("absent/x.ini"), "Main", "k", "v"));

    // Odd files read as empty or nearly so, without harm.
    const QString binary = dir.write("binaire.ini", QByteArray("\0\xff\xfe[\0=\n\r\r\n=", 12));
    EXPECT_EQ(ReadIni(binary, "Main", "Actions", "0"), "0");
}
