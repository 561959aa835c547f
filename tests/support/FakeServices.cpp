#include "FakeServices.h"

#include "ErrorHandler.h"

FakeServices::FakeServices()
{
    platform::Install(this);
    platform::SetExceptionSink([this](const std::string& message) { errors << QString::fromStdString(message); });
}

FakeServices::~FakeServices()
{
    platform::SetExceptionSink({});
    platform::Install(nullptr);
}

bool FakeServices::KeyHeld(platform::Key key)
{
    const auto it = held.find(key);
    return it != held.end() && it->second;
}

bool FakeServices::Confirm(QWidget*, const QString& text)
{
    confirmTexts << text;
    if (duringConfirm)
        duringConfirm();
    return confirmAnswer;
}

std::optional<QString> FakeServices::OpenFile(QWidget*, const platform::FileDialogRequest& request)
{
    openRequests.push_back(request);
    return openAnswer;
}

std::optional<QString> FakeServices::SaveFile(QWidget*, const platform::FileDialogRequest& request)
{
    saveRequests.push_back(request);
    return saveAnswer;
}

std::optional<QString> FakeServices::SaveFileWithOption(QWidget* parent, const platform::FileDialogRequest& request,
                                                        bool& checked)
{
    checked = checkBoxAnswer.value_or(request.checkBoxChecked);
    return SaveFile(parent, request);
}
