#include "Unit3.h"

#include <QPlainTextEdit>

TForm3* Form3 = nullptr;

QStringList TForm3::HelpLines()
{
    // Trailing blanks belong to the text.
    return {
        QStringLiteral("Zovori-Konturzieher (Kurzanleitung)"),
        QString(),
        QStringLiteral("*** Bild laden , verschieben , zoomen ***"),
        QStringLiteral("Programm starten und Bild laden 'Datei / Bild laden'"),
        QStringLiteral("Eventuell das Bild um Horizontale / Vertikale spiegeln : "),
        QStringLiteral("Edit / Bild horizontal spiegeln"),
        QStringLiteral("Edit / Bild vertikal spiegeln "),
        QStringLiteral("Die Nase des Profile muß links sein ."),
        QString(),
        QStringLiteral("*** Mausfunktionen ***"),
        QStringLiteral("Bild verschieben : rechte Maustaste + Maus ziehen "),
        QStringLiteral("Bild zoomen : Mausrad "),
        QStringLiteral("Bild drehen : STRG + Mausrad "),
        QStringLiteral("Punkte (Kontur-Stützpunkte) vergrößern / verkleinern : Shift + Mausrad "),
        QString(),
        QStringLiteral("Nun Kontur nach und nach anklicken (Punkte setzen) ."),
        QStringLiteral("Man fängt hinten oben am Zovori an ,"),
        QStringLiteral("dann bis zur Nase arbeiten und danach wieder zurück zur Hinterkante unten."),
        QString(),
        QStringLiteral("Berührt man mit dem Punkt am Mauscursor den ersten Polygon-Punkt , kann man hier weiter "
                       "Stützpunkte vorne am "),
        QStringLiteral("Polygon einfügen."),
        QString(),
        QStringLiteral("Berührt man mit dem Punkt am Mauscursor den letzten Polygon-Punkt , kann man weiter "),
        QStringLiteral("Stützpunkte hinten am Polygon anfügen."),
        QString(),
        QStringLiteral("Die Verbindungslinie von Mauscursor-Punkt und Polygon-Start-Endpunkt kann mit der "
                       "ESC-Taste entfernt werden."),
        QString(),
        QStringLiteral("Berührt man mit dem Mauscursor-Punkt einen Stützpunkt , färbt sich dieser nach grün ."),
        QStringLiteral("Mit der linken Maustaste und ziehen kann man den Stützpunkt verschieben."),
        QStringLiteral("Mit der rechten Maustaste kann man den Stützpunkt löschen ."),
        QString(),
        QStringLiteral("Berührt man eine Verbindungslinie zwischen zwei Stützpunkten , färbt sich der "
                       "Mauscursor-Punkt nach gelb."),
        QStringLiteral("Mit einem Klick auf die linke Maustaste kann man neue Punkte einfügen."),
        QString(),
        QStringLiteral("*** Polygon zur Profildatei weiter bearbeiten ***"),
        QStringLiteral("Unter Edit / Polygon zur Profildatei weiter bearbeiten , kann man das fertige Zovori "
                       "noch einmal betrachten"),
        QStringLiteral("und Normiert als Datei abspeichern."),
        QString(),
        QStringLiteral("*** Kontakt ***"),
        QStringLiteral("Fragen und Hinweise bitte an das Entwicklerteam des Zovori-Konturziehers."),
    };
}

TForm3::TForm3(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Kurz-Hilfe"));
    QFont font(QStringLiteral("DejaVu Sans")); // the stand-in for "MS Sans Serif"
    font.setPixelSize(11);
    setFont(font);
    resize(862, 613);
    move(494, 91);

    Memo1 = new QPlainTextEdit(this);
    QFont memoFont(QStringLiteral("DejaVu Sans"));
    memoFont.setPixelSize(16);
    Memo1->setFont(memoFont);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Every line is read whole: long ones wrap at the memo's edge instead of running out of sight.
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setGeometry(8, 8, 841, 593);
    Memo1->setPlainText(HelpLines().join(QLatin1Char('\n')));
}

void TForm3::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // Anchored to all four sides: the memo keeps its distances to the window's edges.
    Memo1->setGeometry(8, 8, width() - 8 - 13, height() - 8 - 12);
}
