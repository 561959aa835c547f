#pragma once

#include "TContourPoint.h"

#include <QString>

#include <string>
#include <vector>

class QPlainTextEdit;

/// Keeps the memo's file text in step with the title and the table: where only a few lines differ
/// from what it last wrote, and nobody has edited the text since, it replaces just those lines;
/// otherwise it writes the whole text. Either way the memo ends as a complete rewrite leaves it.
class TMemoText {
public:
    void Show(QPlainTextEdit& memo, const std::string& title, const std::vector<TContourPoint>& table);

private:
    bool known_ = false;
    int revision_ = -1; ///< the document's revision after the last write; any other edit changes it
    std::string title_;
    std::vector<TContourPoint> table_;
};
