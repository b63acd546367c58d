// The drives of a Windows machine for the drive selector: the drive letters the system has, and
// whether each can be read now.
#pragma once

#include "window/main_form_model.h"

namespace pomvex::win32 {

// The drives as "A:\" to "Z:\"; drive C is where the window goes when one is not ready.
DriveServices SystemDrives();

}  // namespace pomvex::win32
