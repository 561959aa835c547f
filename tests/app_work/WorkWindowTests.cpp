// "Arbeit öffnen …", "Arbeit speichern …" and the recovery copy, through the main window.
#include "../app_view/ViewFixture.h"

#include "ImageDocument.h"
#include "WorkRecovery.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QLineEdit>

#include <cstring>
#include <tuple>

#include <sys/stat.h>

namespace {

class WorkWindow : public MainView {
protected:
    void SetUp() override
    {
        MainView::SetUp();
        form->ReviewTitle = &title;
    }

    /// A picture loaded, mirrored, and a contour with points whose bits matter.
    void Digitise()
    {
        picture = Write(QStringLiteral("scan.bmp"), samples::MakeBmp(24, 16, 24));
        Load(picture);
        form->Bildvertikalspiegeln1->trigger();
        form->Bildhorizontalspiegeln1->trigger();
        mirrored = LoadBitmapFile(picture);
        MirrorVertical(mirrored);
        MirrorHorizontal(mirrored);
        ContourPoints = {{20.5, 3.0, 0.0}, {-0.0, 0.1 + 0.2, 0.0}, {1.0 / 3.0, 1e-300, 0.0}};
        View = TViewState{.ViewOriginX = -12, .ZoomFactor = 1.157625, .ZoomLevel = 105, .RotationAngle = 355, .PointRadius = 7};
        title.setText(QStringLiteral("Flügel „eins“"));
        ProfileSaved = false;
    }

    void Save(const char* name, std::optional<bool> embed = {})
    {
        services.saveAnswer = Path(name);
        services.checkBoxAnswer = embed;
        form->Arbeitspeichern1->trigger();
    }

    bool Open(const char* name) { return form->OpenWork(Path(name), false); }

    /// Everything the work holds, forgotten as at a new start.
    void Forget()
    {
        ResetUnit1State();
        *SourceImage = QImage();
        title.setText(QStringLiteral("Test-Zovori"));
    }

