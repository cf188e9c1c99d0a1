#include "destination_volume.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

#include <cstdlib>

namespace {

constexpr qint64 fat32Limit = 4LL * 1024 * 1024 * 1024 - 1;

bool isOneOf(QByteArrayView type, std::initializer_list<const char *> names)
{
    for (const char *name : names)
        if (type == name)
            return true;
    return false;
}

// The mount table's type of the file system of device dev; empty when not found.
QByteArray mountedType(dev_t dev)
{
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly))
        return {};
    const QByteArray wanted = QByteArray::number(major(dev)) + ':' + QByteArray::number(minor(dev));
    QByteArray type;
    // "36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw,errors=continue"
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype dash = fields.indexOf("-");
        if (fields.size() > 2 && fields[2] == wanted && dash > 0 && dash + 1 < fields.size())
            type = fields[dash + 1]; // the last mount of the device is the one seen
    }
    return type;
}

// A block device on USB, or one that says it is removable: a stick or an external drive.
bool onRemovableDevice(dev_t dev)
{
    if (major(dev) == 0)
        return false; // no block device (tmpfs, network, FUSE: judged by their type)
    const QString device
        = QFileInfo(QStringLiteral("/sys/dev/block/%1:%2").arg(major(dev)).arg(minor(dev)))
              .canonicalFilePath();
    if (device.isEmpty())
        return false;
    if (device.contains(QLatin1String("/usb")))
        return true;
    // A partition has no such flag of its own: its disk, one folder up, has it.
    for (const QString &folder : {device, device + QStringLiteral("/..")}) {
        QFile removable(folder + QStringLiteral("/removable"));
        if (removable.open(QIODevice::ReadOnly))
            return removable.readAll().trimmed() == "1";
    }
    return false;
}

} // namespace

DestinationVolume VolumeOfType(QByteArrayView type)
{
    DestinationVolume volume;
    volume.type = type.toByteArray();
    const bool fat = isOneOf(type, {"vfat", "msdos", "umsdos", "fuse.fusefat", "fusefat"});
    // fuseblk: a FUSE driver of a block device, exfat-fuse or ntfs-3g as a desktop mounts them.
    const bool exfat = isOneOf(type, {"exfat", "fuse.exfat", "fuse.exfat-fuse", "fuseblk"});
    const bool ntfs = isOneOf(type, {"ntfs", "ntfs3", "fuse.ntfs-3g", "fuse.ntfs"});
    const bool smb = isOneOf(type, {"cifs", "smb3", "smbfs"});
    const bool network = smb || isOneOf(type, {"nfs", "nfs4", "9p", "afs", "ceph"});
    // FAT keeps local times to 2 seconds; shares often sit on a FAT or exFAT disk, or on a
    // server whose clock or time zone is an hour off.
    if (fat || exfat || smb)
        volume.times = {2, true};
    volume.windowsNames = fat || exfat || ntfs || smb;
    volume.caseBlind = volume.windowsNames;
    if (fat)
        volume.maxFileSize = fat32Limit;
    volume.unpluggable = volume.windowsNames || network || type.startsWith("fuse");
    volume.slow = network || type.startsWith("fuse");
    return volume;
}

DestinationVolume ProbeVolume(int folderFd)
{
    struct stat st { };
    if (::fstat(folderFd, &st) != 0)
        return {};
    DestinationVolume volume = VolumeOfType(mountedType(st.st_dev));
    volume.unpluggable = volume.unpluggable || onRemovableDevice(st.st_dev);
    struct statvfs fs { };
    if (::fstatvfs(folderFd, &fs) == 0 && fs.f_blocks > 0 && fs.f_frsize > 0) {
        volume.freeBytes = qint64(fs.f_bavail) * qint64(fs.f_frsize);
        volume.blockSize = qint64(fs.f_frsize);
    }
    return volume;
}

bool WindowsCanHold(QByteArrayView name)
{
    for (const char c : name)
        if (uchar(c) < 0x20 || QByteArrayView("\\:*?\"<>|").contains(c))
            return false;
    return !name.endsWith('.') && !name.endsWith(' ') && name.isValidUtf8();
}

int CompareTimes(qint64 origin, qint64 copy, const TimeRule &rule, bool sameSize)
{
    const qint64 apart = origin - copy;
    if (std::abs(apart) < rule.resolution)
        return 0;
    if (rule.localTime && sameSize && std::abs(std::abs(apart) - 3600) < rule.resolution)
        return 0;
    return apart < 0 ? -1 : 1;
}
