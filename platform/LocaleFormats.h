// The user locale's date and time forms, as the framework's conversions use
// them (Qt's own short formats are not fit for storing: they drop the century).
#pragma once

#include <QString>

// The locale's short date format with a four-digit year.
QString ShortDateFormat();
// The locale's long time format without the time zone.
QString LongTimeFormat();
