#include "templates/batch_codec.h"

#include "templates/startup_globals.h"
#include "templates/template_state.h"

namespace {

std::string BatchFileName(const char* Kind) { return Store.DataDir + "\\" + Kind + Startup.WSID + ".MD"; }

}  // namespace

std::string TrinFileName() { return BatchFileName("TRIN"); }

std::string DescFileName() { return BatchFileName("DESC"); }
