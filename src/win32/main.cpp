// Start-up of the Windows desktop program: the common controls, the main window in the centre of
// its monitor, and the message loop until the window is closed.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <utility>

#include "win32/drives_windows.h"
#include "win32/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  pomvex::WindowServices services;
  services.drives = pomvex::win32::SystemDrives();
  pomvex::win32::MainWindow MainForm(instance, std::move(services));
  if (!MainForm.Create(show)) return 1;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (MainForm.TakeKeys(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
