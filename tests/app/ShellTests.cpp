// The main window's shell: menu, timer tick, close query, help window.
#include "Application.h"
#include "FakeServices.h"
#include "Unit1.h"
#include "Unit3.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class MainWindowShell : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetUnit1State();
        CreateForm(Form1);
        CreateForm(Form3);
        Form1->ReviewWindow = &review;
        Form1->ReviewRecomputeButton = &recompute;
        Form1->HelpWindow = Form3;
        QObject::connect(&recompute, &QPushButton::clicked, [this] {
            ++recomputes;
            dirtyWhenRecomputed = ProfileDirty;
        });
        Form1->Timer1->stop(); // the tests tick by hand
        Form1->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form1));
    }

    void TearDown() override
    {
        delete Form3;
        Form3 = nullptr;
        delete Form1;
        Form1 = nullptr;
    }

    void Tick() { Form1->Timer1Timer(); }

    void PutCursorAtClient(int x, int y) { services.cursor = Form1->Client->mapToGlobal(QPoint(x, y)); }

    FakeServices services;
    QWidget review;
    QPushButton recompute;
    int recomputes = 0;
    bool dirtyWhenRecomputed = false;
};

TEST_F(MainWindowShell, WindowHasItsCaptionOuterSizeAndMenu)
{
    EXPECT_EQ(Form1->windowTitle(), QStringLiteral("Zovori Konturzieher V1.21"));
    EXPECT_EQ(Form1->frameGeometry().size(), QSize(1190, 876));

    const QList<QAction*> top = Form1->menuBar()->actions();
    ASSERT_EQ(top.size(), 3);
    EXPECT_EQ(top[0]->text(), QStringLiteral("Datei"));
    EXPECT_EQ(top[1]->text(), QStringLiteral("Edit"));
    EXPECT_EQ(top[2]->text(), QStringLiteral("Kurz-Hilfe"));
    EXPECT_EQ(top[2]->menu(), nullptr) << "Kurz-Hilfe acts when clicked, it opens no menu";

    QStringList datei, edit;
    for (QAction* a : Form1->Laden1->actions())
        datei << a->text();
    for (QAction* a : Form1->Edit1->actions())
        edit << a->text();
    // Later additions to "Datei" come after these two; the work file's items end it.
    EXPECT_EQ(datei.mid(0, 2), (QStringList{"Bild laden", "Programmende"}));
    EXPECT_EQ(datei.mid(datei.size() - 3), (QStringList{"", "Arbeit öffnen …", "Arbeit speichern …"}));
    EXPECT_TRUE(Form1->N4->isSeparator());
    // Later additions to "Edit" come after these five.
    EXPECT_EQ(edit.mid(0, 5), (QStringList{"Polygon zur Profildatei weiter bearbeiten", "", "Polygon löschen",
                                 "Bild horizontal spiegeln", "Bild vertikal spiegeln"}));
    EXPECT_FALSE(Form1->BlankItem->isSeparator());
}

TEST_F(MainWindowShell, BlankItemDoesNothing)
{
    AppendContourPoint(ContourPoints, 1, 2);
    EditMode = AppendAtEnd;
    Form1->BlankItem->trigger();
    EXPECT_EQ(ContourPoints.size(), 1u);
    EXPECT_EQ(EditMode, AppendAtEnd);
    EXPECT_FALSE(review.isVisible());
    EXPECT_TRUE(services.errors.isEmpty());
}

TEST_F(MainWindowShell, ClosingWithEmptyContourAsksNothing)
{
    ProfileSaved = false;
    EXPECT_TRUE(Form1->close());
    EXPECT_TRUE(services.confirmTexts.isEmpty());
}

