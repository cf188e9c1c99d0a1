#include "ini_file.h"
#include "temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

// A value as IniDocument finds it; "<missing>" when it does not.
static QString found(const IniDocument &ini, const QString &section, const QString &key)
{
    QString value;
    return ini.find(section, key, &value) ? value : QStringLiteral("<missing>");
}

TEST(Ini, ReadsWhatOtherToolsWriteAndWindows1252)
{
    TempDir dir;
    const IniDocument ini(dir.write("autre.ini",
        "\xEF\xBB\xBForphan=ignored\r\n; a comment\r\n[Main]\r\n  TemplateName  =  l'été 2026  \r\n"
        "templatename=second\r\n# Description=commented out\r\nDescription=\r\n"
        "[main]\r\nActions=99\r\n[Action1]\nFromFolder=/a=b\n"));
    // Spaces around "=" and the value dropped, names in any case, the first key and the first
    // section win, keys before any section are ignored.
    EXPECT_EQ(QStringList({found(ini, "MAIN", "templateName"), found(ini, "Main", "Description"),
                  found(ini, "Main", "Actions"), found(ini, "Main", "orphan"),
                  found(ini, "Action1", "FromFolder")}),
        QStringList({"l'été 2026", "", "<missing>", "<missing>", "/a=b"}));

    // A line not UTF-8 is read as Windows-1252, and written back as UTF-8 without a BOM, line
    // ends kept; a line a UTF-8 editor added stays as it is.
    const QString old = dir.write(
        "ancien.TDRL", "[Main]\r\nTemplateName=Donn\351es \200 \234uvre\r\nDescription=clé\r\n");
    EXPECT_EQ(ReadIni(old, "Main", "TemplateName", ""), "Données € œuvre");
    EXPECT_EQ(readFile(old), "[Main]\r\nTemplateName=Données € œuvre\r\nDescription=clé\r\n");
}

TEST(Ini, EveryReadWritesItsValueBackAndWritingKeepsEverythingElse)
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

    // A key in place keeps its spelling, a new key goes at the end of its section, a new section
    // at the end of the file.
    const QString project
        = dir.write("projet.TDRL", "; kept\n[Main]\nName = old\n\n[Other]\nx=1\n");
    ASSERT_TRUE(WriteIni(project, "main", "NAME", "new"));
    ASSERT_TRUE(WriteIni(project, "Main", "Added", "yes"));
    ASSERT_TRUE(WriteIni(project, "Third", "k", "v"));
    EXPECT_EQ(
        readFile(project), "; kept\n[Main]\nName =new\nAdded=yes\n\n[Other]\nx=1\n[Third]\nk=v\n");

    // A file that cannot be written stays as it was.
    const QString readOnly = dir.write("lecture.TDRL", "[Main]\nActions=2\n");
    ASSERT_EQ(::chmod(QFile::encodeName(readOnly).constData(), 0444), 0);
    EXPECT_EQ(ReadIni(readOnly, "Main", "Missing", "0"), "0"); // the read still answers
    EXPECT_FALSE(WriteIni(readOnly, "Main", "Actions", "5"));
    EXPECT_EQ(readFile(readOnly), "[Main]\nActions=2\n");
    EXPECT_FALSE(WriteIni(dir("absent/x.ini"), "Main", "k", "v"));
}
