#pragma once

namespace platform {

// Lowers the whole process to idle priority (nice 19).
void SetIdlePriority();

} // namespace platform