TEST_F(MainWindowShell, ClosingUnsavedContourAsksAndYesKeepsRunningWithReviewShown)
{
    AppendContourPoint(ContourPoints, 10, 10);
    ProfileSaved = false;
    services.confirmAnswer = true;

    EXPECT_FALSE(Form1->close());
    ASSERT_EQ(services.confirmTexts.size(), 1);
    EXPECT_EQ(services.confirmTexts[0],
              QStringLiteral("Achtung: Es sind Stützpunktdaten vorhanden !!Zovori weiter bearbeiten ?"));
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_TRUE(review.isVisible());
}

TEST_F(MainWindowShell, ClosingUnsavedContourAndAnsweringNoEndsTheProgram)
{
    AppendContourPoint(ContourPoints, 10, 10);
    ProfileSaved = false;
    services.confirmAnswer = false;

    EXPECT_TRUE(Form1->close());
    EXPECT_EQ(services.confirmTexts.size(), 1);
    EXPECT_FALSE(review.isVisible());
}

TEST_F(MainWindowShell, ProgrammendeRunsTheSameCloseQuery)
{
    AppendContourPoint(ContourPoints, 10, 10);
    ProfileSaved = false;
    services.confirmAnswer = true;
    Form1->Programmende1->trigger();
    EXPECT_EQ(services.confirmTexts.size(), 1);
    EXPECT_TRUE(Form1->isVisible());
}

TEST_F(MainWindowShell, SavedContourClosesUntilTheNextEditClearsTheFlag)
{
    AppendContourPoint(ContourPoints, 10, 10);
    ProfileSaved = true;
    bool canClose = false;
    Form1->FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
    EXPECT_TRUE(services.confirmTexts.isEmpty());

    ProfileSaved = false; // what every contour edit does
    services.confirmAnswer = true;
    Form1->FormCloseQuery(canClose);
    EXPECT_FALSE(canClose);
    EXPECT_EQ(services.confirmTexts.size(), 1);
}

TEST_F(MainWindowShell, F3StopsOnlyWithTwoOrMorePoints)
{
    services.held[platform::Key::F3] = true;
    AppendContourPoint(ContourPoints, 1, 1);
    EditMode = AppendAtEnd;
    Tick();
    EXPECT_EQ(EditMode, AppendAtEnd) << "one point: F3 does nothing";

    AppendContourPoint(ContourPoints, 2, 2);
    Tick();
    EXPECT_EQ(EditMode, Stopped);
}

TEST_F(MainWindowShell, EscapeForcesIdleAndF3WinsWhenBothAreHeld)
{
    AppendContourPoint(ContourPoints, 1, 1);
    AppendContourPoint(ContourPoints, 2, 2);
    EditMode = InsertAtFront;
    services.held[platform::Key::Escape] = true;
    Tick();
    EXPECT_EQ(EditMode, Idle);

    EditMode = AppendAtEnd;
    services.held[platform::Key::F3] = true;
    Tick();
    EXPECT_EQ(EditMode, Stopped);
}

TEST_F(MainWindowShell, EscapeIsPolledEvenDuringTheCloseQuestion)
{
    AppendContourPoint(ContourPoints, 1, 1);
    ProfileSaved = false;
    EditMode = AppendAtEnd;
    services.duringConfirm = [this] {
        services.held[platform::Key::Escape] = true;
        Tick(); // the timer keeps ticking while the question is open
    };
    services.confirmAnswer = true;
    Form1->close();
    EXPECT_EQ(EditMode, Idle);
}

TEST_F(MainWindowShell, MirrorItemsFollowTheContourWithinOneTick)
{
    Tick();
    EXPECT_TRUE(Form1->Bildhorizontalspiegeln1->isEnabled());
    EXPECT_TRUE(Form1->Bildvertikalspiegeln1->isEnabled());

    AppendContourPoint(ContourPoints, 5, 5);
    Tick();
    EXPECT_FALSE(Form1->Bildhorizontalspiegeln1->isEnabled());
    EXPECT_FALSE(Form1->Bildvertikalspiegeln1->isEnabled());

    EditMode = AppendAtEnd;
    Form1->Polygonlschen1->trigger();
    EXPECT_TRUE(ContourPoints.empty());
    EXPECT_EQ(EditMode, Idle);
    Tick();
    EXPECT_TRUE(Form1->Bildhorizontalspiegeln1->isEnabled());
    EXPECT_TRUE(Form1->Bildvertikalspiegeln1->isEnabled());
}

