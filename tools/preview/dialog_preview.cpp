// Shows one of the library's dialogs with sample contents and waits for the
// user: how screenshots of the real dialogs are taken.
//
//   zevdt-preview login|reports|wait|wizard [step]|pick|values|name|builder
#include "preview_dialogs.h"

int main(int argc, char** argv) {
    return ShowPreviewDialog(argc, argv, nullptr);
}
