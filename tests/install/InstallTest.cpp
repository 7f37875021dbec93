// The installed program, as a user of a Linux desktop meets it: the build
// installed twice by cmake --install, once into a DESTDIR with the prefix
// /usr (as a package does) and once into a prefix of its own, and the
// Debian package CPack makes. The tree must hold exactly the files the
// layout names, the desktop's validators must accept the menu and catalogue
// entries, the man pages must render, and the installed launcher and lookup
// must find the data from any working directory.
//
// Checks that need a tool which is not installed (desktop-file-validate,
// appstreamcli, man, dpkg-deb, dpkg-shlibdeps, file, lintian) are skipped;
// scripts/install-deps installs them for ./test.
#include "DictionaryStore.h"
#include "ProbeEnvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kAppId = QStringLiteral("hr.tarvena.Tarvena");

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

Outcome Execute(const QString& program, const QStringList& arguments, const QString& workingDir = QString(),
            const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(), int timeoutMs = 120000)
{
    QProcess process;
    process.setProcessEnvironment(env);
    if (!workingDir.isEmpty())
        process.setWorkingDirectory(workingDir);
    process.start(program, arguments);
    Outcome run;
    if (!process.waitForStarted(10000)) {
        run.err = program + QStringLiteral(": did not start");
        return run;
    }
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.err = program + QStringLiteral(": did not finish");
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString Tool(const char* name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

QString ReadText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The files an installation holds, relative to its prefix (packaging/).
QSet<QString> Layout()
{
    QSet<QString> files;
    for (const QString& line : ReadText(QStringLiteral(TARVENA_INSTALL_LAYOUT)).split(QLatin1Char('\n')))
        if (!line.isEmpty())
            files.insert(line);
    return files;
}

QSet<QString> FilesUnder(const QString& root)
{
    QSet<QString> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.insert(QDir(root).relativeFilePath(it.next()));
    return files;
}

// "Broj pronađenih pojmova: N" on the lookup's stderr.
int HitCount(const Outcome& run)
{
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Broj pronađenih pojmova: (\\d+)")).match(run.err);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// Installs the build once per suite: into DESTDIR with the prefix /usr,
// and into a prefix that is a real folder.
class InstallTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        scratch_ = new QTemporaryDir;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), Dest());
        const Outcome staged = Execute(QStringLiteral(CMAKE_COMMAND),
                                   {"--install", TARVENA_BUILD_DIR, "--prefix", "/usr"}, QString(), env);
        env.remove(QStringLiteral("DESTDIR"));
        const Outcome real = Execute(QStringLiteral(CMAKE_COMMAND),
                                 {"--install", TARVENA_BUILD_DIR, "--prefix", Prefix()}, QString(), env);
        installed_ = staged.status == 0 && real.status == 0;
        installLog_ = staged.err + real.err;
    }
    static void TearDownTestSuite()
    {
        delete scratch_;
        scratch_ = nullptr;
    }

    void SetUp() override { ASSERT_TRUE(installed_) << installLog_.toStdString(); }

    static QString Dest() { return scratch_->filePath(QStringLiteral("dest")); }
    static QString Prefix() { return scratch_->filePath(QStringLiteral("prefix")); }
    static QString Staged(const QString& relative) { return Dest() + QStringLiteral("/usr/") + relative; }

    // The environment the installed programs run in: their settings in a
    // folder of the test's own, never the user's.
    QProcessEnvironment Environment(const QProcessEnvironment& base) const
    {
        QProcessEnvironment env = base;
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), settings_.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

    static QTemporaryDir* scratch_;
    static bool installed_;
    static QString installLog_;
    QTemporaryDir settings_;
    QTemporaryDir workingDir_; // holds no data files
};

QTemporaryDir* InstallTest::scratch_ = nullptr;
bool InstallTest::installed_ = false;
QString InstallTest::installLog_;

