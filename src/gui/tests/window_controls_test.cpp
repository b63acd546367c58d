// Tests of the window's controls on their own: what the directory and file lists show and in
// which order, names that do not fit, the drives a mount table gives and the drive a path lies
// on, and fonts that stand in for missing ones.
#include "window_controls.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QTemporaryDir>
#include <QToolTip>
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

bool ShowList(QListWidget& list, QSize size) {
  list.resize(size);
  list.show();
  return QTest::qWaitForWindowExposed(&list);
}

}  // namespace

class WindowControlsTest : public QObject {
  Q_OBJECT

 private slots:
  // A name's bytes come back as they were, whatever they are; what is shown reads the bytes that
  // are no part of a UTF-8 character as Latin-1, with "?" for a control character.
  void NamesKeepTheirBytesAndShowReadably() {
    const struct {
      const char* label;
      std::string bytes;
      QString shown;
    } cases[] = {
        {"UTF-8",
         "Gr\xC3\xB6\xC3\x9F"
         "e \xF0\x9F\x93\x84.CHI",
         QString::fromUtf8("Größe 📄.CHI")},
        {"Latin-1 from a DOS disk", "R\xC9SUM\xC9.CHI", QString::fromUtf8("RÉSUMÉ.CHI")},
        {"a sequence cut short, and an overlong one", "a\xE2\x82 \xC0\xAF",
         QString::fromUtf8("aâ? À¯")},
        {"an encoded surrogate", "\xED\xA0\x80", QString::fromUtf8("í\u00A0?")},
        {"control characters", "tab\tline\nesc\x1b", QStringLiteral("tab?line?esc?")},
    };
    for (const auto& c : cases) {
      QCOMPARE(ToLocalName(FromLocalName(c.bytes)), c.bytes);
      QVERIFY2(ShownName(FromLocalName(c.bytes)) == c.shown, c.label);
    }
  }

  void DirectoryListShowsPathThenSubFolders() {
    QTemporaryDir temp;
    const QString top = temp.filePath("Top");
    for (const char* folder : {"Top/beta", "Top/Alpha", "Top/.hidden", "Top/gamma.chi"}) {
      QVERIFY(QDir(temp.path()).mkpath(folder));
    }
    QVERIFY(testing::WriteFile(top + "/afile.chi"));
    // A folder reached through a link can be chosen; a link to a file, or to nothing, cannot.
    QVERIFY(QFile::link(temp.filePath("Top/beta"), top + "/delta"));
    QVERIFY(QFile::link(top + "/afile.chi", top + "/epsilon"));
    QVERIFY(QFile::link(temp.filePath("gone"), top + "/zeta"));
    DirectoryList list;
    QVERIFY(ShowList(list, {300, 400}));
    list.SetDirectory(top + "/");
    QCOMPARE(list.Directory(), QDir::toNativeSeparators(top));

    QStringList expected{QDir::toNativeSeparators(QDir::rootPath())};
    expected << QDir::cleanPath(top).split('/', Qt::SkipEmptyParts);
    const int topRow = static_cast<int>(expected.size()) - 1;
    expected << "Alpha"
             << "beta"
             << "delta"
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

    // Rooted at a drive's root, the list starts there: nothing above it can be chosen.
    list.SetDirectory(top + "/Alpha", temp.path());
    QCOMPARE(Texts(list), (QStringList{QDir::toNativeSeparators(temp.path()), "Top", "Alpha"}));
    QCOMPARE(list.Root(), temp.path());
  }

