// "Für XFOIL speichern" and the profile check under the readout.
#include "FakeServices.h"
#include "Unit2.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class XfoilSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ProfileCoords.clear();
        form = std::make_unique<TForm2>();
        form->Link.Contour = &contour;
        form->Link.ProfileSaved = &saved;
        form->Link.ViewImageHeight = [] { return 600; };
    }

    /// Both saves of the current table; the .dat's bytes first.
    std::pair<QByteArray, QByteArray> SaveBoth()
    {
        services.saveAnswer = dir.filePath(QStringLiteral("profil.dat"));
        form->Button2->click();
        services.saveAnswer = dir.filePath(QStringLiteral("xfoil.dat"));
        form->Button3->click();
        return {Read(dir.filePath(QStringLiteral("profil.dat"))), Read(dir.filePath(QStringLiteral("xfoil.dat")))};
    }

    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return file.readAll();
    }

    QTemporaryDir dir;
    FakeServices services;
    std::vector<TContourPoint> contour;
    bool saved = false;
    std::unique_ptr<TForm2> form;
};

TEST_F(XfoilSave, ButtonAndCheckSitInTheFreeSpaceAfterTheSpecifiedControls)
{
    form->show();
    EXPECT_EQ(form->Button3->text(), QStringLiteral("Für XFOIL speichern"));
    EXPECT_EQ(form->Button3->geometry(), QRect(8, 632, 193, 25));
    EXPECT_TRUE(form->Button3->isVisible());
    const QRect check = form->Memo2->geometry();
    EXPECT_EQ(check.topLeft(), QPoint(320, 552));
    EXPECT_EQ(check.right(), 1089);
    EXPECT_LE(check.bottom(), 662);
    EXPECT_FALSE(check.intersects(form->Edit1->geometry()));
    EXPECT_TRUE(form->Memo2->isReadOnly());
    EXPECT_TRUE(form->Memo2->tabChangesFocus());
    EXPECT_EQ(form->CheckBox2->nextInFocusChain(), form->Button3);
    EXPECT_EQ(form->Button3->nextInFocusChain(), form->Memo2);
}

TEST_F(XfoilSave, ClosedEdgeWithoutRepeatsGivesTheDatFileByteForByte)
{
    contour = {{500, 300}, {400, 280}, {100, 300}, {400, 316}};
    form->Edit2->setText(QStringLiteral("Flügel"));
    form->Button1->click();
    const auto [dat, xfoil] = SaveBoth();
    EXPECT_EQ(dat, QByteArray("Fl\xFCgel\r\n1 0\r\n0.75 0.05\r\n0 0\r\n0.75 -0.04\r\n1 0\r\n"));
    EXPECT_EQ(xfoil, dat);
    EXPECT_TRUE(saved);
    ASSERT_EQ(services.saveRequests.size(), 2u);
    const platform::FileDialogRequest& r = services.saveRequests.back();
    EXPECT_EQ(r.initialDirectory, QStringLiteral("/opt/zovori"));
    EXPECT_EQ(r.filter, QStringLiteral("Profildatei *.dat|*.dat"));
    EXPECT_EQ(r.defaultExtension, QStringLiteral("dat"));
    EXPECT_TRUE(r.overwritePrompt);
}

TEST_F(XfoilSave, OpenEdgeLosesTheClosingPointAndRepeatsAreWrittenOnce)
{
    // Lower trailing edge clicked 2 px below the upper one, and one click made twice.
    contour = {{500, 300}, {400, 280}, {400, 280}, {100, 300}, {400, 316}, {500, 302}};
    form->Button1->click();
    const auto [dat, xfoil] = SaveBoth();
    // The turn by -0 in the normalisation sets the lower click's x a unit in the last place above
    // the upper one's, so the table starts at the lower click and closes on the lower side.
    EXPECT_EQ(dat, QByteArray("Test-Zovori\r\n1 0\r\n0.999975000624984 0.00499987500312492\r\n"
                              "0.749731256718582 0.0537486562835929\r\n0.749731256718582 0.0537486562835929\r\n"
                              "0 0\r\n0.750181245468863 -0.0362490937726557\r\n1 0\r\n"));
    EXPECT_EQ(xfoil, QByteArray("Test-Zovori\r\n0.999975000624984 0.00499987500312492\r\n"
                                "0.749731256718582 0.0537486562835929\r\n0 0\r\n"
                                "0.750181245468863 -0.0362490937726557\r\n1 0\r\n"));
    EXPECT_TRUE(saved);
}

TEST_F(XfoilSave, CancelChangesNothingAndAFailureKeepsTheFlag)
{
    contour = {{500, 300}, {400, 280}, {100, 300}, {400, 316}};
    form->Button1->click();
    services.saveAnswer = std::nullopt;
    form->Button3->click();
    EXPECT_FALSE(saved);
    EXPECT_TRUE(services.errors.isEmpty());
    const QString path = dir.filePath(QStringLiteral("fehlt/xfoil.dat"));
    services.saveAnswer = path;
    form->Button3->click();
    EXPECT_EQ(services.errors, QStringList{QStringLiteral("Datei %1 kann nicht erstellt werden").arg(path)});
    EXPECT_FALSE(saved);
}

TEST_F(XfoilSave, EveryRecomputeRebuildsTheCheckWithTheUsersSeparator)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    form->Button1->click();
    EXPECT_EQ(form->Memo2->toPlainText(), QStringLiteral("Keine Punkte: nichts zu prüfen."));
    contour = {{500, 300}, {400, 280}, {100, 300}, {400, 316}, {500, 302}};
    form->Button1->click();
    const QStringList lines = form->Memo2->toPlainText().split(QLatin1Char('\n'));
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(lines.value(0), QStringLiteral("Punkte: 5 und der Schlusspunkt 1 0"));
    EXPECT_TRUE(lines.contains(QStringLiteral("Hinterkante: offen, Spalt 0,50 % der Sehne"))) << lines.join('|').toStdString();
    EXPECT_TRUE(lines.last().contains(QStringLiteral("„Für XFOIL speichern“ schreibt sie offen")));
    form->CheckBox2->setChecked(false);
    EXPECT_EQ(form->Memo2->toPlainText(), QStringLiteral("Nicht normiert: nichts zu prüfen."));
}

} // namespace