TEST_F(InstallTest, TheTreeHoldsExactlyTheLayoutWithFoldersOfThePrefixNotOfDestdir)
{
    const QSet<QString> expected = Layout();
    ASSERT_GT(expected.size(), 20);
    QSet<QString> staged;
    for (const QString& file : FilesUnder(Dest()))
        staged.insert(file.mid(QStringLiteral("usr/").size()));
    EXPECT_EQ(staged, expected) << "missing: " << QStringList((expected - staged).values()).join(' ').toStdString()
                                << "; not in the layout: "
                                << QStringList((staged - expected).values()).join(' ').toStdString();
    EXPECT_EQ(FilesUnder(Prefix()), expected);

    // The launcher and the menu entry name the folders of the installation:
    // the prefix, without the DESTDIR they were staged in.
    const QString launcher = ReadText(Staged(QStringLiteral("bin/tarvena")));
    EXPECT_TRUE(launcher.startsWith(QStringLiteral("#!/bin/sh\n")));
    EXPECT_TRUE(launcher.contains(QStringLiteral("cd '/usr/share/tarvena' || exit 1")));
    EXPECT_TRUE(launcher.contains(QStringLiteral("exec '/usr/lib/tarvena/vokabar2' \"$@\"")));
    EXPECT_TRUE(QFileInfo(Staged(QStringLiteral("bin/tarvena"))).isExecutable());
    const QString entry = ReadText(Staged(QStringLiteral("share/applications/") + kAppId + ".desktop"));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nPath=/usr/share/tarvena\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=tarvena\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nIcon=") + kAppId + "\n"));
    EXPECT_TRUE(ReadText(Prefix() + "/bin/tarvena").contains("cd '" + Prefix() + "/share/tarvena'"));

    // The icons are the sizes they claim, with a transparent corner.
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QImage icon(Staged(QStringLiteral("share/icons/hicolor/%1x%1/apps/").arg(size)) + kAppId + ".png");
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << size;
    }
}

TEST_F(InstallTest, TheDesktopsValidatorsAcceptTheMenuAndCatalogueEntries)
{
    const QString desktopValidate = Tool("desktop-file-validate");
    const QString appstream = Tool("appstreamcli");
    if (desktopValidate.isEmpty() || appstream.isEmpty())
        GTEST_SKIP() << "desktop-file-validate or appstreamcli is not installed";

    // Hints (several main categories, as asked for) are not faults.
    const Outcome desktop = Execute(desktopValidate, {Staged("share/applications/" + kAppId + ".desktop")});
    EXPECT_EQ(desktop.status, 0) << desktop.out.toStdString();
    const QStringList problems = (desktop.out + desktop.err).split('\n').filter(QRegularExpression(": (error|warning): "));
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();

    const Outcome metainfo = Execute(appstream, {"validate", "--no-net", Staged("share/metainfo/" + kAppId + ".metainfo.xml")});
    EXPECT_EQ(metainfo.status, 0) << metainfo.out.toStdString();
    EXPECT_FALSE(metainfo.out.contains(QRegularExpression(QStringLiteral("^[EW]: "), QRegularExpression::MultilineOption)))
        << metainfo.out.toStdString();
}

TEST_F(InstallTest, EveryManPageRendersWithoutWarnings)
{
    const QString man = Tool("man");
    if (man.isEmpty())
        GTEST_SKIP() << "man is not installed";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("MANWIDTH"), QStringLiteral("80"));
    int pages = 0;
    for (const QString& file : Layout()) {
        if (!file.startsWith(QStringLiteral("share/man/man1/")))
            continue;
        ++pages;
        const QString name = QFileInfo(file).fileName().section('.', 0, 0);
        const Outcome page = Execute(man, {"--warnings", "-E", "UTF-8", "-l", Staged(file)}, QString(), env);
        EXPECT_EQ(page.status, 0) << file.toStdString();
        EXPECT_TRUE(page.err.isEmpty()) << file.toStdString() << ": " << page.err.toStdString();
        EXPECT_TRUE(page.out.contains(QStringLiteral("NAME"))) << file.toStdString();
        EXPECT_TRUE(page.out.contains(name + QStringLiteral(" - "))) << file.toStdString();
        EXPECT_TRUE(page.out.contains(QStringLiteral("EXIT STATUS"))) << file.toStdString();
    }
    // Every command in bin has its page.
    for (const QString& file : Layout()) {
        if (file.startsWith(QStringLiteral("bin/"))) {
            EXPECT_TRUE(Layout().contains("share/man/man1/" + file.mid(4) + ".1.gz")) << file.toStdString();
        }
    }
    EXPECT_EQ(pages, 4);
}

