#include "Unit2.h"

#include "Colors.h"
#include "ErrorHandler.h"
#include "ProfileFile.h"
#include "ProfileTable.h"
#include "ProfileText.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

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

    Button1 = new QPushButton(QStringLiteral("neu berechnen"), this);
    Button1->setGeometry(216, 560, 89, 25);
    Button1->hide();

    Chart1Place = new QWidget(this);
    Chart1Place->setObjectName(QStringLiteral("Chart1"));
    Chart1Place->setGeometry(320, 8, 770, 513);

    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(320, 528, 457, 21);

    Label1 = new QLabel(QStringLiteral("Überschrit 1 Zeile"), this);
    Label1->setGeometry(8, 552, 83, 13);

    Edit2 = new QLineEdit(QStringLiteral("Test-Zovori"), this);
    Edit2->setGeometry(8, 568, 193, 21);
    Label1->setBuddy(Edit2);

    Button2 = new QPushButton(QStringLiteral("Speichern unter"), this);
    Button2->setGeometry(8, 600, 193, 25);

    CheckBox2 = new QCheckBox(QStringLiteral("Ausrichten , Normieren "), this);
    CheckBox2->setGeometry(312, 560, 145, 17);
    CheckBox2->setChecked(true);
    CheckBox2->hide();

    setTabOrder(Memo1, Button1);
    setTabOrder(Button1, Chart1Place);
    setTabOrder(Chart1Place, Edit1);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Button2);
    setTabOrder(Button2, CheckBox2);

    // Its handler, the zoom permission of the plot, comes with the chart.
    Timer1 = new QTimer(this);
    Timer1->setInterval(20);
    Timer1->start();

    SaveDialog1.filter = QStringLiteral("Profildatei *.dat|*.dat");
    SaveDialog1.defaultExtension = QStringLiteral("dat");
    SaveDialog1.overwritePrompt = true;

    Bind(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    Bind(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
    // toggled, not clicked: the check box's click event also fires when its state is set.
    Bind(CheckBox2, &QCheckBox::toggled, this, &TForm2::CheckBox2Click);
    connect(Edit2, &QLineEdit::textChanged, this, [this] { platform::Guarded([&] { Edit2Change(); }); });

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TForm2::FormCreate()
{
    // Memo1 needs no buffer of its own: Qt paints every widget through one.
}

void TForm2::Button1Click()
{
    static const std::vector<TContourPoint> noContour;
    const std::vector<TContourPoint>& contour = Link.Contour ? *Link.Contour : noContour;
    const int height = Link.ViewImageHeight ? Link.ViewImageHeight() : 0;
    RecomputeProfileTable(contour, height, CheckBox2->isChecked(), ProfileCoords);
    BuildProfileText();
    // Plot: the refill of Chart1 from ProfileCoords belongs here, as the recompute's last step.
}

void TForm2::BuildProfileText()
{
    Memo1->setPlainText(QString::fromStdString(ProfileText(Edit2->text().toStdString(), ProfileCoords)));
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

void TForm2::CheckBox2Click()
{
    Button1->click();
}
