// The workstation's batch files as start-up makes them (their layouts and
// names in templates/batch_codec.h): TRIN is created from its key table;
// DESC is a copy of the program folder's empty "Desc.clo".
//
// Several instances of one workstation may start at once: while another
// instance is making a file its name is busy and the attempt is repeated
// for a few seconds, and a creation or copy that fails because the other
// made the file meanwhile counts as done.
#pragma once

#include "templates/batch_codec.h"
#include "templates/batch_create.h"

// Makes TRIN unless it exists. False after showing "Unable to create file
// \TRIN<WSID>.MD." with the creation message and the contact line.
bool EnsureTrinFile();
// Copies Startup.DescCloName to Startup.DescFileName unless that exists,
// never replacing a file. False after showing that no DESC file could be
// found or made.
bool EnsureDescFile();
