#pragma once
// How large a process grew: this one (VmHWM), or a program run to its end, read
// from the kernel's own account of it (wait4), so a test can bound memory rather
// than time.
#include <QString>
#include <QStringList>

namespace testsupport {

// The peak resident size of this process in MB, or -1.
long PeakResidentMb();

struct MeasuredRun {
    int code = -1;  // exit code; -1 when it did not exit normally
    long peakMb = -1;
    QString err;    // what it wrote on standard error
};

// Runs program with args (standard output discarded) and waits for it.
MeasuredRun RunMeasured(const QString& program, const QStringList& args);

} // namespace testsupport
