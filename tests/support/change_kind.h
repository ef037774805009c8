#pragma once
// A change's outcome in a word ("done", "unset", "busy", "bad request",
// "failed"), and why it failed, for tests to compare and print.
#include "change/desktop_change.h"

#include <string>

namespace testsupport {

inline std::string KindOf(const core::Result<change::ChangeDone>& result)
{
    if (result.ok())
        return result->unset ? "unset" : "done";
    if (result.error().code == change::kChangeBusy)
        return "busy";
    return result.error().code == change::kBadChangeRequest ? "bad request" : "failed";
}

inline std::string WhyNot(const core::Result<change::ChangeDone>& result)
{
    return result.ok() ? std::string() : result.error().text;
}

} // namespace testsupport
