#pragma once
/// @file
/// @brief What the controller asks of the person at the desk: message boxes and the
///        modal About window.

#include <string>

namespace relaydeck {

class AboutModel;

/// @brief Buttons of a message box.
enum class MessageButtons { Ok, YesNo };
/// @brief Icon of a message box.
enum class MessageIcon { None, Question, Critical };
/// @brief The operator's answer to a message box.
enum class MessageAnswer { Ok, Yes, No };

/// @brief A message box as the controller shows it.
struct MessageBoxRequest {
    std::string title;
    std::string prompt;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
};

/// @brief Modal interaction with the operator.
///
/// Both calls wait for the operator; while they wait, timer ticks and link-host events
/// go on being handled (a nested event loop in the desktop program).
class OperatorInterface {
  public:
    virtual ~OperatorInterface() = default;
    /// @brief Shows the box and returns the operator's answer.
    virtual MessageAnswer showMessage(const MessageBoxRequest& box) = 0;
    /// @brief Shows the loaded About window modally until it is closed.
    virtual void showAbout(AboutModel& about) = 0;
};

}  // namespace relaydeck
