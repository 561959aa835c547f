#pragma once

#include "Services.h"

#include <QStringList>

#include <functional>
#include <map>
#include <optional>
#include <vector>

/// Window-system services a test controls: held keys, the cursor, and scripted dialog answers.
/// Construction installs it; destruction restores the real services. No real modal dialog opens.
class FakeServices final : public platform::Services {
public:
    FakeServices();
    ~FakeServices() override;

    std::map<platform::Key, bool> held;
    QPoint cursor;

    bool confirmAnswer = false;
    QStringList confirmTexts; ///< the text of every confirmation asked
    /// Runs while a confirmation is "open", as a nested event loop would let timers run.
    std::function<void()> duringConfirm;

    std::optional<QString> openAnswer;
    std::vector<platform::FileDialogRequest> openRequests;
    std::optional<QString> saveAnswer;
    std::vector<platform::FileDialogRequest> saveRequests;
    std::optional<bool> checkBoxAnswer; ///< the save dialog's check box as the user leaves it; unset: untouched

    std::optional<platform::PageChoice> pageAnswer; ///< the page dialog's answer; none is Cancel
    std::vector<platform::PageRequest> pageRequests;

    QStringList errors; ///< every message the default handler showed
    QString programDirectory = QStringLiteral("/opt/zovori");

    bool KeyHeld(platform::Key key) override;
    QPoint CursorPos() override { return cursor; }
    bool Confirm(QWidget* parent, const QString& text) override;
    std::optional<QString> OpenFile(QWidget* parent, const platform::FileDialogRequest& request) override;
    std::optional<QString> SaveFile(QWidget* parent, const platform::FileDialogRequest& request) override;
    std::optional<QString> SaveFileWithOption(QWidget* parent, const platform::FileDialogRequest& request,
                                              bool& checked) override;
    std::optional<platform::PageChoice> ChoosePage(QWidget*, const platform::PageRequest& request) override
    {
        pageRequests.push_back(request);
        return pageAnswer;
    }
    void ShowError(const QString& message) override { errors << message; }
    QString ProgramDirectory() override { return programDirectory; }
};
