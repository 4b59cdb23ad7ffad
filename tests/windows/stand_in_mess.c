/* A stand-in emulator for the Windows tests: writes down the command line it was started
 * with, exactly as Windows hands it over (GetCommandLineW), as a UTF-8 line in launches.txt
 * beside itself, and ends. Built with STAND_IN_MAME, it first answers -listfull, -listxml,
 * -showconfig and -verifyroms as MAME 0.251 does for one Japanese MSX2 system it owns (the
 * FS-A1). */
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

#ifdef STAND_IN_MAME
static const char listxml[] =
    "<?xml version=\"1.0\"?>\n<mame build=\"0.251\">\n"
    "\t<machine name=\"fsa1\">\n\t\t<description>FS-A1 / 1st released version (MSX2, Japan)</description>\n"
    "\t\t<device type=\"cartridge\" tag=\"cartslot1\"><instance name=\"cartridge1\" briefname=\"cart1\"/></device>\n"
    "\t\t<device type=\"cartridge\" tag=\"cartslot2\"><instance name=\"cartridge2\" briefname=\"cart2\"/></device>\n"
    "\t\t<device type=\"cassette\" tag=\"cassette\"><instance name=\"cassette\" briefname=\"cass\"/></device>\n"
    "\t</machine>\n</mame>\n";

/* MAME's answer to a question of the adapter's; 0 when the arguments are a launch. */
static int answered(int argc, char **argv)
{
    if (argc < 2)
        return 0;
    if (strcmp(argv[1], "-listfull") == 0)
        printf("Name:             Description:\nfsa1              \"FS-A1 / 1st released version (MSX2, Japan)\"\n");
    else if (strcmp(argv[1], "-listxml") == 0)
        fputs(listxml, stdout);
    else if (strcmp(argv[1], "-showconfig") == 0)
        printf("rompath                   roms\n");
    else if (strcmp(argv[1], "-verifyroms") == 0)
        printf("romset fsa1 is good\n1 romsets found, 1 were OK.\n");
    else
        return 0;
    return 1;
}
#endif

int main(int argc, char **argv)
{
#ifdef STAND_IN_MAME
    if (answered(argc, argv))
        return 0;
#else
    (void)argc;
    (void)argv;
#endif
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
