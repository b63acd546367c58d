// The drives of the machine for the drive selector. A Unix machine has no drive letters: every
// volume a user would recognise stands for a drive, and the root volume takes the place of
// drive C.
#include "drives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

#include "window_controls.h"

namespace pomvex {

namespace {

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

bool LiesUnder(const QString& path, const QString& root) {
  if (path.compare(root, kPathCase) == 0) return true;
  const QString prefix = root.endsWith('/') ? root : root + '/';
  return path.startsWith(prefix, kPathCase);
}

// "\040" and the like stand for a space, a tab, a line feed or a backslash in the table.
QString DecodeField(const QByteArray& field) {
  QByteArray bytes;
  for (qsizetype i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3') {
      bool ok = false;
      const int code = field.mid(i + 1, 3).toInt(&ok, 8);
      if (ok) {
        bytes += static_cast<char>(code);
        i += 3;
        continue;
      }
    }
    bytes += field[i];
  }
  return FromLocalName(bytes.toStdString());
}

// Where the system keeps its own mounts; removable media mounted under /run/media stay.
bool IsSystemPlace(const QString& mountPoint) {
  static const QStringList places{"/proc",
                                  "/sys",
                                  "/dev",
                                  "/run",
                                  "/boot",
                                  "/etc",
                                  "/snap",
                                  "/var/snap",
                                  "/var/lib/snapd",
                                  "/var/lib/docker",
                                  "/var/lib/containers",
                                  "/var/lib/lxc"};
  if (LiesUnder(mountPoint, QStringLiteral("/run/media"))) return false;
  return std::any_of(places.begin(), places.end(),
                     [&](const QString& place) { return LiesUnder(mountPoint, place); });
}

// A file system that holds a user's files: one on a block device, or a network or shared
// folder. Memory, kernel and layered file systems (tmpfs, proc, overlay, squashfs) are not.
bool HoldsUserFiles(const Mount& mount) {
  static const QStringList shared{"nfs",  "nfs4",      "cifs",   "smb3",     "smbfs",
                                  "9p",   "drvfs",     "vboxsf", "virtiofs", "fuse.sshfs",
                                  "ceph", "glusterfs", "afs",    "davfs",    "fuse.rclone"};
  if (mount.type == QLatin1String("squashfs")) return false;
  return mount.source.startsWith(QLatin1String("/dev/")) || shared.contains(mount.type);
}

QList<Mount> MountsOf(const MountTableSource& source) {
  QList<Mount> mounts = ParseMountTable(source ? source() : QByteArray());
  if (!mounts.isEmpty()) return mounts;
  // No mount table of the Linux kind: what the toolkit knows of the mounted volumes.
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid()) continue;
    const QString device = QFile::decodeName(volume.device());
    mounts.append({device, QStringLiteral("/"), volume.rootPath(),
                   QString::fromLatin1(volume.fileSystemType()), device});
  }
  return mounts;
}

QStringList ListSystemDrives(const MountTableSource& source) {
  QStringList roots;
#ifdef Q_OS_WIN
  (void)source;
  for (const QFileInfo& drive : QDir::drives()) roots << drive.absoluteFilePath();
  if (!roots.contains(FallbackDrive(), kPathCase)) roots << FallbackDrive();
  std::sort(roots.begin(), roots.end(),
            [](const QString& a, const QString& b) { return a.compare(b, kPathCase) < 0; });
#else
  for (const QString& root : UserVolumes(MountsOf(source))) {
    // A file mounted over a file (as containers do for /etc/hosts) is no drive.
    if (root == FallbackDrive() || QFileInfo(root).isDir()) roots << root;
  }
#endif
  return roots;
}

bool IsSystemDriveReady(const MountTableSource& source, const QString& root) {
#ifndef Q_OS_WIN
  // A volume unmounted since the list was read leaves an empty folder behind: not the drive.
  if (root != FallbackDrive() && !ListSystemDrives(source).contains(root, kPathCase)) return false;
#else
  (void)source;
#endif
  const QStorageInfo volume(root);
  return volume.isValid() && volume.isReady() && QFileInfo(root).isReadable();
}

}  // namespace

QByteArray ReadMountTable() {
  QFile table(QStringLiteral("/proc/self/mountinfo"));
  // The file reports no size; it is read to its end.
  if (!table.open(QIODevice::ReadOnly)) return {};
  return table.readAll();
}

QList<Mount> ParseMountTable(const QByteArray& table) {
  QList<Mount> mounts;
  for (const QByteArray& line : table.split('\n')) {
    // id, parent, major:minor, root, mount point, options, optional fields..., "-", type, source
    const QList<QByteArray> fields = line.simplified().split(' ');
    const qsizetype dash = fields.indexOf("-");
    if (fields.size() < 6 || dash < 6 || dash + 2 >= fields.size()) continue;
    mounts.append({QString::fromLatin1(fields[2]), DecodeField(fields[3]), DecodeField(fields[4]),
                   DecodeField(fields[dash + 1]), DecodeField(fields[dash + 2])});
  }
  return mounts;
}

QStringList UserVolumes(const QList<Mount>& mounts) {
  QList<Mount> kept;
  for (const Mount& mount : mounts) {
    if (mount.mountPoint != FallbackDrive() &&
        (IsSystemPlace(mount.mountPoint) || !HoldsUserFiles(mount))) {
      continue;
    }
    kept.append(mount);
  }
  // Of the mounts of one file system, only those whose folder is not inside another's: a bind
  // mount shows again what is already there. Of two mounts of the same folder, the earlier.
  std::stable_sort(kept.begin(), kept.end(),
                   [](const Mount& a, const Mount& b) { return a.root.size() < b.root.size(); });
  QStringList roots{FallbackDrive()};
  QList<Mount> listed;
  for (const Mount& mount : kept) {
    const bool shown = std::any_of(listed.begin(), listed.end(), [&](const Mount& other) {
      return other.device == mount.device && LiesUnder(mount.root, other.root);
    });
    if (shown && mount.mountPoint != FallbackDrive()) continue;
    listed.append(mount);
    if (!roots.contains(mount.mountPoint, kPathCase)) roots << mount.mountPoint;
  }
  std::sort(roots.begin(), roots.end(),
            [](const QString& a, const QString& b) { return a.compare(b, kPathCase) < 0; });
  return roots;
}

DriveAccess SystemDrives(MountTableSource source) {
  return {[source] { return ListSystemDrives(source); },
          [source](const QString& root) { return IsSystemDriveReady(source, root); }};
}

QString FallbackDrive() {
#ifdef Q_OS_WIN
  return QStringLiteral("C:/");
#else
  return QStringLiteral("/");
#endif
}

}  // namespace pomvex
