#include "MemoText.h"

#include "ProfileText.h"
#include "ProfileTextUpdate.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Beyond this many changed lines, one complete text is as cheap as the line-by-line edits.
constexpr std::size_t MaxReplacedLines = 64;

void ReplaceBlock(QTextDocument& document, int number, const QString& text)
{
    QTextCursor cursor(document.findBlockByNumber(number));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(text);
}

} // namespace

void TMemoText::Show(QPlainTextEdit& memo, const std::string& title, const std::vector<TContourPoint>& table)
{
    QTextDocument& document = *memo.document();
    std::optional<std::vector<std::size_t>> changed;
    if (known_ && document.revision() == revision_)
        changed = ChangedProfileLines(table_, table, MaxReplacedLines);
    if (!changed) {
        memo.setPlainText(QString::fromStdString(ProfileText(title, table)));
    } else {
        // As a rewrite does: no undo step for the program's own text, the cursor and the view at the start.
        document.setUndoRedoEnabled(false);
        if (title != title_) {
            // The title's own rules (its first line only) come from the complete text's builder.
            ReplaceBlock(document, 0, QString::fromStdString(ProfileText(title, {})));
        }
        for (const std::size_t i : *changed)
            ReplaceBlock(document, static_cast<int>(i) + 1, QString::fromStdString(ProfileLine(table[i])));
        document.setUndoRedoEnabled(true);
        document.setModified(false);
        memo.setTextCursor(QTextCursor(&document));
        memo.horizontalScrollBar()->setValue(0);
        memo.verticalScrollBar()->setValue(0);
    }
    known_ = true;
    revision_ = document.revision();
    title_ = title;
    table_ = table;
}