TEST_F(InstallTest, TheLauncherStartsTheProgramOnItsDataFromAnyWorkingDirectory)
{
    // Offscreen, with the probe preloaded: it reports the main window when it
    // first paints, then ends the program with Ctrl+K as the user would.
    const Outcome run = Execute(Prefix() + "/bin/tarvena", {}, workingDir_.path(),
                            Environment(ProbeEnvironment(TARVENA_PROBE)), 60000);
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList probe = run.err.split('\n').filter(QRegularExpression(QStringLiteral("^PROBE ")));
    EXPECT_TRUE(probe.filter(QStringLiteral("PROBE DIALOG")).isEmpty()) << probe.join('\n').toStdString();
    const QStringList main = probe.filter(QStringLiteral("PROBE MAIN"));
    ASSERT_EQ(main.size(), 1) << run.err.toStdString();

    // The whole dictionary: as many headwords as the built data files hold.
    DictionaryStore built;
    built.Load(QDir(TARVENA_DATA_DIR).filePath("vokabar2.idx").toStdString(),
               QDir(TARVENA_DATA_DIR).filePath("vokabar2.dic").toStdString());
    ASSERT_GT(built.HeadwordCount(), 1000);
    EXPECT_TRUE(main[0].contains(QStringLiteral(" rows=%1").arg(built.HeadwordCount()))) << main[0].toStdString();
    // Nothing of the program's landed in the working directory.
    EXPECT_TRUE(QDir(workingDir_.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

TEST_F(InstallTest, TheInstalledLookupFindsTheDataFromAnyWorkingDirectory)
{
    const QProcessEnvironment env = Environment(QProcessEnvironment::systemEnvironment());
    const Outcome installed = Execute(Prefix() + "/bin/tarvena-lookup", {"court"}, workingDir_.path(), env);
    const Outcome built = Execute(QStringLiteral(LOOKUP_TOOL), {"--data", TARVENA_DATA_DIR, "court"}, QString(), env);
    EXPECT_EQ(installed.status, 0) << installed.err.toStdString();
    EXPECT_GT(HitCount(installed), 10) << installed.err.toStdString();
    EXPECT_EQ(HitCount(installed), HitCount(built));
    EXPECT_EQ(installed.out, built.out);
}

// The Debian package, made by CPack from the build as the package target
// makes it, into a folder of the test's own.
class PackageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // CPack finds the binaries for dpkg-shlibdeps with file.
        for (const char* tool : {"dpkg-deb", "dpkg-shlibdeps", "file"})
            if (Tool(tool).isEmpty())
                missing_ += QString::fromLatin1(tool) + ' ';
        if (!missing_.isEmpty())
            return;
        output_ = new QTemporaryDir;
        made_ = Execute(QStringLiteral(CPACK_COMMAND),
                        {"--config", QStringLiteral(TARVENA_BUILD_DIR "/CPackConfig.cmake"), "-B", output_->path()},
                        TARVENA_BUILD_DIR, QProcessEnvironment::systemEnvironment(), 300000);
    }
    static void TearDownTestSuite()
    {
        delete output_;
        output_ = nullptr;
    }

    void SetUp() override
    {
        if (!missing_.isEmpty())
            GTEST_SKIP() << "not installed: " << missing_.toStdString();
        ASSERT_EQ(made_.status, 0) << made_.out.toStdString() << made_.err.toStdString();
        ASSERT_TRUE(QFileInfo::exists(Package())) << made_.out.toStdString();
    }

    static QString Package()
    {
        return output_->filePath(QStringLiteral("tarvena_" TARVENA_VERSION "_amd64.deb"));
    }
    static QString Field(const char* name)
    {
        return Execute(Tool("dpkg-deb"), {"--field", Package(), QString::fromLatin1(name)}).out.trimmed();
    }

    static QString missing_;
    static QTemporaryDir* output_;
    static Outcome made_;
};

QString PackageTest::missing_;
QTemporaryDir* PackageTest::output_ = nullptr;
Outcome PackageTest::made_;

TEST_F(PackageTest, ItsControlFieldsAndDependenciesAreItsOwn)
{
    EXPECT_EQ(Field("Package"), QStringLiteral("tarvena"));
    EXPECT_EQ(Field("Version"), QStringLiteral(TARVENA_VERSION));
    EXPECT_EQ(Field("Architecture"), QStringLiteral("amd64"));
    EXPECT_EQ(Field("Section"), QStringLiteral("text"));
    EXPECT_EQ(Field("Maintainer"), QStringLiteral("Tarvena <info@tarvena.example>"));
    EXPECT_TRUE(Field("Description").startsWith(QStringLiteral("English-Croatian dictionary of legal terms\n")));
    // Found by dpkg-shlibdeps from what the binaries link; the Hunspell
    // dictionaries word forms read are named by the package itself.
    const QString depends = Field("Depends");
    for (const char* library : {"libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6",
                                "libqt6printsupport6", "zlib1g", "libhunspell-1.7-0", "hunspell-hr", "hunspell-en-us"})
        EXPECT_TRUE(depends.contains(QRegularExpression(QStringLiteral("(^|, )%1( |,|$)").arg(QRegularExpression::escape(QString::fromLatin1(library))))))
            << library << " not in " << depends.toStdString();
}

TEST_F(PackageTest, HoldsTheLayoutUnderUsrStrippedWithRootAsOwner)
{
    const Outcome listing = Execute(Tool("dpkg-deb"), {"--contents", Package()});
    ASSERT_EQ(listing.status, 0);
    QSet<QString> files;
    for (const QString& line : listing.out.split('\n', Qt::SkipEmptyParts)) {
        const QStringList columns = line.split(QRegularExpression(QStringLiteral("\\s+")));
        ASSERT_GE(columns.size(), 6) << line.toStdString();
        EXPECT_EQ(columns[1], QStringLiteral("root/root")) << line.toStdString();
        const QString path = line.section(QRegularExpression(QStringLiteral("\\s+")), 5);
        if (columns[0].startsWith('-'))
            files.insert(path.mid(QStringLiteral("./usr/").size()));
        else
            EXPECT_TRUE(columns[0] == QStringLiteral("drwxr-xr-x")) << line.toStdString();
    }
    EXPECT_EQ(files, Layout());

    // The files written at install time name /usr, not CPack's staging folder.
    QTemporaryDir unpacked;
    ASSERT_EQ(Execute(Tool("dpkg-deb"), {"-x", Package(), unpacked.path()}).status, 0);
    EXPECT_TRUE(ReadText(unpacked.filePath("usr/bin/tarvena")).contains(QStringLiteral("cd '/usr/share/tarvena'")));
    EXPECT_TRUE(ReadText(unpacked.filePath("usr/share/applications/" + kAppId + ".desktop"))
                    .contains(QStringLiteral("\nPath=/usr/share/tarvena\n")));
    // Stripped: no debugging sections left in the program.
    const QString readelf = Tool("readelf");
    if (!readelf.isEmpty()) {
        EXPECT_FALSE(Execute(readelf, {"-S", unpacked.filePath("usr/lib/tarvena/vokabar2")}).out.contains(".debug_info"));
    }
}

// The glossary grows: the descriptions give its size as counted from the
// data (distinct English terms, rounded down to the hundred).
TEST_F(PackageTest, TheDescriptionsCountTheGlossarysTerms)
{
    QSet<QString> terms;
    for (const QFileInfo& file : QDir(QStringLiteral(TARVENA_GLOSSARY_DIR)).entryInfoList({"*.txt"}, QDir::Files)) {
        for (const QString& line : ReadText(file.filePath()).split('\n')) {
            const QString trimmed = line.trimmed();
            if (trimmed.isEmpty() || trimmed.startsWith('#'))
                continue;
            terms.insert(trimmed.section('|', 0, 0).simplified());
        }
    }
    ASSERT_GE(terms.size(), 1000);
    const int hundreds = int(terms.size()) / 100;
    const QString english = QStringLiteral("about %1,%2 legal terms").arg(hundreds / 10).arg(hundreds % 10 * 100, 3, 10, QLatin1Char('0'));
    const QString croatian = QStringLiteral("oko %1.%2 pravnih").arg(hundreds / 10).arg(hundreds % 10 * 100, 3, 10, QLatin1Char('0'));
    EXPECT_TRUE(Field("Description").simplified().contains(english)) << Field("Description").toStdString();
    QTemporaryDir unpacked;
    ASSERT_EQ(Execute(Tool("dpkg-deb"), {"-x", Package(), unpacked.path()}).status, 0);
    const QString catalogue = ReadText(unpacked.filePath("usr/share/metainfo/" + kAppId + ".metainfo.xml")).simplified();
    EXPECT_TRUE(catalogue.contains(english)) << catalogue.toStdString();
    EXPECT_TRUE(catalogue.contains(croatian)) << catalogue.toStdString();
}

// Built with Debian's hardening flags: full RELRO with bind-now, position-
// independent, the stack protector and the fortified functions in use.
TEST_F(PackageTest, TheProgramsAreHardened)
{
    const QString readelf = Tool("readelf");
    if (readelf.isEmpty())
        GTEST_SKIP() << "readelf is not installed";
    QTemporaryDir unpacked;
    ASSERT_EQ(Execute(Tool("dpkg-deb"), {"-x", Package(), unpacked.path()}).status, 0);
    for (const char* binary : {"usr/lib/tarvena/vokabar2", "usr/bin/tarvena-lookup", "usr/bin/lzrw1", "usr/bin/mkdict"}) {
        SCOPED_TRACE(binary);
        const QString path = unpacked.filePath(QString::fromLatin1(binary));
        EXPECT_TRUE(Execute(readelf, {"-h", path}).out.contains(QStringLiteral("DYN ("))) << "not PIE";
        EXPECT_TRUE(Execute(readelf, {"-l", path}).out.contains(QStringLiteral("GNU_RELRO")));
        const QString dynamic = Execute(readelf, {"-d", path}).out;
        EXPECT_TRUE(dynamic.contains(QStringLiteral("BIND_NOW")) || dynamic.contains(QRegularExpression(QStringLiteral("FLAGS_1.*\\bNOW\\b"))))
            << "no bind-now";
        const QString symbols = Execute(readelf, {"--dyn-syms", "-W", path}).out;
        EXPECT_TRUE(symbols.contains(QStringLiteral("__stack_chk_fail"))) << "no stack protector";
        // tarvena-lookup calls no function the C library fortifies.
        if (QString::fromLatin1(binary) != QStringLiteral("usr/bin/tarvena-lookup"))
            EXPECT_TRUE(symbols.contains(QRegularExpression(QStringLiteral("__\\w+_chk\\b")))) << "no fortified function";
    }
    const QString lintian = Tool("lintian");
    if (!lintian.isEmpty()) {
        // -I: the hardening tags are of the "info" level.
        const Outcome run = Execute(lintian, {"-I", Package()}, QString(), QProcessEnvironment::systemEnvironment(), 300000);
        EXPECT_FALSE(run.out.contains(QStringLiteral("hardening-"))) << run.out.toStdString();
    }
}

TEST_F(PackageTest, LintianFindsNoErrors)
{
    const QString lintian = Tool("lintian");
    if (lintian.isEmpty())
        GTEST_SKIP() << "lintian is not installed";
    const Outcome run = Execute(lintian, {Package()}, QString(), QProcessEnvironment::systemEnvironment(), 300000);
    const QStringList errors = run.out.split('\n').filter(QRegularExpression(QStringLiteral("^E: ")));
    EXPECT_TRUE(errors.isEmpty()) << run.out.toStdString();
    // Lintian's own status is 0 unless a tag at "error" level was given.
    EXPECT_EQ(run.status, 0) << run.out.toStdString() << run.err.toStdString();
}

} // namespace
