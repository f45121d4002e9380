// Opens one of the library's dialogs, chosen by argv[1], with sample contents
// and returns its result:
//
//   login|reports|wait|wizard [step]|pick|values|name|builder
//
// What the user chose beyond the result (the report dialog's selection) is
// written to results when it is not null. Returns 2 for an unknown name.
#pragma once

#include <cstdio>

int ShowPreviewDialog(int argc, char** argv, std::FILE* results);
