#include "mainwin/startup_context.h"

#include "platform/registry.h"
#include "platform/session.h"

#include <cstdlib>

StartupContext ContextFromCommandLine(int argc, char** argv) {
  StartupContext context;
  context.RegistryPath = RegistryFileName();
  for (int i = 0; i < argc; ++i) context.Params.emplace_back(argv[i] ? argv[i] : "");
  context.ProgramFolder = ProgramFolder();
  return context;
}

void UseRegistryOf(const StartupContext& Context) {
  if (!Context.RegistryPath.empty() && Context.RegistryPath != RegistryFileName())
    setenv("MATTERDESK_REGISTRY", Context.RegistryPath.c_str(), 1);
}
