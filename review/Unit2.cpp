#include "Unit2.h"

#include "Chart.h"
#include "Colors.h"
#include "ErrorHandler.h"
#include "EventActivity.h"
#include "MemoPoints.h"
#include "NumberText.h"
#include "PlotRefill.h"
#include "ProfileCheck.h"
#include "ProfileFile.h"
#include "ProfileTable.h"
#include "ProfileText.h"
#include "SingleLineValidator.h"
#include "XfoilPaneling.h"
#include "WindowPlacement.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>

std::vector<TContourPoint> ProfileCoords;

TForm2* Form2 = nullptr;

namespace {
constexpr int ClientWidth = 1096;
constexpr int ClientHeight = 663;

/// Runs a handler of the form on a button's signal, under the default exception handler.
template <class Signal>
void Bind(QAbstractButton* widget, Signal signal, TForm2* form, void (TForm2::*handler)())
{
    QObject::connect(widget, signal, form, [form, handler] { platform::Guarded([&] { (form->*handler)(); }); });
}
} // namespace

TForm2::TForm2(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("Weiterbearbeitung zur Profildatei"));
    setFixedSize(ClientWidth, ClientHeight);
    QPalette background = palette();
    background.setColor(QPalette::Window, ToQColor(clSilver));
    setPalette(background);
    setAutoFillBackground(true);
    // The form's "MS Sans Serif" does not exist here; DejaVu Sans is what it resolves to.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(8);
    setFont(font);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setGeometry(8, 8, 305, 537);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab moves on in the tab order, as in a standard memo; a tab character would reach the file.
    Memo1->setTabChangesFocus(true);
    // Mouse moves without a button are what hands the focus to the memo.
    for (QWidget* part : {static_cast<QWidget*>(Memo1), Memo1->viewport(), static_cast<QWidget*>(Memo1->verticalScrollBar())}) {
        part->setMouseTracking(true);
        part->installEventFilter(this);
    }

    Button1 = new QPushButton(QStringLiteral("neu berechnen"), this);
    Button1->setGeometry(216, 560, 89, 25);
    Button1->hide();

    Chart1 = new TChart(this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setGeometry(320, 8, 770, 513);
    chartRightGap_ = ClientWidth - Chart1->geometry().right() - 1;
    Chart1->View3D = false;
    Chart1->TitleVisible = false;
    Chart1->LegendVisible = false;
    Chart1->MarginLeft = Chart1->MarginTop = Chart1->MarginRight = Chart1->MarginBottom = 0;
    Chart1->SetColor(clSilver);
    Chart1->BackWall.Brush = {clWhite, TBrushStyle::bsClear};
    Chart1->PrintProportional = false;
    Series1 = &Chart1->AddLineSeries();
    Series1->SetSeriesColor(clRed);
    Series1->Pointer().SetVisible(true);
    Series1->Pointer().SetStyle(TSeriesPointerStyle::psCircle);
    Series1->Pointer().SetHorizSize(3);
    Series1->Pointer().SetVertSize(3);
    Series1->Pointer().SetInflateMargins(true);
    // Insertion order: the line follows the outline in table order and closes through the closing point.
    for (TChartValueList* values : {&Series1->XValues(), &Series1->YValues()}) {
        values->Order = TChartListOrder::loNone;
        values->SetMultiplier(1.0);
        values->DateTime = false;
    }
    Series1->XValues().Name = "X";
    Series1->YValues().Name = "Y";
    Chart1->OnZoom = [this](TCustomAxisPanel&) { Chart1Zoom(); };
    Chart1->OnUndoZoom = [this](TCustomAxisPanel&) { Chart1UndoZoom(); };
    Chart1->OnAfterDraw = [this](TCustomAxisPanel&) { Chart1AfterDraw(); };
    Chart1->OnMouseMove = [this](int X, int Y) { Chart1MouseMove(X, Y); };
    Chart1->OnResize = [this] { Chart1Resize(); };
    Chart1->installEventFilter(this);

    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(320, 528, 457, 21);

    Label1 = new QLabel(QStringLiteral("Überschrit 1 Zeile"), this);
    Label1->setGeometry(8, 552, 83, 13);
    // A label sizes itself to its caption; the substitute font is wider than the original one.
    Label1->resize(std::max(83, Label1->sizeHint().width()), 13);

    Edit2 = new QLineEdit(QStringLiteral("Test-Zovori"), this);
    Edit2->setGeometry(8, 568, 193, 21);
    Edit2->setValidator(new TSingleLineValidator(Edit2));
    Label1->setBuddy(Edit2);

    Button2 = new QPushButton(QStringLiteral("Speichern unter"), this);
    Button2->setGeometry(8, 600, 193, 25);

    CheckBox2 = new QCheckBox(QStringLiteral("Ausrichten , Normieren "), this);
    CheckBox2->setGeometry(312, 560, 145, 17);
    CheckBox2->setChecked(true);
    CheckBox2->hide();

    setTabOrder(Memo1, Button1);
    setTabOrder(Button1, Chart1);
    setTabOrder(Chart1, Edit1);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Button2);
    setTabOrder(Button2, CheckBox2);

    Button3 = new QPushButton(QStringLiteral("Für XFOIL speichern"), this);
    Button3->setGeometry(8, 632, 193, 25);
    // The free area under the readout, with the window's margin of 8 to the bottom.
    Memo2 = new QPlainTextEdit(this);
    Memo2->setGeometry(320, 552, 770, 103);
    Memo2->setReadOnly(true);
    Memo2->setTabChangesFocus(true);
    Memo2->setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabOrder(CheckBox2, Button3);
    setTabOrder(Button3, Memo2);

    Timer1 = new QTimer(this);
    Timer1->setInterval(20);
    platform::MarkQuietTimer(Timer1);
    connect(Timer1, &QTimer::timeout, this, [this] { platform::Guarded([&] { Timer1Timer(); }); });
    Timer1->start();

    SaveDialog1.filter = QStringLiteral("Profildatei *.dat|*.dat");
    SaveDialog1.defaultExtension = QStringLiteral("dat");
    SaveDialog1.overwritePrompt = true;

    Bind(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    Bind(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
    Bind(Button3, &QPushButton::clicked, this, &TForm2::Button3Click);
    // toggled, not clicked: the check box's click event also fires when its state is set.
    Bind(CheckBox2, &QCheckBox::toggled, this, &TForm2::CheckBox2Click);
    connect(Edit2, &QLineEdit::textChanged, this, [this] { platform::Guarded([&] { Edit2Change(); }); });
    // Hand edits change what "Für XFOIL speichern" writes; the check says so once typing rests.
    // A rebuild by the program leaves the document unmodified and the check is rebuilt with it.
    memoEditRest_ = new QTimer(this);
    memoEditRest_->setSingleShot(true);
    memoEditRest_->setInterval(300);
    connect(memoEditRest_, &QTimer::timeout, this, [this] { platform::Guarded([&] { Memo1EditRested(); }); });
    connect(Memo1, &QPlainTextEdit::textChanged, this, [this] {
        if (Memo1->document()->isModified() || memoEdited_)
            memoEditRest_->start();
    });

    // The frame is centred, not the client area; the window system may report the frame late.
    platform::KeepCentredOnScreen(this);
}

void TForm2::FormCreate()
{
    // Painting through the window's backing store is Qt's off-screen buffer; painting on screen would bypass it.
    Memo1->setAttribute(Qt::WA_PaintOnScreen, false);
    Memo1->viewport()->setAttribute(Qt::WA_PaintOnScreen, false);
}

void TForm2::Button1Click()
{
    static const std::vector<TContourPoint> noContour;
    const std::vector<TContourPoint>& contour = Link.Contour ? *Link.Contour : noContour;
    const int height = Link.ViewImageHeight ? Link.ViewImageHeight() : 0;
    const bool normalised = tableUpdate_.Recompute(contour, height, CheckBox2->isChecked(), ProfileCoords);
    BuildProfileText();
    RefillPlot();
    BuildProfileCheck(contour.size(), normalised);
}

void TForm2::BuildProfileCheck(std::size_t clicked, bool normalised)
{
    const TNormalisation normalisation =
        !CheckBox2->isChecked() ? TNormalisation::Off : normalised ? TNormalisation::Done : TNormalisation::Failed;
    const TProfileCheck check = CheckProfile(ProfileCoords, clicked, normalisation, &checkMemory_);
    checkLines_ = ProfileCheckLines(check, QLocale().decimalPoint().toStdString());
    xfoilChecked_ = check.State == TCheckState::Checked;
    tableOutline_ = xfoilChecked_ ? XfoilOutline(ProfileCoords, check.SelfCrossing) : TXfoilOutline{};
    memoEdited_ = false;
    ShowProfileCheck();
}

void TForm2::ShowProfileCheck()
{
    std::vector<std::string> lines = checkLines_;
    if (xfoilChecked_) {
        const std::string separator = QLocale().decimalPoint().toStdString();
        std::vector<std::string> xfoil;
        if (!memoEdited_) {
            xfoil = XfoilCheckLines(tableOutline_, false, separator);
        } else {
            const std::string memo = Memo1->toPlainText().toStdString();
            try {
                xfoil = XfoilCheckLines(XfoilOutline(TableFromText(memo)), true, separator);
            } catch (const std::runtime_error& error) {
                xfoil = {std::string("Für XFOIL: Der Text ist von Hand geändert. ") + error.what() +
                         " So speichert „Für XFOIL speichern“ nichts."};
            }
        }
        // After the figures, before the warnings.
        auto at = std::find_if(lines.begin(), lines.end(), [](const std::string& line) { return line.starts_with("Warnung:"); });
        lines.insert(at, xfoil.begin(), xfoil.end());
    }
    QStringList text;
    for (const std::string& line : lines)
        text << QString::fromStdString(line);
    const QString check = text.join(QLatin1Char('\n'));
    // A drag often leaves the check's text as it was: then only what a rewrite would reset is
    // reset, the cursor to the start and the view to the top, and the text is not laid out again.
    if (Memo2->toPlainText() == check) {
        Memo2->setTextCursor(QTextCursor(Memo2->document()));
        Memo2->horizontalScrollBar()->setValue(0);
        Memo2->verticalScrollBar()->setValue(0);
        return;
    }
    Memo2->setPlainText(check);
}

void TForm2::Memo1EditRested()
{
    memoEdited_ = Memo1->toPlainText().toStdString() != ProfileText(Edit2->text().toStdString(), ProfileCoords);
    ShowProfileCheck();
}

void TForm2::BuildProfileText()
{
    memoText_.Show(*Memo1, Edit2->text().toStdString(), ProfileCoords);
}

void TForm2::Edit2Change()
{
    BuildProfileText();
}

void TForm2::Button2Click()
{
    SaveDialog1.initialDirectory = platform::Current().ProgramDirectory();
    const std::optional<QString> chosen = platform::Current().SaveFile(this, SaveDialog1);
    if (!chosen)
        return;
    WriteProfileFile(*chosen, DatFileBytes(Memo1->toPlainText().toStdU32String()));
    if (Link.ProfileSaved)
        *Link.ProfileSaved = true;
}

void TForm2::Button3Click()
{
    // Read before the dialog: a line that is no point stops the save before a name is asked for.
    const std::string memo = Memo1->toPlainText().toStdString();
    const std::string title = Edit2->text().toStdString();
    std::string text;
    if (memo != ProfileText(title, ProfileCoords)) {
        std::vector<TContourPoint> table;
        try {
            table = TableFromText(memo);
        } catch (const std::runtime_error& error) {
            throw std::runtime_error(std::string(error.what()) + " Für XFOIL wurde nichts gespeichert.");
        }
        text = XfoilFileText(TextTitle(memo), XfoilOutline(table));
    } else {
        // The check's outline is the table's, made by the recompute that made the table.
        text = XfoilFileText(title, xfoilChecked_ ? tableOutline_ : XfoilOutline(ProfileCoords));
    }
    SaveDialog1.initialDirectory = platform::Current().ProgramDirectory();
    const std::optional<QString> chosen = platform::Current().SaveFile(this, SaveDialog1);
    if (!chosen)
        return;
    WriteProfileFile(*chosen, DatFileBytes(QString::fromStdString(text).toStdU32String()));
    if (Link.ProfileSaved)
        *Link.ProfileSaved = true;
}

void TForm2::CheckBox2Click()
{
    Button1->click();
}

void TForm2::RefillPlot()
{
    RefillSeries(*Series1, ProfileCoords);
    const QLocale locale;
    zoomReset_.Reset(*Chart1, Chart1->width(), Chart1->height(),
                     (locale.decimalPoint() + locale.groupSeparator()).toStdString());
}

void TForm2::FormShow()
{
    Chart1->ResetZoom();
}

void TForm2::Chart1Zoom()
{
    // A reset's own widening zoom keeps the flag at 2.
    if (Chart1->Tag == 0)
        Chart1->Tag = 1;
}

void TForm2::Chart1Resize()
{
    Chart1->Tag = 1;
    Chart1->Repaint();
}

void TForm2::Chart1UndoZoom()
{
    Chart1->Tag = 2;
    Chart1->ZoomByPercent(90.0);
}

void TForm2::Chart1AfterDraw()
{
    if (Chart1->Tag == 1) {
        Chart1->Tag = 0;
        AdjustToEqualScale();
    }
    if (Chart1->Tag == 2) {
        Chart1->Tag = 0;
        AdjustToEqualScale();
    }
}

void TForm2::AdjustToEqualScale()
{
    // A collapsed plot has no shape to keep; deriving from it would divide by zero.
    if (Chart1->PlotWidth() <= 0 || Chart1->PlotHeight() <= 0)
        return;
    const double a = static_cast<double>(Chart1->PlotHeight()) / static_cast<double>(Chart1->PlotWidth());
    const double s = Chart1->BottomAxis().Maximum() - Chart1->BottomAxis().Minimum();
    const double c = (Chart1->LeftAxis().Minimum() + Chart1->LeftAxis().Maximum()) / 2.0;
    // Minimum first: it lies below the old centre, so neither write can cross the other end.
    Chart1->LeftAxis().SetMinimum(c - a * s / 2.0);
    Chart1->LeftAxis().SetMaximum(c + a * s / 2.0);
    Chart1->Repaint();
}

void TForm2::Chart1MouseMove(int X, int Y)
{
    if (!isActiveWindow())
        activateWindow();
    const std::string separator = QLocale().decimalPoint().toStdString();
    const std::string text = "X=" + FloatToText(Series1->PixelToXValue(X), separator) +
                             " , Y=" + FloatToText(Series1->PixelToYValue(Y), separator);
    Edit1->setText(QString::fromStdString(text));
}

void TForm2::Memo1MouseMove()
{
    if (!isActiveWindow())
        activateWindow();
    Memo1->setFocus(Qt::MouseFocusReason);
}

void TForm2::FormMouseWheelUp()
{
    if (Chart1->AllowZoom)
        Chart1->ZoomByPercent(105.0);
}

void TForm2::FormMouseWheelDown()
{
    if (Chart1->AllowZoom)
        Chart1->ZoomByPercent(90.0);
}

void TForm2::Timer1Timer()
{
    const QPoint p = platform::CursorPos() - place_.Of(*this);
    const QRect chart = Chart1->geometry();
    Chart1->AllowZoom = chart.left() < p.x() && p.x() < chart.left() + chart.width() && chart.top() < p.y() &&
                        p.y() < chart.top() + chart.height();
}

int TForm2::WheelNotches(const QWheelEvent* event)
{
    return wheelFractions_.Add(event->angleDelta().y());
}

void TForm2::FormMouseWheel(int notches)
{
    for (; notches > 0; --notches)
        FormMouseWheelUp();
    for (; notches < 0; ++notches)
        FormMouseWheelDown();
}

void TForm2::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Only a show by the program: the window system's own (a restore) is no new showing.
    if (!event->spontaneous())
        platform::Guarded([this] { FormShow(); });
}

