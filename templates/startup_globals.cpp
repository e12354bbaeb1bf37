#include "templates/startup_globals.h"

TStartupGlobals Startup;
