// The drives of the machine for the drive selector. A Unix machine has no drive letters: every
// mounted volume stands for a drive, and the root volume takes the place of drive C.
#include "drives.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

namespace pomvex {

namespace {

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

QStringList ListSystemDrives() {
  QStringList roots;
#ifdef Q_OS_WIN
  for (const QFileInfo& drive : QDir::drives()) roots << drive.absoluteFilePath();
#else
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (volume.isValid()) roots << volume.rootPath();
  }
#endif
  if (!roots.contains(FallbackDrive(), kPathCase)) roots << FallbackDrive();
  roots.removeDuplicates();
  std::sort(roots.begin(), roots.end(),
            [](const QString& a, const QString& b) { return a.compare(b, kPathCase) < 0; });
  return roots;
}

bool IsSystemDriveReady(const QString& root) {
  const QStorageInfo volume(root);
  return volume.isValid() && volume.isReady() && QFileInfo(root).isReadable();
}

bool LiesUnder(const QString& path, const QString& root) {
  if (path.compare(root, kPathCase) == 0) return true;
  const QString prefix = root.endsWith('/') ? root : root + '/';
  return path.startsWith(prefix, kPathCase);
}

}  // namespace

DriveAccess SystemDrives() {
  return {ListSystemDrives, IsSystemDriveReady};
}

QString FallbackDrive() {
#ifdef Q_OS_WIN
  return QStringLiteral("C:/");
#else
  return QStringLiteral("/");
#endif
}

QString DriveOf(const QString& path, const QStringList& drives) {
  QString best;
  for (const QString& root : drives) {
    if (LiesUnder(path, root) && root.size() > best.size()) best = root;
  }
  return best.isEmpty() ? FallbackDrive() : best;
}

}  // namespace pomvex
