#pragma once

#include <QString>
#include <QValidator>

class QLineEdit;

/// Makes a QLineEdit keep what a native single-line edit box keeps: of pasted or dropped text only
/// the part before its first line break (QLineEdit itself keeps the breaks). The box's previous
/// text, needed to tell the inserted part, is followed through its textChanged signal.
class TSingleLineValidator final : public QValidator {
    Q_OBJECT
public:
    explicit TSingleLineValidator(QLineEdit* edit);
    State validate(QString& input, int& pos) const override;

private:
    QString previous_;
};
