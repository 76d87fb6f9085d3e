// The desktop start's working folder and where Help finds the installed manual.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "shell/DesktopStart.h"

class DesktopStartTest : public QObject {
    Q_OBJECT
private slots:
    void optionRequested();
    void makesAndEntersTheFolder();
    void keepsAnExistingFolder();
    void unusableHomeLeavesTheFolderAsItWas();
    void manualBesideTheProgramFirst();
};

void DesktopStartTest::optionRequested() {
    const char* desktop[] = {"dervalo", "--desktop"};
    const char* plain[] = {"dervalo", "-platform", "offscreen"};
    QVERIFY(DesktopStart::Requested(2, desktop));
    QVERIFY(!DesktopStart::Requested(3, plain));
    QVERIFY(!DesktopStart::Requested(1, desktop));
}

void DesktopStartTest::makesAndEntersTheFolder() {
    const QString before = QDir::currentPath();
    QTemporaryDir home;
    const QString entered = DesktopStart::EnterWorkingFolder(home.path());
    const QString expected = QDir(home.path()).canonicalPath() + "/Dervalo";
    QCOMPARE(QDir(entered).canonicalPath(), expected);
    QCOMPARE(QDir::current().canonicalPath(), expected);
    QVERIFY(QDir::setCurrent(before));
}

void DesktopStartTest::keepsAnExistingFolder() {
    const QString before = QDir::currentPath();
    QTemporaryDir home;
    QVERIFY(QDir(home.path()).mkdir("Dervalo"));
    QFile settings(home.filePath("Dervalo/Dervalo.INI"));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.close();
    QVERIFY(!DesktopStart::EnterWorkingFolder(home.path()).isEmpty());
    QVERIFY(QFile::exists("Dervalo.INI"));
    QVERIFY(QDir::setCurrent(before));
}

void DesktopStartTest::unusableHomeLeavesTheFolderAsItWas() {
    const QString before = QDir::currentPath();
    QTemporaryDir home;
    // A plain file named Dervalo stands in the way.
    QFile blocker(home.filePath("Dervalo"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(DesktopStart::EnterWorkingFolder(home.path()).isEmpty());
    QVERIFY(DesktopStart::EnterWorkingFolder(QString()).isEmpty());
    QCOMPARE(QDir::currentPath(), before);
}

void DesktopStartTest::manualBesideTheProgramFirst() {
    QCOMPARE(InstalledManual::Candidates("/opt/dervalo/bin"),
             (QStringList{"/opt/dervalo/share/doc/dervalo/manual.html",
                          "/usr/share/doc/dervalo/manual.html"}));
    QCOMPARE(InstalledManual::Candidates("/usr/bin"),
             QStringList{"/usr/share/doc/dervalo/manual.html"});
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath("share/doc/dervalo"));
    const QStringList candidates = InstalledManual::Candidates(root.filePath("bin"));
    QCOMPARE(InstalledManual::Find({candidates.first()}), QString());
    QFile manual(root.filePath("share/doc/dervalo/manual.html"));
    QVERIFY(manual.open(QIODevice::WriteOnly));
    manual.close();
    QCOMPARE(InstalledManual::Find(candidates), manual.fileName());
}

QTEST_GUILESS_MAIN(DesktopStartTest)
#include "tst_desktopstart.moc"
