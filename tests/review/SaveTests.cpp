// "Speichern unter": the file's bytes, the dialog request, and failures that keep the old file.
#include "Application.h"
#include "FakeServices.h"
#include "Unit2.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

class SaveProfile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ProfileCoords.clear();
        form = std::make_unique<TForm2>();
        form->Link.Contour = &contour;
        form->Link.ProfileSaved = &saved;
        form->Link.ViewImageHeight = [] { return 600; };
        contour = {{500, 300}, {400, 280}, {100, 300}, {400, 316}};
        form->Button1->click();
    }

    QString PathIn(const QString& name) const { return dir.filePath(name); }

    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return file.readAll();
    }

    static void Write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir dir;
    FakeServices services;
    std::vector<TContourPoint> contour;
    bool saved = false;
    std::unique_ptr<TForm2> form;
};

TEST_F(SaveProfile, WritesTheMemoByteForByteInWindows1252WithCrLf)
{
    form->Edit2->setText(QStringLiteral("Profil ä ß"));
    services.saveAnswer = PathIn("profil.dat");
    form->Button2->click();
    EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join('|').toStdString();
    EXPECT_EQ(Read(PathIn("profil.dat")),
              QByteArray("Profil \xE4 \xDF\r\n1 0\r\n0.75 0.05\r\n0 0\r\n0.75 -0.04\r\n1 0\r\n"));
    EXPECT_TRUE(saved);
}

TEST_F(SaveProfile, AsksTheDialogWithFilterExtensionPromptAndProgramDirectory)
{
    services.programDirectory = QStringLiteral("/opt/zovori");
    services.saveAnswer = std::nullopt;
    form->Button2->click();
    ASSERT_EQ(services.saveRequests.size(), 1u);
    const platform::FileDialogRequest& r = services.saveRequests.front();
    EXPECT_EQ(r.initialDirectory, QStringLiteral("/opt/zovori"));
    EXPECT_EQ(r.filter, QStringLiteral("Profildatei *.dat|*.dat"));
    EXPECT_EQ(r.defaultExtension, QStringLiteral("dat"));
    EXPECT_TRUE(r.overwritePrompt);
    EXPECT_FALSE(saved) << "cancelled";
    EXPECT_TRUE(services.errors.isEmpty());
}

TEST_F(SaveProfile, HandEditedMemoIsWhatGetsSaved)
{
    form->Memo1->setPlainText(QStringLiteral("von Hand\n0 0"));
    services.saveAnswer = PathIn("hand.dat");
    form->Button2->click();
    EXPECT_EQ(Read(PathIn("hand.dat")), QByteArray("von Hand\r\n0 0\r\n"));
}

TEST_F(SaveProfile, OverwritesAnExistingFileCompletely)
{
    Write(PathIn("alt.dat"), QByteArray(4000, 'x'));
    services.saveAnswer = PathIn("alt.dat");
    form->Button2->click();
    EXPECT_EQ(Read(PathIn("alt.dat")), QByteArray("Test-Zovori\r\n1 0\r\n0.75 0.05\r\n0 0\r\n0.75 -0.04\r\n1 0\r\n"));
    EXPECT_TRUE(saved);
}

struct CreateFailure {
    const char* name;
    const char* relativePath;
};

class SaveCannotCreate : public SaveProfile, public ::testing::WithParamInterface<CreateFailure> {};

TEST_P(SaveCannotCreate, ReportsTheFileNameAndKeepsSavedFlag)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("ordner.dat")));
    const QString path = PathIn(QString::fromLatin1(GetParam().relativePath));
    services.saveAnswer = path;
    form->Button2->click();
    ASSERT_EQ(services.errors.size(), 1);
    EXPECT_EQ(services.errors.front(), QStringLiteral("Datei %1 kann nicht erstellt werden").arg(path));
    EXPECT_FALSE(saved);
}

