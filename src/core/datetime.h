#pragma once
// The date-time form shared with the settings and the scheduler: days since
// 30 December 1899 00:00 local time as a double, the fraction being the time of day.
#include <QDateTime>

double DateTimeFromQDateTime(const QDateTime& local);
QDateTime QDateTimeFromDateTime(double days);
// The current local time in that form.
double Now();