void TForm2::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const QRect chart = Chart1->geometry();
    const int width = std::max(0, this->width() - chartRightGap_ - chart.left());
    if (width != chart.width())
        Chart1->resize(width, chart.height());
}

void TForm2::wheelEvent(QWheelEvent* event)
{
    platform::Guarded([&] { FormMouseWheel(WheelNotches(event)); });
    // Not handled: nothing above the window waits for it, and the notification has acted once.
    event->ignore();
}

bool TForm2::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Chart1 && event->type() == QEvent::Wheel) {
        // Handled here to the end, so that the notification acts once however the toolkit would
        // propagate it: the chart scrolls only while it holds the focus (the control the wheel goes
        // to), then the window's own handler runs.
        const auto* wheel = static_cast<QWheelEvent*>(event);
        platform::Guarded([&] {
            const int notches = WheelNotches(wheel);
            for (int i = 0; i < std::abs(notches); ++i) {
                const bool up = notches > 0;
                if (Chart1->hasFocus()) {
                    if (Chart1->OnMouseWheel)
                        Chart1->OnMouseWheel(up);
                    Chart1->ChartMouseWheel(up);
                }
                FormMouseWheel(up ? 1 : -1);
            }
        });
        return true;
    }
    if (watched != Chart1 && event->type() == QEvent::MouseMove)
        platform::Guarded([this] { Memo1MouseMove(); });
    return QWidget::eventFilter(watched, event);
}