TEST_F(MainWindowShell, ClearingTheContourLeavesFlagsAndHitStateAlone)
{
    AppendContourPoint(ContourPoints, 5, 5);
    ProfileSaved = false;
    ProfileDirty = false;
    Hit.HotPointIndex = 0;
    Hit.HotSegmentIndex = 3;
    Form1->Polygonlschen1->trigger();
    EXPECT_FALSE(ProfileSaved);
    EXPECT_FALSE(ProfileDirty);
    EXPECT_EQ(Hit.HotPointIndex, 0);
    EXPECT_EQ(Hit.HotSegmentIndex, 3);
}

TEST_F(MainWindowShell, CursorDotOnlyStrictlyInsideTheClientAreaAndNeverOverAHotPoint)
{
    const int w = Form1->Client->width();
    const int h = Form1->Client->height();
    Hit.HotPointIndex = -1;
    struct Row {
        const char* name;
        int x, y;
        bool visible;
    };
    const Row rows[] = {
        {"inside", 100, 100, true},
        {"first column", 0, 100, false},
        {"first row", 100, 0, false},
        {"top-left corner", 0, 0, false},
        {"second column and row", 1, 1, true},
        {"last column", w - 1, 100, true},
        {"last row", 100, h - 1, true},
        {"one past the last column", w, 100, false},
        {"one past the last row", 100, h, false},
        {"over the menu bar", 100, -5, false},
    };
    for (const Row& row : rows) {
        PutCursorAtClient(row.x, row.y);
        Tick();
        EXPECT_EQ(CursorDotVisible, row.visible) << row.name;
    }

    PutCursorAtClient(100, 100);
    Hit.HotPointIndex = 0;
    Tick();
    EXPECT_FALSE(CursorDotVisible) << "a hot point replaces the cursor dot";
}

TEST_F(MainWindowShell, NoCursorDotBeforeTheFirstMouseMove)
{
    PutCursorAtClient(100, 100);
    Tick();
    EXPECT_FALSE(CursorDotVisible) << "the hot index starts at 0 until a move samples it";
}

TEST_F(MainWindowShell, TickRecomputesBeforeClearingTheDirtyFlag)
{
    Tick();
    EXPECT_EQ(recomputes, 0);

    ProfileDirty = true;
    Tick();
    EXPECT_EQ(recomputes, 1);
    EXPECT_TRUE(dirtyWhenRecomputed);
    EXPECT_FALSE(ProfileDirty);

    Tick();
    EXPECT_EQ(recomputes, 1) << "nothing changed, nothing recomputed";
}

TEST_F(MainWindowShell, TickRecomputesForAHiddenReviewWindowToo)
{
    ASSERT_FALSE(review.isVisible());
    ProfileDirty = true;
    Tick();
    EXPECT_EQ(recomputes, 1);
}

