#include "SingleLineValidator.h"

#include "ProfileText.h"

#include <QLineEdit>

TSingleLineValidator::TSingleLineValidator(QLineEdit* edit) : QValidator(edit), previous_(edit->text())
{
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { previous_ = text; });
}

QValidator::State TSingleLineValidator::validate(QString& input, int& pos) const
{
    const TSingleLineText kept =
        SingleLineEdit(previous_.toStdU16String(), input.toStdU16String(), static_cast<std::size_t>(std::max(pos, 0)));
    input = QString::fromStdU16String(kept.text);
    pos = static_cast<int>(kept.cursor);
    return Acceptable;
}
