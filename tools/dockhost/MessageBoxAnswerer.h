// Answers the message boxes a plug-in shows while the host runs headless:
// each one is recorded in the call log (caption, text, whether it has an
// icon) and closed with OK, so a modal box never blocks a scripted run.
#pragma once

#include <windows.h>

#include "CallLog.h"

namespace dockhost {

class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(CallLog& log);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

private:
    HHOOK hook_ = nullptr;
    CallLog* previousLog_ = nullptr;  // hosts may nest; the newest one records
};

}  // namespace dockhost
