// The drives the drive selector offers and whether each can be read: the volumes a user would
// recognise on Linux and other Unix systems (read from the mount table), the drive letters on
// Windows.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace pomvex {

struct DriveAccess {
  // The root paths of the drives, with "/" separators ("/", "/media/usb", "C:/").
  std::function<QStringList()> listDrives;
  // Whether the drive can be read now; a drive without a medium, or a volume that is no longer
  // mounted, is not ready.
  std::function<bool(const QString& root)> isReady;
};

// One line of the mount table.
struct Mount {
  QString device;      // "major:minor"
  QString root;        // the folder of the file system that is mounted there
  QString mountPoint;  // where it is mounted
  QString type;        // the file system type ("ext4", "nfs4", "tmpfs", ...)
  QString source;      // "/dev/sdb1", "server:/export", "proc", ...
};

// The mount table as the kernel gives it (/proc/self/mountinfo); empty when there is none.
using MountTableSource = std::function<QByteArray()>;
QByteArray ReadMountTable();

// The lines of a table in the format of /proc/self/mountinfo, escapes ("\040") decoded.
QList<Mount> ParseMountTable(const QByteArray& table);

// The mount points that stand for drives, sorted: real file systems (on a block device),
// network and shared folders, removable media. Left out: the system's own mounts (/proc, /sys,
// /dev, /run, /boot, snaps, container and package-manager internals), memory and virtual file
// systems, and a mount whose folder is already inside another listed one of the same file system
// (a bind mount). The root "/" is always among them.
QStringList UserVolumes(const QList<Mount>& mounts);

// The machine's drives; source gives the mount table, read again for every listing and every
// readiness check.
DriveAccess SystemDrives(MountTableSource source = ReadMountTable);

// The drive the window falls back to when the chosen one is not ready: "/" (or "C:/").
QString FallbackDrive();

}  // namespace pomvex
