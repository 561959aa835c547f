// Where the program meets the window system: placement, minimised windows, wheel and menu keys,
// the close question's layout, Qt's own dialogs in German.
#include "Application.h"
#include "FakeServices.h"
#include "Services.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

class MainWindowPlacement : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetUnit1State();
        CreateForm(Form1);
        CreateForm(Form3);
        Form1->ReviewWindow = &review;
        Form1->HelpWindow = Form3;
        Form1->Timer1->stop();
        Form1->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form1));
    }

    void TearDown() override
    {
        QApplication::closeAllWindows();
        delete Form3;
        Form3 = nullptr;
        delete Form1;
        Form1 = nullptr;
    }

    void ActivateMain()
    {
        Form1->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
        Form1->Client->setFocus();
    }

    FakeServices services;
    QWidget review;
};

using WindowEdges = MainWindowPlacement;

// Run once more at device pixel ratio 2 on a 2560 x 1600 screen (1280 x 800 logical).
TEST_F(MainWindowPlacement, FrameIsCentredOnTheAvailableAreaAndAsLargeAsFitsUpTo1190x876)
{
    const QRect area = Form1->screen()->availableGeometry();
    const QRect frame = Form1->frameGeometry();
    EXPECT_EQ(frame.size(), QSize(std::min(1190, area.width()), std::min(876, area.height())));
    // The test screens leave even margins: exactly centred, not a pixel towards the top-left.
    EXPECT_EQ(frame.left() - area.left(), area.right() - frame.right());
    EXPECT_EQ(frame.top() - area.top(), area.bottom() - frame.bottom());
}

TEST_F(WindowEdges, CommandsBringMinimisedWindowsBackRaisedAndActive)
{
    struct Row {
        const char* name;
        std::vector<QWidget*> minimised;
        QWidget* shown;
        std::function<void()> command;
    };
    const Row rows[] = {
        {"Kurz-Hilfe", {Form3}, Form3, [] { Form1->KurzHilfe1->trigger(); }},
        {"Polygon zur Profildatei weiter bearbeiten", {&review}, &review,
         [] { Form1->PolygonzurProfildateiweiterbearbeiten1->trigger(); }},
        {"Ja to the close question, asked from the minimised main window", {&review, Form1}, &review, [this] {
             AppendContourPoint(ContourPoints, 10, 10);
             ProfileSaved = false;
             services.confirmAnswer = true;
             Form1->close();
         }},
    };
    for (const Row& row : rows) {
        ActivateMain();
        for (QWidget* w : row.minimised)
            w->showMinimized();
        row.command();
        for (QWidget* w : row.minimised) {
            EXPECT_FALSE(w->isMinimized()) << row.name;
            EXPECT_TRUE(w->isVisible()) << row.name;
        }
        EXPECT_TRUE(QTest::qWaitForWindowActive(row.shown)) << row.name;
    }
}

