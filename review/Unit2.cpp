#include "Unit2.h"

#include "ErrorHandler.h"

#include <QPushButton>

TForm2* Form2 = nullptr;

TForm2::TForm2(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setWindowTitle(QStringLiteral("Weiterbearbeitung zur Profildatei"));
    Button1 = new QPushButton(QStringLiteral("neu berechnen"), this);
    Button1->setGeometry(216, 560, 89, 25);
    Button1->hide();
    connect(Button1, &QPushButton::clicked, this, [this] { platform::Guarded([&] { Button1Click(); }); });
}

void TForm2::FormCreate() {}

void TForm2::Button1Click() {}
