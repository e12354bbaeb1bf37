// The printer choices of the program's settings: the names of the installed
// printers (platform/printers.h), taken once per run, so a printer added
// later appears at the next start.
#pragma once

#include <string>
#include <vector>

// What the user is told when there is no printer to print on.
inline const std::string NoPrintersMsg =
    "You have no windows printers!\r\r"
    "You must have at least one windows printer in order to print CORVENSTEAD reports.";

// The list, built at the first call: each name in the provider's order, cut
// before " on " when that occurs after its first character ("Laser on lp0"
// is "Laser"). With no printer the first call tells the user that reports
// need one, and the list stays empty for the run.
const std::vector<std::string>& BuildPrinterList();

// Forgets the list, so the next call builds it again (tests).
void ResetPrinterList();
