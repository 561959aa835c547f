// "Speichern unter": the file's bytes, the dialog request, and failures that keep the old file.
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

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
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

TEST_F(SaveProfile, FullDeviceGivesWriteErrorAndStaysADevice)
{
    struct stat before {};
    if (stat("/dev/full", &before) != 0 || !S_ISCHR(before.st_mode))
        GTEST_SKIP() << "no /dev/full character device here";
    saved = true;
    services.saveAnswer = QStringLiteral("/dev/full");
    form->Button2->click();
    EXPECT_EQ(services.errors, QStringList{QStringLiteral("Stream-Schreibfehler")});
    EXPECT_TRUE(saved) << "keeps its value";
    struct stat after {};
    ASSERT_EQ(stat("/dev/full", &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode));
    EXPECT_EQ(after.st_rdev, before.st_rdev);
}

} // namespace
