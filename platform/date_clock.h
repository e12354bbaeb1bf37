// Today and now, read from the program clock (platform/clock.h), so a test
// that fixes the clock fixes every "today" and every "current year".
#pragma once

#include "platform/clock.h"

// The date and time now.
TDateTime Now();
// Today as whole days.
TDateTime Date();
// The time of day now, a fraction in [0, 1).
TDateTime Time();
// The year of today.
int CurrentYear();
