#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

// A small file-system image mounted through FUSE: FAT32 through fusefat on the image file, as a
// stick; exFAT through exfat-fuse on a loop device, as a desktop mounts a drive. Unmounted, its
// loop device let go, when the test ends. One that cannot be made says why in failure().
class MountedVolume {
public:
    enum class Kind { Fat32, ExFat };

    // The image and the mount point go into folder (ending with "/").
    MountedVolume(Kind kind, const QString &folder, int mebibytes = 8)
        : image_(folder + "volume.img")
        , path_(folder + "volume/")
    {
        QDir().mkpath(path_);
        QFile file(image_);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(qint64(mebibytes) << 20))
            failure_ = "cannot make the image " + image_;
        file.close();
        if (ready())
            kind == Kind::Fat32 ? mountFat() : mountExFat();
        if (ready() && !waitForMount())
            failure_ = "the file system did not appear on " + path_;
    }
    ~MountedVolume()
    {
        if (run("fusermount", {"-u", path_}) || run("fusermount", {"-u", "-z", path_}))
            driver_.waitForFinished(5000);
        if (!loop_.isEmpty())
            run("losetup", {"-d", loop_});
    }

    bool ready() const { return failure_.isEmpty(); }
    const QString &failure() const { return failure_; }
    const QString &path() const { return path_; } // ends with "/"
    const QString &image() const { return image_; }

    // The device is pulled out: its driver dies, and every call on it fails from then on.
    void pull()
    {
        driver_.kill();
        driver_.waitForFinished(5000);
    }

private:
    // Runs a program to its end; true when it succeeded.
    bool run(const QString &program, const QStringList &arguments, QByteArray *out = nullptr)
    {
        QProcess process;
        process.start(program, arguments);
        const bool ok = process.waitForFinished(30000)
            && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        if (out)
            *out = process.readAllStandardOutput().trimmed();
        if (!ok && failure_.isEmpty())
            failure_ = program + " " + arguments.join(' ') + " failed: " + process.errorString()
                + " " + QString::fromLocal8Bit(process.readAllStandardError());
        return ok;
    }

    // fusefat stays in the foreground, so that the test holds its driver.
    void mountFat()
    {
        if (!run("mkfs.vfat", {"-F", "32", image_}))
            return;
        driver_.setStandardOutputFile(QProcess::nullDevice());
        driver_.setStandardErrorFile(QProcess::nullDevice());
        driver_.start("fusefat", {"-f", "-o", "rw+", image_, path_});
        if (!driver_.waitForStarted())
            failure_ = "cannot start fusefat: " + driver_.errorString();
    }

    void mountExFat()
    {
        QByteArray device;
        if (!run("mkfs.exfat", {image_}) || !run("losetup", {"-f", "--show", image_}, &device))
            return;
        loop_ = QString::fromLocal8Bit(device);
        run("mount.exfat-fuse", {loop_, path_});
    }

    bool waitForMount() const
    {
        for (int i = 0; i < 100; QThread::msleep(50), ++i)
            if (QProcess::execute("mountpoint", {"-q", path_}) == 0)
                return true;
        return false;
    }

    QString image_;
    QString path_;
    QString loop_;
    QString failure_;
    QProcess driver_;
};
