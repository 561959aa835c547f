#pragma once

#include <QStringList>
#include <QWidget>

class QPlainTextEdit;

/// The short-help window: an editable memo with the instructions; closing it only hides it.
class TForm3 final : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    void FormCreate() {}

    QPlainTextEdit* Memo1 = nullptr;

    /// The help text, one entry per line of the memo.
    static QStringList HelpLines();

protected:
    void resizeEvent(QResizeEvent* event) override;
};

extern TForm3* Form3;
