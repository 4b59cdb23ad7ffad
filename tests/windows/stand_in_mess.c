/* A stand-in emulator for the Windows tests: writes down the command line it was started
 * with, exactly as Windows hands it over (GetCommandLineW), as a UTF-8 line in launches.txt
 * beside itself, and ends. */
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

int main(void)
{
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(NULL, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 2;
    wchar_t *slash = wcsrchr(path, L'\\');
    if (!slash)
        return 2;
    wcscpy(slash + 1, L"launches.txt");
    const wchar_t *line = GetCommandLineW();
    char utf8[8192];
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, sizeof utf8, NULL, NULL);
    if (bytes <= 0)
        return 2;
    FILE *out = _wfopen(path, L"ab");
    if (!out)
        return 2;
    fprintf(out, "%s\n", utf8);
    fclose(out);
    return 0;
}
