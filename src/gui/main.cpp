// Start-up of the desktop program: the application with its name and icon, the main window in
// the centre of the screen, and the event loop until the window is closed.
#include <QApplication>
#include <QIcon>

#include "pomvex_main.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Pomvex"));
  QApplication::setApplicationVersion(QStringLiteral(POMVEX_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral("pomvex"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/pomvex/pomvex.png")));

  pomvex::TMainForm MainForm;
  MainForm.show();
  return application.exec();
}