INSTANTIATE_TEST_SUITE_P(Paths, SaveCannotCreate,
                         ::testing::Values(CreateFailure{"MissingDirectory", "fehlt/profil.dat"},
                                           CreateFailure{"TargetIsADirectory", "ordner.dat"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SaveProfile, FullDiskKeepsTheExistingFileAndLeavesNoTemporary)
{
    const QByteArray old("alter Inhalt\r\n");
    Write(PathIn("voll.dat"), old);
    saved = false;
    services.saveAnswer = PathIn("voll.dat");

    // A file-size limit below the text's length makes the write come up short, as a full disk does.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit tiny = previous;
    tiny.rlim_cur = 20;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    form->Button2->click();
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(services.errors, QStringList{QStringLiteral("Stream-Schreibfehler")});
    EXPECT_EQ(Read(PathIn("voll.dat")), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("voll.dat")});
    EXPECT_FALSE(saved);
}

TEST_F(SaveProfile, PipesAndDevicesAreRefusedAtOnceAndStayWhatTheyAre)
{
    const QString fifo = PathIn("rohr.dat");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    struct Row {
        const char* name;
        QString path;
        mode_t type;
    };
    // Opening the pipe for writing would wait for a reader forever.
    const Row rows[] = {{"fifo", fifo, S_IFIFO}, {"character device", QStringLiteral("/dev/null"), S_IFCHR}};
    for (const Row& row : rows) {
        struct stat before {};
        ASSERT_EQ(stat(QFile::encodeName(row.path).constData(), &before), 0) << row.name;
        services.errors.clear();
        saved = true;
        services.saveAnswer = row.path;
        form->Button2->click();
        EXPECT_EQ(services.errors, QStringList{QStringLiteral("Datei %1 ist keine reguläre Datei").arg(row.path)}) << row.name;
        EXPECT_TRUE(saved) << row.name << " keeps its value";
        struct stat after {};
        ASSERT_EQ(stat(QFile::encodeName(row.path).constData(), &after), 0) << row.name;
        EXPECT_EQ(after.st_mode & S_IFMT, row.type) << row.name;
        EXPECT_EQ(after.st_ino, before.st_ino) << row.name;
    }
}

/// Runs the rest of a test in a child process that holds no root privileges (root ignores the
/// permissions these cases are about); the child's exit code is its verdict.
void DropRoot()
{
    if (geteuid() != 0)
        return;
    if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) {
        std::fprintf(stderr, "cannot leave root\n");
        std::_Exit(3);
    }
}

[[noreturn]] void Verdict(bool ok, const char* what)
{
    if (!ok)
        std::fprintf(stderr, "%s\n", what);
    std::_Exit(ok ? 0 : 1);
}

struct InPlaceCase {
    const char* name;
    rlim_t sizeLimit; ///< RLIM_INFINITY: none
    bool written;     ///< the new text arrives; otherwise the old content stays
};

class SaveInReadOnlyFolder : public SaveProfile, public ::testing::WithParamInterface<InPlaceCase> {};

// A writable file in a folder that refuses new files cannot be replaced atomically: it is written
// in place, keeping its inode; a write that cannot be completed leaves the old content.
TEST_P(SaveInReadOnlyFolder, WritesTheFileInPlaceOrKeepsItsOldContent)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const InPlaceCase& c = GetParam();
    const QString folder = PathIn("nur-lesen");
    const QString target = folder + QStringLiteral("/profil.dat");
    const QByteArray old("alter Inhalt\r\n");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("nur-lesen")));
    Write(target, old);
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    ASSERT_EQ(chmod(QFile::encodeName(target).constData(), 0666), 0);
    ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0555), 0);
    struct stat before {};
    ASSERT_EQ(stat(QFile::encodeName(target).constData(), &before), 0);
    services.saveAnswer = target;
    saved = false;

    const auto child = [&] {
            DropRoot();
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{c.sizeLimit, c.sizeLimit};
            if (c.sizeLimit != RLIM_INFINITY && setrlimit(RLIMIT_FSIZE, &limit) != 0)
                Verdict(false, "cannot set the size limit");
            form->Button2->click();
            struct stat after {};
            stat(QFile::encodeName(target).constData(), &after);
            const QByteArray expected =
                c.written ? QByteArray("Test-Zovori\r\n1 0\r\n0.75 0.05\r\n0 0\r\n0.75 -0.04\r\n1 0\r\n") : old;
            const QStringList errors = c.written ? QStringList{} : QStringList{QStringLiteral("Stream-Schreibfehler")};
            if (services.errors != errors)
                Verdict(false, qPrintable(QStringLiteral("messages: ") + services.errors.join('|')));
            if (Read(target) != expected)
                Verdict(false, Read(target).constData());
            Verdict(after.st_ino == before.st_ino && saved == c.written &&
                        QDir(folder).entryList(QDir::Files) == QStringList{QStringLiteral("profil.dat")},
                    "inode, saved flag or folder content");
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveInReadOnlyFolder,
                         ::testing::Values(InPlaceCase{"Written", RLIM_INFINITY, true},
                                           // The new text needs 60 bytes: the reservation fails first.
                                           InPlaceCase{"PastTheSizeLimit", 20, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The program, not the test, ignores SIGXFSZ: in a child that has only the program's own set-up,
// a save past the file-size limit is reported and the process lives on.
TEST_F(SaveProfile, FileSizeLimitIsReportedAsWriteErrorNotAKill)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    services.saveAnswer = PathIn("limit.dat");
    const auto child = [&] {
            InstallDefaultExceptionHandler();
            const rlimit none{0, RLIM_INFINITY};
            if (setrlimit(RLIMIT_FSIZE, &none) != 0)
                Verdict(false, "cannot set the size limit");
            form->Button2->click();
            Verdict(services.errors == QStringList{QStringLiteral("Stream-Schreibfehler")} && !saved,
                    qPrintable(services.errors.join('|')));
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

} // namespace
