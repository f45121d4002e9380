/* A program that crashes on purpose, the way a faulty test would: a write
   through a null pointer. The runner must end it at once with a failing code.
   (A stack overflow is left out: Wine sometimes finds too little stack left for
   its own handler and ends the program silently with 0, which no runner can
   tell from success; when it does report one, the runner fails the program.) */
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv) {
    const char* how = argc > 1 ? argv[1] : "";
    fprintf(stderr, "crash_probe: %s\n", how);
    fflush(stderr);
    if (strcmp(how, "null-write") == 0) {
        volatile int* nowhere = NULL;
        *nowhere = 1;
    }
    return 0;
}
