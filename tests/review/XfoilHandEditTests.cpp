// Hand edits in the memo reach "Für XFOIL speichern": its points come from the memo's lines.
#include "FakeServices.h"
#include "../profile/NacaOutline.h"
#include "Unit2.h"
#include "MemoPoints.h"
#include "XfoilPaneling.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>

#include <gtest/gtest.h>

namespace {

class XfoilHandEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (TForm2* form : {&edited, &other}) {
            form->Link.Contour = form == &edited ? &contour : &otherContour;
            form->Link.ProfileSaved = &saved;
            form->Link.ViewImageHeight = [] { return static_cast<int>(TNacaOutline::Height); };
        }
        // The thinner section's text and XFOIL file first: the table is the module's, shared by
        // both windows, and must end as the edited window's.
        other.Button1->click();
        otherText = other.Memo1->toPlainText();
        otherFile = SaveForXfoil(other, QStringLiteral("andere.dat"));
        edited.Button1->click();
    }

    /// Replaces the memo's text as typing would: the document records a user's edit.
    void Type(const QString& text)
    {
        QTextCursor cursor(edited.Memo1->document());
        cursor.select(QTextCursor::Document);
        cursor.insertText(text);
    }

    QByteArray SaveForXfoil(TForm2& form, const QString& name)
    {
        services.saveAnswer = dir.filePath(name);
        form.Button3->click();
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static std::vector<TContourPoint> Points(QByteArray file)
    {
        file.replace("\r", "");
        return TableFromText(file.toStdString());
    }

    bool CheckSays(const QString& text)
    {
        return QTest::qWaitFor([&] { return edited.Memo2->toPlainText().contains(text); }, 3000);
    }

    QTemporaryDir dir;
    FakeServices services;
    bool saved = false;
    std::vector<TContourPoint> contour = TNacaOutline{.half = 20}.Clicked();
    std::vector<TContourPoint> otherContour = TNacaOutline{.thickness = 0.09, .half = 20}.Clicked();
    TForm2 edited, other;
    QString otherText;
    QByteArray otherFile;
};

TEST_F(XfoilHandEdit, TakesThePointsFromTheEditedTextAndTheCheckSaysSo)
{
    const QByteArray before = SaveForXfoil(edited, QStringLiteral("vorher.dat"));
    // The memo now holds the thinner section's text: the file is that section's XFOIL file.
    Type(otherText);
    EXPECT_TRUE(CheckSays(QStringLiteral("Der Text ist von Hand geändert"))) << edited.Memo2->toPlainText().toStdString();
    const QByteArray after = SaveForXfoil(edited, QStringLiteral("nachher.dat"));
    EXPECT_NE(after, before);
    // The same points but for the last digits: the text holds the table to 15 digits.
    const std::vector<TContourPoint> got = Points(after), want = Points(otherFile);
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].x, want[i].x, 1e-12);
        EXPECT_NEAR(got[i].y, want[i].y, 1e-12);
    }
    EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join('|').toStdString();

    // A recompute puts the profile's text back, and with it the profile's file.
    edited.Button1->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !edited.Memo2->toPlainText().contains(QStringLiteral("von Hand")); }, 3000));
    EXPECT_EQ(SaveForXfoil(edited, QStringLiteral("wieder.dat")), before);
}

TEST_F(XfoilHandEdit, ALineThatIsNoPointIsNamedAndNothingIsWritten)
{
    QString text = edited.Memo1->toPlainText();
    text.replace(QStringLiteral("\n0 0\n"), QStringLiteral("\n0 O\n"));
    Type(text);
    const int line = static_cast<int>(text.left(text.indexOf(QStringLiteral("0 O"))).count(QLatin1Char('\n'))) + 1;
    const QString message = QStringLiteral("Zeile %1 des Textes ist kein Punkt „x y“: „0 O“.").arg(line);
    EXPECT_TRUE(CheckSays(message)) << edited.Memo2->toPlainText().toStdString();
    services.saveRequests.clear();
    saved = false;
    EXPECT_TRUE(SaveForXfoil(edited, QStringLiteral("fehler.dat")).isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("fehler.dat"))));
    EXPECT_TRUE(services.saveRequests.empty()) << "refused before a name is asked for";
    EXPECT_FALSE(saved);
    EXPECT_EQ(services.errors, QStringList{message + QStringLiteral(" Für XFOIL wurde nichts gespeichert.")});
}

} // namespace
