/* A DLL planted beside the program under a system library's name. If any process loads it
   and runs its entry point, it leaves a marker file beside itself: <its own path>.ran. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH + 8];
        const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            lstrcatA(path, ".ran");
            HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
            if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
        }
    }
    return TRUE;
}