    QByteArray Bytes(const QString& name) const
    {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QLineEdit title{QStringLiteral("Test-Zovori")};
    QString picture;
    QImage mirrored; ///< the picture as Digitise left it on screen
};

bool SamePoints(const TContourPointArray& a, const TContourPointArray& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(TContourPoint)) == 0;
}

QImage Rgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

TEST_F(WorkWindow, OpeningRestoresEverythingAndSavingAgainGivesTheSameBytes)
{
    Digitise();
    const TContourPointArray points = ContourPoints;
    const TViewState view = View;
    Save("a.zovori");
    ASSERT_EQ(services.saveRequests.size(), 1u);
    EXPECT_EQ(services.saveRequests[0].filter, QStringLiteral("Zovori-Arbeit *.zovori|*.zovori"));
    EXPECT_EQ(services.saveRequests[0].checkBox, QStringLiteral("Bild in die Arbeit einbetten"));
    EXPECT_TRUE(services.saveRequests[0].overwritePrompt);

    Forget();
    services.openAnswer = Path("a.zovori");
    form->Arbeitffnen1->trigger();
    EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join('\n').toStdString();
    EXPECT_TRUE(SamePoints(ContourPoints, points));
    EXPECT_EQ(*SourceImage, mirrored);
    EXPECT_EQ(MirrorsSinceLoading(), (std::vector<TMirror>{TMirror::Vertical, TMirror::Horizontal}));
    const auto saved = [](const TViewState& v) {
        return std::make_tuple(v.ViewOriginX, v.ZoomFactor, v.ZoomLevel, v.RotationAngle, v.PointRadius);
    };
    EXPECT_EQ(saved(View), saved(view));
    EXPECT_EQ(title.text(), QStringLiteral("Flügel „eins“"));
    EXPECT_FALSE(ProfileSaved);
    EXPECT_TRUE(ProfileDirty); // the review window follows at the next tick
    EXPECT_EQ(PictureOrigin.Path, QFileInfo(picture).absoluteFilePath().toStdString());

    Save("b.zovori");
    EXPECT_EQ(Bytes("b.zovori"), Bytes("a.zovori"));
    // Ctrl+S writes the last file again without asking.
    QFile::remove(Path("b.zovori"));
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form->Client, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(services.saveRequests.size(), 2u);
    EXPECT_EQ(Bytes("b.zovori"), Bytes("a.zovori"));
    // And with "Datei" open, where a second shortcut for the same key once made it do nothing.
    QFile::remove(Path("b.zovori"));
    form->Laden1->popup(form->mapToGlobal(QPoint(10, 20)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form->Laden1));
    QTest::keyClick(form->Laden1, Qt::Key_S, Qt::ControlModifier);
    form->Laden1->hide();
    EXPECT_EQ(services.saveRequests.size(), 2u);
    EXPECT_EQ(Bytes("b.zovori"), Bytes("a.zovori"));

    // The picture loaded again: the mirrors were those of the picture it replaced.
    Load(picture);
    EXPECT_TRUE(MirrorsSinceLoading().empty());
}

TEST_F(WorkWindow, AnEmbeddedPictureComesBackWithoutItsFile)
{
    Digitise();
    Save("a.zovori", true);
    QFile::remove(picture);
    Forget();
    ASSERT_TRUE(Open("a.zovori"));
    EXPECT_TRUE(services.confirmTexts.isEmpty());
    ASSERT_FALSE(SourceImage->isNull());
    EXPECT_EQ(Rgb(*SourceImage), Rgb(mirrored));
    Save("b.zovori", true);
    EXPECT_EQ(Bytes("b.zovori"), Bytes("a.zovori"));

    // A pasted picture has no file: it is embedded without being asked for.
    PictureOrigin = TPictureOrigin{"", 0, 0.0, true};
    *SourceImage = mirrored.copy(0, 0, 5, 4);
    Save("c.zovori", false);
    Forget();
    ASSERT_TRUE(Open("c.zovori"));
    EXPECT_EQ(Rgb(*SourceImage), Rgb(mirrored.copy(0, 0, 5, 4)));
    EXPECT_TRUE(PictureOrigin.FromClipboard);
}

TEST_F(WorkWindow, AMissingOrChangedPictureIsAskedFor)
{
    Digitise();
    const TContourPointArray points = ContourPoints;
    Save("a.zovori");
    const QString elsewhere = Write(QStringLiteral("moved.bmp"), samples::MakeBmp(24, 16, 24));

    // Changed, and the search for it cancelled: nothing happens.
    Write(QStringLiteral("scan.bmp"), samples::MakeBmp(8, 8, 24));
    Forget();
    services.confirmAnswer = true;
    services.openAnswer.reset();
    EXPECT_FALSE(Open("a.zovori"));
    ASSERT_EQ(services.confirmTexts.size(), 1);
    EXPECT_TRUE(services.confirmTexts[0].startsWith(QStringLiteral("Das Bild ")));
    EXPECT_TRUE(ContourPoints.empty());
    EXPECT_TRUE(SourceImage->isNull());

    // Located elsewhere: read and mirrored as recorded.
    services.openAnswer = elsewhere;
    EXPECT_TRUE(Open("a.zovori"));
    EXPECT_EQ(services.openRequests.back().initialDirectory, dir.path());
    EXPECT_EQ(*SourceImage, mirrored);
    EXPECT_TRUE(SamePoints(ContourPoints, points));

    // Missing, opened without it: the points on the empty view, the picture's record kept on saving.
    QFile::remove(Path("scan.bmp"));
    Forget();
    services.confirmAnswer = false;
    EXPECT_TRUE(Open("a.zovori"));
    EXPECT_TRUE(SourceImage->isNull());
    EXPECT_TRUE(SamePoints(ContourPoints, points));
    Save("b.zovori");
    EXPECT_EQ(Bytes("b.zovori"), Bytes("a.zovori"));
}

TEST_F(WorkWindow, ABadWorkFileGivesAMessageAndChangesNothing)
{
    Digitise();
    Save("a.zovori");
    const QByteArray good = Bytes("a.zovori");
    Write("cut.zovori", samples::Bytes(good.begin(), good.begin() + good.size() / 2));
    ASSERT_EQ(::mkfifo(Path("pipe.zovori").toLocal8Bit().constData(), 0600), 0);
    const TContourPointArray points = ContourPoints;
    const QImage shown = *SourceImage;
    for (const char* name : {"cut.zovori", "pipe.zovori", "none.zovori"}) {
        services.errors.clear();
        services.openAnswer = Path(name);
        form->Arbeitffnen1->trigger();
        ASSERT_EQ(services.errors.size(), 1) << name;
        EXPECT_TRUE(services.errors[0].startsWith(QStringLiteral("Die Arbeit %1 kann nicht geöffnet werden: ").arg(Path(name))))
            << services.errors[0].toStdString();
        EXPECT_TRUE(SamePoints(ContourPoints, points)) << name;
        EXPECT_EQ(*SourceImage, shown) << name;
        EXPECT_EQ(title.text(), QStringLiteral("Flügel „eins“")) << name;
    }
    // Nor is the pipe replaced by a save.
    services.errors.clear();
    Save("pipe.zovori");
    EXPECT_EQ(services.errors, QStringList{QStringLiteral("Die Arbeit %1 kann nicht gespeichert werden: keine reguläre Datei")
                                               .arg(Path("pipe.zovori"))});
    EXPECT_FALSE(QFileInfo(Path("pipe.zovori")).isFile());
}

TEST_F(WorkWindow, RecoveryCopyFollowsUnsavedWorkAndComesBackAfterACrash)
{
    QTemporaryDir state;
    const QString ownCopy = state.filePath(QStringLiteral("recovery-%1.zovori").arg(::getpid()));
    {
        TWorkRecovery recovery(*form, state.path(), 1000000);
        const auto settle = [&] {
            recovery.Check();
            recovery.Flush();
        };
        settle();
        EXPECT_FALSE(QFile::exists(ownCopy)); // nothing to lose yet

        Digitise();
        settle();
        QFile copy(ownCopy);
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        EXPECT_TRUE(SamePoints(ReadWork(copy.readAll().toStdString()).Points, ContourPoints));

        Save("a.zovori");
        settle();
        EXPECT_FALSE(QFile::exists(ownCopy)); // saved: the copy goes

        // A copy left by a program that was killed: no lock, and it is offered back.
        ContourPoints.push_back({7, 8, 0});
        const TContourPointArray unsaved = ContourPoints;
        QFile orphan(state.filePath(QStringLiteral("recovery-1.zovori")));
        ASSERT_TRUE(orphan.open(QIODevice::WriteOnly));
        orphan.write(WriteWork(CompleteWork(form->WorkSnapshotNow(), orphan.fileName(), false, PictureHashes())).c_str());
        orphan.close();
        Forget();
        services.confirmAnswer = true;
        recovery.OfferRestore();
        recovery.Flush();
        EXPECT_EQ(services.confirmTexts.size(), 1);
        EXPECT_TRUE(SamePoints(ContourPoints, unsaved));
        EXPECT_EQ(*SourceImage, mirrored);
        EXPECT_FALSE(ProfileSaved);
        EXPECT_FALSE(QFile::exists(orphan.fileName()));
        EXPECT_TRUE(QFile::exists(ownCopy));
        recovery.OfferRestore(); // nothing left to offer
        EXPECT_EQ(services.confirmTexts.size(), 1);
    }
    EXPECT_FALSE(QFile::exists(ownCopy)); // a normal end removes it
}

} // namespace
