// The least a program can do for its first window's one network read: start under the
// same system, fetch one address with WinINet as the setup program does, and end. The
// launcher times it to its end; the setup program's extra start-up time is the difference.
//   bare_fetch_once.exe URL     exit code 0 when a body came
#include <windows.h>
#include <wininet.h>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    HINTERNET session = InternetOpenA("bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET request = session ? InternetOpenUrlA(session, argv[1], nullptr, 0, INTERNET_FLAG_RELOAD, 0) : nullptr;
    static char chunk[32000];
    DWORD got = 0, total = 0;
    while (request && InternetReadFile(request, chunk, sizeof chunk, &got) && got > 0) total += got;
    if (request) InternetCloseHandle(request);
    if (session) InternetCloseHandle(session);
    return total > 0 ? 0 : 1;
}