  void DeepFoldersAndLongNamesStayReadable() {
    QTemporaryDir temp;
    QString deep = temp.path();
    for (int level = 1; level <= 14; ++level) deep += QStringLiteral("/level%1").arg(level);
    QVERIFY(QDir().mkpath(deep + "/Letters to publishers"));
    DirectoryList folders;
    folders.setFont(ControlFont("MS Sans Serif", 13));
    QVERIFY(ShowList(folders, {224, 233}));
    folders.SetDirectory(deep, temp.path());
    QApplication::processEvents();
    const int current = folders.currentRow();
    QCOMPARE(folders.item(current)->text(), QStringLiteral("level14"));
    // The current folder and its sub-folder show whole; the root, scrolled out of sight, has
    // its name in a tooltip.
    QCOMPARE(testing::TooltipOver(folders, current), QString());
    QCOMPARE(testing::TooltipOver(folders, current + 1), QString());
    QCOMPARE(testing::TooltipOver(folders, 0), QDir::toNativeSeparators(temp.path()));

    QVERIFY(testing::WriteFile(temp.filePath("A.CHI")));
    const QString longName = QStringLiteral("Minutes of the annual meeting of the society.CHI");
    QVERIFY(testing::WriteFile(temp.filePath(longName)));
    FileList files;
    files.setFont(ControlFont("MS Sans Serif", 13));
    files.setToolTip(QStringLiteral("the list's hint"));
    QVERIFY(ShowList(files, {219, 261}));
    files.SetDirectory(temp.path());
    QCOMPARE(Texts(files), (QStringList{"A.CHI", longName}));
    QCOMPARE(testing::TooltipOver(files, 1), longName);
    QCOMPARE(testing::TooltipOver(files, 0), QStringLiteral("the list's hint"));
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

  void DrivesAreTheVolumesAUserKnows() {
    // Fields: id, parent, device, root, mount point, options, "-", type, source, options.
    const QByteArray table =
        "27 1 254:0 / / rw - ext4 /dev/vda1 rw\n"
        "22 27 0:21 / /proc rw - proc proc rw\n"
        "23 27 0:22 / /sys rw - sysfs sysfs rw\n"
        "24 27 0:6 / /dev rw - devtmpfs devtmpfs rw\n"
        "25 24 0:23 / /dev/shm rw - tmpfs tmpfs rw\n"
        "26 27 0:24 / /run rw - tmpfs tmpfs rw\n"
        "28 27 0:25 / /tmp rw - tmpfs tmpfs rw\n"
        "29 27 254:2 / /boot/efi rw - vfat /dev/vda2 rw\n"
        "30 27 254:3 / /home rw shared:1 - ext4 /dev/vda3 rw\n"
        "31 27 254:3 /ann/papers /srv/papers rw - ext4 /dev/vda3 rw\n"
        "32 27 8:17 / /media/ann/OLD\\040DISKS rw - vfat /dev/sdb1 rw\n"
        "33 27 8:17 / /mnt/again rw - vfat /dev/sdb1 rw\n"
        "34 26 8:33 / /run/media/ann/FLOPPY rw - vfat /dev/sdc1 rw\n"
        "35 26 0:50 / /run/user/1000 rw - tmpfs tmpfs rw\n"
        "36 27 7:3 / /snap/core/123 ro - squashfs /dev/loop3 ro\n"
        "37 27 0:60 / /mnt/archive rw - nfs4 server:/archive rw\n"
        "38 27 254:0 /var/lib/docker/c1/hosts /etc/hosts rw - ext4 /dev/vda1 rw\n"
        "39 27 0:70 / /var/lib/docker/overlay2/x/merged rw - overlay overlay rw\n"
        "a broken line\n";
    const QList<Mount> mounts = ParseMountTable(table);
    QCOMPARE(mounts.size(), 18);
    QCOMPARE(mounts[10].mountPoint, QStringLiteral("/media/ann/OLD DISKS"));
    QCOMPARE(mounts[8].root, QStringLiteral("/"));
    QCOMPARE(mounts[15].source, QStringLiteral("server:/archive"));
    QCOMPARE(UserVolumes(mounts), (QStringList{"/", "/home", "/media/ann/OLD DISKS", "/mnt/archive",
                                               "/run/media/ann/FLOPPY"}));
    // A container's root is no device, and still the root.
    QCOMPARE(UserVolumes(ParseMountTable("1 0 0:40 / / rw - overlay overlay rw\n")),
             QStringList{"/"});
  }

  void MissingFontFallsBackAndShrinksToFit() {
    // Liberation Sans (fonts-liberation) has Arial's widths; without it, the toolkit's font.
    const QString standIn = StandInFamily("Arial");
    QVERIFY(standIn.isEmpty() || standIn == "Liberation Sans" || standIn == "Arimo");
    QCOMPARE(StandInFamily("No Such Font Family 1987"), standIn);
    const QFont font = ControlFont("No Such Font Family 1987", 20, true);
    QCOMPARE(font.family(), standIn.isEmpty()
                                ? QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()
                                : standIn);
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