TEST_F(MainWindowShell, ReviewCommandShowsTheReviewWindowModeless)
{
    Form1->PolygonzurProfildateiweiterbearbeiten1->trigger();
    EXPECT_TRUE(review.isVisible());
    EXPECT_FALSE(review.isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MainWindowShell, HelpTwiceShowsOneWindowThatKeepsTypedText)
{
    Form1->KurzHilfe1->trigger();
    ASSERT_TRUE(Form3->isVisible());
    Form3->Memo1->appendPlainText(QStringLiteral("meine Notiz"));
    Form3->close();
    EXPECT_FALSE(Form3->isVisible());

    Form1->KurzHilfe1->trigger();
    Form1->KurzHilfe1->trigger();
    EXPECT_TRUE(Form3->isVisible());
    int helpWindows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        helpWindows += w->windowTitle() == QStringLiteral("Kurz-Hilfe") && w->isVisible();
    EXPECT_EQ(helpWindows, 1);
    EXPECT_TRUE(Form3->Memo1->toPlainText().endsWith(QStringLiteral("meine Notiz")));
}

TEST(HelpWindow, HoldsTheFortyLinesExactly)
{
    TForm3 help;
    const QStringList lines = help.Memo1->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 40);
    const QStringList expected = {
        "Zovori-Konturzieher (Kurzanleitung)",
        "",
        "*** Bild laden , verschieben , zoomen ***",
        "Programm starten und Bild laden 'Datei / Bild laden'",
        "Eventuell das Bild um Horizontale / Vertikale spiegeln : ",
        "Edit / Bild horizontal spiegeln",
        "Edit / Bild vertikal spiegeln ",
        "Die Nase des Profile muß links sein .",
        "",
        "*** Mausfunktionen ***",
        "Bild verschieben : rechte Maustaste + Maus ziehen ",
        "Bild zoomen : Mausrad ",
        "Bild drehen : STRG + Mausrad ",
        "Punkte (Kontur-Stützpunkte) vergrößern / verkleinern : Shift + Mausrad ",
        "",
        "Nun Kontur nach und nach anklicken (Punkte setzen) .",
        "Man fängt hinten oben am Zovori an ,",
        "dann bis zur Nase arbeiten und danach wieder zurück zur Hinterkante unten.",
        "",
        "Berührt man mit dem Punkt am Mauscursor den ersten Polygon-Punkt , kann man hier weiter Stützpunkte vorne am ",
        "Polygon einfügen.",
        "",
        "Berührt man mit dem Punkt am Mauscursor den letzten Polygon-Punkt , kann man weiter ",
        "Stützpunkte hinten am Polygon anfügen.",
        "",
        "Die Verbindungslinie von Mauscursor-Punkt und Polygon-Start-Endpunkt kann mit der ESC-Taste entfernt werden.",
        "",
        "Berührt man mit dem Mauscursor-Punkt einen Stützpunkt , färbt sich dieser nach grün .",
        "Mit der linken Maustaste und ziehen kann man den Stützpunkt verschieben.",
        "Mit der rechten Maustaste kann man den Stützpunkt löschen .",
        "",
        "Berührt man eine Verbindungslinie zwischen zwei Stützpunkten , färbt sich der Mauscursor-Punkt nach gelb.",
        "Mit einem Klick auf die linke Maustaste kann man neue Punkte einfügen.",
        "",
        "*** Polygon zur Profildatei weiter bearbeiten ***",
        "Unter Edit / Polygon zur Profildatei weiter bearbeiten , kann man das fertige Zovori noch einmal betrachten",
        "und Normiert als Datei abspeichern.",
        "",
        "*** Kontakt ***",
    };
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
    EXPECT_FALSE(lines[39].trimmed().isEmpty()) << "the contact line";
    EXPECT_FALSE(help.Memo1->isReadOnly());
}

TEST(HelpWindow, MemoGrowsAndShrinksWithTheWindow)
{
    TForm3 help;
    help.show();
    help.resize(862, 613);
    EXPECT_EQ(help.Memo1->geometry(), QRect(8, 8, 841, 593));
    help.resize(1000, 700);
    EXPECT_EQ(help.Memo1->geometry(), QRect(8, 8, 979, 680));
}

struct ProbeForm {
    static ProbeForm* instance;
    bool globalSetWhenCreated = false;
    void FormCreate() { globalSetWhenCreated = instance == this; }
};
ProbeForm* ProbeForm::instance = nullptr;

TEST(StartUp, GlobalInstanceIsSetBeforeTheCreateHandlerRuns)
{
    CreateForm(ProbeForm::instance);
    EXPECT_TRUE(ProbeForm::instance->globalSetWhenCreated);
    delete ProbeForm::instance;
    ProbeForm::instance = nullptr;
}

} // namespace
