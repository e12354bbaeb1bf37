#include "btrieve/status_text.h"

std::string BtrieveStatusText(int Status) {
  switch (Status) {
    case 1: return "The engine does not know the requested operation";
    case 2: return "An input/output error occurred while the file was read or written";
    case 3: return "The file is not open";
    case 4: return "The application cannot find the key value";
    case 5: return "The record has a key field containing a duplicate key value";
    case 6: return "The key number is not valid for this file";
    case 8: return "There is no current record to update or delete";
    case 9: return "The operation encountered the end-of-file";
    case 10: return "The key field cannot be changed because its key is not modifiable";
    case 11: return "The file name is not valid";
    case 12: return "The file could not be found";
    case 20: return "The record manager is not loaded or not started";
    case 21: return "The key buffer is too short for the key";
    case 22: return "The data buffer parameter is too short";
    case 25: return "The file could not be created";
    case 26: return "The number of keys is not valid";
    case 27: return "A key position lies outside the record";
    case 28: return "The record length is not valid";
    case 29: return "The key length is not valid";
    case 30: return "The file is not a record manager file or is damaged";
    case 37: return "A transaction is already in progress for this client";
    case 39: return "There is no transaction in progress to end or abort";
    case 43: return "The record address does not hold a record";
    case 44: return "No valid key was given for the keyed operation";
    case 46: return "The file was opened read-only and cannot be changed";
    case 59: return "A file with this name already exists";
    case 80: return "The record was changed by another user after it was read";
    case 84: return "The record or page is locked";
    case 85: return "The file is locked";
    case 86: return "No more files can take part in the transaction";
    case 88: return "The application encountered an incompatible mode error";
    case 1016: return "The MicroKernel is already initialized";
    default: return {};
  }
}