TEST(HelpWindow, LongLinesWrapInsteadOfRunningOutOfSight)
{
    TForm3 help;
    help.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
    EXPECT_EQ(help.Memo1->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(help.Memo1->document()->blockCount(), 40) << "wrapping adds no line to the text";
}

TEST_F(WindowEdges, EveryWheelNotchOverTheWindowIsOneNotification)
{
    struct Row {
        const char* name;
        QWidget* target;
        QPoint angleDelta;
        Qt::KeyboardModifiers modifiers;
        int notifications;
    };
    const Row rows[] = {
        {"over the picture", Form1->Client, {0, 120}, Qt::NoModifier, 1},
        {"over the menu bar", Form1->menuBar(), {0, -120}, Qt::NoModifier, 1},
        {"with Alt, which X11 reports as horizontal", Form1->Client, {120, 0}, Qt::AltModifier, 1},
        {"with Alt over the menu bar", Form1->menuBar(), {-120, 0}, Qt::AltModifier, 1},
        {"a tilt wheel without Alt", Form1->Client, {120, 0}, Qt::NoModifier, 0},
    };
    for (const Row& row : rows) {
        View.WheelTicks = 0;
        WheelFractions = TWheelAccumulator{};
        const QPointF local(row.target->width() / 2, row.target->height() / 2);
        QWheelEvent wheel(local, row.target->mapToGlobal(local), QPoint(), row.angleDelta, Qt::NoButton,
                          row.modifiers, Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&wheel); // as from the window system: it propagates
        QApplication::sendEvent(row.target, &wheel);
        EXPECT_EQ(View.WheelTicks, row.notifications) << row.name;
    }
}

TEST_F(WindowEdges, F10OrAltAloneOpenTheMenuBarToTheKeyboard)
{
    struct Row {
        const char* name;
        std::function<void()> key;
    };
    const Row rows[] = {
        {"F10", [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10); }},
        {"Alt alone",
         [] {
             QTest::keyPress(QApplication::focusWidget(), Qt::Key_Alt, Qt::AltModifier);
             QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Alt, Qt::NoModifier);
         }},
    };
    QMenuBar* bar = Form1->menuBar();
    const QRect datei = bar->actionGeometry(Form1->Laden1->menuAction());
    const auto title = [&] { return bar->grab(datei).toImage(); };
    for (const Row& row : rows) {
        ActivateMain();
        const QImage plain = title();
        row.key();
        EXPECT_TRUE(bar->hasFocus()) << row.name;
        EXPECT_EQ(bar->activeAction(), Form1->Laden1->menuAction()) << row.name;
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << row.name << ": highlighted, not opened";
        EXPECT_NE(title(), plain) << row.name << ": the highlighted title shows";
        row.key();
        EXPECT_TRUE(Form1->Client->hasFocus()) << row.name << " again gives the focus back";
        EXPECT_EQ(title(), plain) << row.name << ": the highlight goes with the focus";

        review.hide();
        row.key();
        QTest::keyClick(bar, Qt::Key_Right);
        QTest::keyClick(bar, Qt::Key_Return);
        ASSERT_EQ(QApplication::activePopupWidget(), Form1->Edit1) << row.name;
        QTest::keyClick(Form1->Edit1, Qt::Key_Return);
        EXPECT_TRUE(review.isVisible()) << row.name << ": Enter chose the first item of \"Edit\"";
    }

    ActivateMain();
    QTest::keyPress(Form1->Client, Qt::Key_Alt, Qt::AltModifier);
    QWheelEvent wheel(QPointF(100, 100), Form1->Client->mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(120, 0),
                      Qt::NoButton, Qt::AltModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    QApplication::sendEvent(Form1->Client, &wheel);
    QTest::keyRelease(Form1->Client, Qt::Key_Alt, Qt::NoModifier);
    EXPECT_TRUE(Form1->Client->hasFocus()) << "Alt held for the wheel is no tap of Alt alone";
    EXPECT_EQ(Form1->Laden1->title(), QStringLiteral("Datei")) << "no mnemonic in the caption";
}

TEST(ConfirmBox, AsksOnOneLineWithJaAsDefaultAndNeinAsEscape)
{
    const QString text = QStringLiteral("Achtung: Es sind Stützpunktdaten vorhanden !!Zovori weiter bearbeiten ?");
    const std::unique_ptr<QMessageBox> box = platform::CreateConfirmBox(nullptr, text);
    box->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box.get()));
    QCoreApplication::processEvents(); // the layout requests that follow the show
    const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), text);
    EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(text)) << "wrapped";
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Bestätigung"));
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    ASSERT_NE(box->defaultButton(), nullptr);
    EXPECT_EQ(box->defaultButton()->text(), QStringLiteral("&Ja"));
    ASSERT_NE(box->escapeButton(), nullptr);
    EXPECT_EQ(box->escapeButton()->text(), QStringLiteral("&Nein"));
}

TEST(ReviewWindow, TabLeavesTheMemoInsteadOfTypingATab)
{
    TForm2 form;
    form.FormCreate();
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.Memo1->setFocus();
    const QString before = form.Memo1->toPlainText();
    QTest::keyClick(form.Memo1, Qt::Key_Tab);
    EXPECT_FALSE(form.Memo1->hasFocus());
    EXPECT_EQ(form.Memo1->toPlainText(), before);
}

TEST(QtDialogs, SpeakGermanWhateverTheLocale)
{
    QTranslator* translator = InstallGermanQtTranslation();
    ASSERT_NE(translator, nullptr) << "qtbase_de.qm from qt6-translations-l10n";
    struct Row {
        const char* name;
        std::function<QString()> text;
        QString german;
    };
    const Row rows[] = {
        {"open dialog", [] {
             QFileDialog d;
             d.setAcceptMode(QFileDialog::AcceptOpen);
             return d.windowTitle();
         }, QStringLiteral("Öffnen")},
        {"save dialog", [] {
             QFileDialog d;
             d.setAcceptMode(QFileDialog::AcceptSave);
             return d.windowTitle();
         }, QStringLiteral("Speichern unter")},
        {"message-box button", [] {
             QMessageBox box;
             box.setStandardButtons(QMessageBox::Cancel);
             return box.button(QMessageBox::Cancel)->text();
         }, QStringLiteral("Abbrechen")},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.text(), row.german) << row.name;
    const char* overwrite = "%1 already exists.\nDo you want to replace it?";
    EXPECT_NE(QCoreApplication::translate("QFileDialog", overwrite), QString::fromLatin1(overwrite))
        << "the overwrite question";
    QCoreApplication::removeTranslator(translator);
    delete translator;
}

} // namespace
