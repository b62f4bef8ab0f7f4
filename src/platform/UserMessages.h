// Messages shown to the user: a modal box centred on the screen, captioned
// with the host program's name. Tests replace the display through a seam.
#pragma once

#include <functional>
#include <string>

namespace korimbo {

enum class MessageKind {
    Plain,  // no icon, OK button
    Error,  // stop icon, OK button: failures inside the settings dialog
};

// "Dock" for C:\Programs\Dock\DOCK.exe: the file name without folder, cut at
// its first full stop, lower case after the first letter.
std::string HostProgramCaption();

// Shows the message modally (owned by `owner` when given) and returns when
// the user has closed it.
void ShowMessage(const std::string& text, MessageKind kind = MessageKind::Plain, void* owner = nullptr);

// Replaces the box with a recorder; an empty function restores the box.
using MessageSink = std::function<void(const std::string& text, MessageKind kind)>;
void SetMessageSinkForTesting(MessageSink sink);

}  // namespace korimbo
