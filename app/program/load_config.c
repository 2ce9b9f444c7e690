/* The program file's load configuration. Its one purpose here is DependentLoadFlags: on
   Windows 10 1607 and later the loader then searches the libraries that the program's own
   imports import only in the system folder, never in the program's (download) folder. The
   rest is the structure as the loader reads it: its size, and a security cookie that the
   loader sets at start (nothing here checks it). The linker finds the structure by its name
   and points the file's load-configuration directory at it. */
#include <windows.h>

#include <stddef.h>

#if defined(_WIN64)
typedef IMAGE_LOAD_CONFIG_DIRECTORY64 LoadConfig;
static ULONGLONG securityCookie = 0x00002B992DDFA232ULL; /* the value the loader replaces */
#else
typedef IMAGE_LOAD_CONFIG_DIRECTORY32 LoadConfig;
static DWORD securityCookie = 0xBB40E64E;
#endif

/* Through the safe-exception-handler fields: the fields later systems added (control-flow
   guard and after) are then absent, which the loader reads as "not used". */
enum { kLoadConfigSize = offsetof(LoadConfig, SEHandlerCount) + sizeof(((LoadConfig*)0)->SEHandlerCount) };

const LoadConfig _load_config_used = {
    .Size = kLoadConfigSize,
    .Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32, /* DependentLoadFlags */
    .SecurityCookie = (ULONG_PTR)&securityCookie,
};
