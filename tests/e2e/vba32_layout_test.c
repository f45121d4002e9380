/* Calls ZEVDTU.dll exactly as the 32-bit VBA declarations of docs/hosts/ZevDTU.bas
   do: plain names found by name, stdcall, every pointer a 32-bit Long, and the
   64-bit context of ZevDTOpen as two Longs, low word first. The sample cell must
   give its 2143 rows of 9 cells with a zero high word, and a high word of 1 must
   reach the library as a context it does not know. A wrong argument layout
   would unbalance the stack (stdcall pops the arguments) or move the context. */
#include <stdio.h>
#include <stdint.h>
#include <windows.h>
typedef int32_t(__stdcall* InitFn)(int32_t value, int32_t* handle);
typedef int32_t(__stdcall* OpenFn)(int32_t handle, int32_t count, int32_t* firstMember, int32_t lo,
                                   int32_t hi);
typedef int32_t(__stdcall* DataFn)(int32_t handle, int32_t* items, int32_t* count);
typedef int32_t(__stdcall* HandleFn)(int32_t handle);
int main(void) {
    HMODULE m = LoadLibraryA("ZEVDTU.dll");
    if (!m) {
        printf("no dll\n");
        return 3;
    }
    InitFn init = (InitFn)GetProcAddress(m, "ZevDTInit");
    OpenFn open = (OpenFn)GetProcAddress(m, "ZevDTOpen");
    DataFn data = (DataFn)GetProcAddress(m, "ZevDTGetData");
    HandleFn close_ = (HandleFn)GetProcAddress(m, "ZevDTClose");
    HandleFn exit_ = (HandleFn)GetProcAddress(m, "ZevDTExit");
    if (!init || !open || !data || !close_ || !exit_) {
        printf("missing export\n");
        return 3;
    }
    static char a[] = "Year=2024\n", b[] = "Region=East\n", c[] = "Category=Beverages\n";
    int32_t members[3] = {(int32_t)(intptr_t)a, (int32_t)(intptr_t)b, (int32_t)(intptr_t)c};
    int32_t handle = 0, items = 0, count = 0;
    int32_t his[2] = {0, 1};
    int failures = 0;
    for (int k = 0; k < 2; ++k) {
        volatile char canary[16] = "stack-canary";
        if (init(0, &handle) != 0) {
            printf("init failed\n");
            return 3;
        }
        int32_t code = open(handle, 3, &members[0], 0, his[k]);
        count = 0;
        if (code == 0)
            data(handle, &items, &count);
        printf("context high=%d: open %d, %d cells, canary %s\n", (int)his[k], (int)code, (int)count,
               (const char*)canary);
        if (k == 0 && (code != 0 || count != 2143 * 9))
            failures++;
        if (k == 1 && code == 0)
            failures++;
        if (code == 0)
            close_(handle);
        exit_(handle);
    }
    printf("%s\n", failures ? "FAILED" : "layout ok");
    return failures ? 1 : 0;
}
