// Tests of the window's controls on their own: what the directory and file lists show and in
// which order, the drive a path lies on, and fonts that stand in for missing ones.
#include "window_controls.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QTemporaryDir>
#include <QtTest>

#include "control_fonts.h"
#include "drives.h"
#include "gui_test_support.h"

namespace pomvex {

namespace {

QStringList Texts(const QListWidget& list) {
  QStringList texts;
  for (int row = 0; row < list.count(); ++row) texts << list.item(row)->text();
  return texts;
}

}  // namespace

class WindowControlsTest : public QObject {
  Q_OBJECT

 private slots:
  void DirectoryListShowsPathThenSubFolders() {
    QTemporaryDir temp;
    const QString top = temp.filePath("Top");
    for (const char* folder : {"Top/beta", "Top/Alpha", "Top/.hidden", "Top/gamma.chi"}) {
      QVERIFY(QDir(temp.path()).mkpath(folder));
    }
    QVERIFY(testing::WriteFile(top + "/afile.chi"));
    DirectoryList list;
    list.resize(300, 400);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    list.SetDirectory(top + "/");
    QCOMPARE(list.Directory(), QDir::toNativeSeparators(top));

    QStringList expected{QDir::toNativeSeparators(QDir::rootPath())};
    expected << QDir::cleanPath(top).split('/', Qt::SkipEmptyParts);
    const int topRow = static_cast<int>(expected.size()) - 1;
    expected << "Alpha"
             << "beta"
             << "gamma.chi";
    QCOMPARE(Texts(list), expected);
    QCOMPARE(list.currentRow(), topRow);
    QCOMPARE(list.item(topRow + 1)->data(DirectoryList::kLevelRole).toInt(), topRow + 1);

    // Double-clicking asks for the entry; the list stays where it is until it is pointed there.
    QSignalSpy chosen(&list, &DirectoryList::DirectoryChosen);
    const QRect alpha = list.visualItemRect(list.item(topRow + 1));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, alpha.center());
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, alpha.center());
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen[0][0].toString(), top + "/Alpha");
    QCOMPARE(list.Directory(), QDir::toNativeSeparators(top));

    // The root keeps its separator; a folder that cannot be read lists nothing below it.
    list.SetDirectory(QDir::rootPath());
    QCOMPARE(list.Directory(), QDir::toNativeSeparators(QDir::rootPath()));
    QCOMPARE(list.currentRow(), 0);
    list.SetDirectory(temp.filePath("gone"));
    QCOMPARE(list.item(list.count() - 1)->text(), QStringLiteral("gone"));
  }

  void FileListShowsChiFilesOfAnyCase() {
    QTemporaryDir temp;
    for (const char* name :
         {"b.chi", "A.CHI", "c.Chi", "notes.txt", "d.chip", "e.chi.bak", ".hidden.chi"}) {
      QVERIFY(testing::WriteFile(temp.filePath(name)));
    }
    QVERIFY(QDir(temp.path()).mkdir("folder.chi"));
    FileList list;
    list.SetDirectory(temp.path());
    QCOMPARE(Texts(list), (QStringList{"A.CHI", "b.chi", "c.Chi"}));

    // Several at once; the selection is reported in list order, whatever order it was made in.
    QCOMPARE(list.selectionMode(), QAbstractItemView::ExtendedSelection);
    QSignalSpy clicked(&list, &FileList::Clicked);
    list.item(2)->setSelected(true);
    list.item(0)->setSelected(true);
    QCOMPARE(list.SelectedNames(), (QStringList{"A.CHI", "c.Chi"}));
    QVERIFY(!clicked.isEmpty());
    // Refreshing is not a click.
    clicked.clear();
    list.Refresh();
    QVERIFY(clicked.isEmpty());

    list.SetDirectory(temp.filePath("gone"));
    QCOMPARE(list.count(), 0);
  }

  void DriveOfTakesTheLongestRoot_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("drive");
    QTest::newRow("root itself") << "/"
                                 << "/";
    QTest::newRow("under the root") << "/home/user"
                                    << "/";
    QTest::newRow("the mount itself") << "/media/usb"
                                      << "/media/usb";
    QTest::newRow("under a mount") << "/media/usb/letters"
                                   << "/media/usb";
    QTest::newRow("a name that only begins alike") << "/media/usbstick"
                                                   << "/";
    QTest::newRow("nested mount") << "/media/usb/inner/x"
                                  << "/media/usb/inner";
  }

  void DriveOfTakesTheLongestRoot() {
    QFETCH(QString, path);
    QFETCH(QString, drive);
    QCOMPARE(DriveOf(path, {"/media/usb", "/", "/media/usb/inner"}), drive);
  }

  void MissingFontFallsBackAndShrinksToFit() {
    const QFont font = ControlFont("No Such Font Family 1987", 20, true);
    QCOMPARE(font.family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    QCOMPARE(font.pixelSize(), 20);
    QVERIFY(font.bold());

    QCheckBox box("A rather long text for a small check box");
    box.setFont(font);
    box.resize(200, 17);
    FitFontToWidth(&box);
    QVERIFY(box.font().pixelSize() < 20 && box.font().pixelSize() >= 9);
    QVERIFY(box.sizeHint().width() <= 200 || box.font().pixelSize() == 9);
  }
};

}  // namespace pomvex

QTEST_MAIN(pomvex::WindowControlsTest)
#include "window_controls_test.moc"
