// The drives the drive selector offers and whether each can be read: the mounted volumes on
// Linux and other Unix systems, the drive letters on Windows.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace pomvex {

struct DriveAccess {
  // The root paths of the drives, with "/" separators ("/", "/media/usb", "C:/").
  std::function<QStringList()> listDrives;
  // Whether the drive can be read now; a drive without a medium is not ready.
  std::function<bool(const QString& root)> isReady;
};

DriveAccess SystemDrives();

// The drive the window falls back to when the chosen one is not ready: "/" (or "C:/").
QString FallbackDrive();

// The drive among drives that holds path (absolute, "/" separators): the longest root that
// the path lies under; FallbackDrive() when none does.
QString DriveOf(const QString& path, const QStringList& drives);

}  // namespace pomvex
