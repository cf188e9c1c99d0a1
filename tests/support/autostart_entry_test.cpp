#include "autostart_entry.h"
#include "temp_dir.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// Runs a program and returns its exit status and what it printed, or fails the test.
QPair<int, QString> runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30'000))
        ADD_FAILURE() << program.toStdString() << ": " << process.errorString().toStdString();
    return {process.exitCode(), QString::fromUtf8(process.readAll())};
}

} // namespace

// The entry as a session starts it: GLib's launcher runs the program at an awkward path with
// the minimised option alone, and the desktop-entry validator has nothing to say about it.
TEST(Autostart, TheSessionStartsTheProgramMinimised)
{
    TempDir dir;
    const QString started = dir("started.txt");
    const QString program = dir.write("l'été \"$HOME\" \\ `x`/tandrel",
        "#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" > '" + started.toUtf8() + "'\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString file = dir("config/autostart/tandrel.desktop");

    EXPECT_FALSE(AutostartEnabled(file));
    ASSERT_EQ(WriteAutostart(file, program), QString());
    EXPECT_TRUE(AutostartEnabled(file));
    EXPECT_EQ(runTool("desktop-file-validate", {file}), qMakePair(0, QString()));

    EXPECT_EQ(runTool("gio", {"launch", file}).first, 0);
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(started) && waited.elapsed() < 10'000)
        QThread::msleep(50);
    QThread::msleep(100); // the line is written as the file is created
    EXPECT_EQ(readFile(started), (program + '\n' + StartMinimizedOption + '\n').toUtf8());

    ASSERT_EQ(WriteAutostart(file, dir("100 %d/tandrel")), QString()); // "%" must be escaped
    EXPECT_EQ(runTool("desktop-file-validate", {file}), qMakePair(0, QString()));
    EXPECT_EQ(RemoveAutostart(file), QString());
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_FALSE(AutostartEnabled(file));
}

// An entry the user edited counts unless it is switched off in its main group.
TEST(Autostart, AnEntrySwitchedOffByTheUserIsNotEnabled)
{
    TempDir dir;
    const QByteArray main = "[Desktop Entry]\nType=Application\nExec=tandrel --autre\n";
    EXPECT_TRUE(
        AutostartEnabled(dir.write("on.desktop", main + "[Desktop Action x]\nHidden=true\n")));
    EXPECT_FALSE(
        AutostartEnabled(dir.write("off.desktop", main + "  X-GNOME-Autostart-enabled=false\n")));
}
