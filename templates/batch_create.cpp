#include "templates/batch_create.h"

#include "btrieve/create_file.h"
#include "templates/batch_codec.h"

bool CreateTrinFile(const std::string& Name, std::string& Msg, size_t MaxLen) {
  return BtrCreateFile(Name, TrinRecLen, int8_t(TrinKeySpecs.size()), Msg, MaxLen, true, TrinKeySpecs);
}
