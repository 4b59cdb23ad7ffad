/* The stand-in emulator of the widget tests on Windows, as the shell script is on Unix: each
 * start appends its working folder (with "/" for "\", as Qt writes it) and its arguments as
 * the C runtime split them, one a line, then a line "--", to launches.txt beside itself. With
 * refuse.txt beside it, it writes that file to its error output instead and ends with 4, as an
 * emulator refusing a game does. */
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

static void put(FILE *out, const wchar_t *text, int slashes)
{
    char utf8[8192];
    if (WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, NULL, NULL) <= 0)
        return;
    for (char *p = utf8; slashes && *p; ++p) {
        if (*p == '\\')
            *p = '/';
    }
    fprintf(out, "%s\n", utf8);
}

int wmain(int argc, wchar_t **argv)
{
    wchar_t path[MAX_PATH], folder[MAX_PATH];
    const DWORD n = GetModuleFileNameW(NULL, path, MAX_PATH);
    wchar_t *slash = n ? wcsrchr(path, L'\\') : NULL;
    if (!slash || !GetCurrentDirectoryW(MAX_PATH, folder))
        return 2;
    wcscpy(slash + 1, L"refuse.txt");
    FILE *refusal = _wfopen(path, L"rb");
    if (refusal) {
        char text[4096];
        const size_t n = fread(text, 1, sizeof text, refusal);
        fclose(refusal);
        fwrite(text, 1, n, stderr);
        return 4;
    }
    wcscpy(slash + 1, L"launches.txt");
    FILE *out = _wfopen(path, L"ab");
    if (!out)
        return 2;
    put(out, folder, 1);
    for (int i = 1; i < argc; ++i)
        put(out, argv[i], 0);
    fputs("--\n", out);
    fclose(out);
    return 0;
}
