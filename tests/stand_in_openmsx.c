/* A stand-in openMSX with a control socket, as the real one opens it:
 * $TMPDIR/openmsx-<user>/socket.<pid>. It writes its arguments to $RECORD (one a line),
 * each command it gets to $RECORD.commands, answers "machine_info type" with MSX2, and for
 * "screenshot -raw FILE" copies $STAND_IN_SCREEN to FILE. It runs until it is killed. */
#include <errno.h>
#include <pwd.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

static void record_line(const char *file, const char *text)
{
    FILE *f = fopen(file, "a");
    if (f) {
        fprintf(f, "%s\n", text);
        fclose(f);
    }
}

/* Takes a Tcl word: {word} or a word with backslashes before its special characters. */
static void tcl_word(const char *in, char *out, size_t size)
{
    size_t n = 0, len = strlen(in);
    if (len >= 2 && in[0] == '{' && in[len - 1] == '}') {
        in++;
        len -= 2;
        for (size_t i = 0; i < len && n + 1 < size; ++i)
            out[n++] = in[i];
    } else {
        for (size_t i = 0; i < len && n + 1 < size; ++i) {
            if (in[i] == '\\' && i + 1 < len)
                ++i;
            out[n++] = in[i];
        }
    }
    out[n] = 0;
}

static void unescape(char *s)
{
    static const char *names[][2] = {{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    char *w = s;
    for (char *r = s; *r;) {
        int done = 0;
        for (size_t k = 0; k < 5 && !done; ++k) {
            size_t l = strlen(names[k][0]);
            if (strncmp(r, names[k][0], l) == 0) {
                *w++ = names[k][1][0];
                r += l;
                done = 1;
            }
        }
        if (!done)
            *w++ = *r++;
    }
    *w = 0;
}

static void answer(int fd, const char *command, const char *commands_file)
{
    record_line(commands_file, command);
    const char *result = "ok";
    char text[4096] = "";
    if (strcmp(command, "machine_info type") == 0) {
        strcpy(text, "MSX2");
    } else if (strncmp(command, "screenshot -raw ", 16) == 0) {
        char target[4096];
        tcl_word(command + 16, target, sizeof target);
        const char *screen = getenv("STAND_IN_SCREEN");
        FILE *in = screen ? fopen(screen, "rb") : NULL;
        FILE *out = in ? fopen(target, "wb") : NULL;
        if (in && out) {
            char buffer[65536];
            size_t got;
            while ((got = fread(buffer, 1, sizeof buffer, in)) > 0)
                fwrite(buffer, 1, got, out);
            snprintf(text, sizeof text, "%s", target);
        } else {
            result = "nok";
            strcpy(text, "Couldn&apos;t write the screenshot");
        }
        if (in)
            fclose(in);
        if (out)
            fclose(out);
    }
    char reply[8192];
    int n = snprintf(reply, sizeof reply, "<reply result=\"%s\">%s</reply>\n", result, text);
    if (write(fd, reply, (size_t)n) < 0)
        return;
}

int main(int argc, char **argv)
{
    const char *record = getenv("RECORD");
    if (!record)
        return 2;
    char commands_file[4096];
    snprintf(commands_file, sizeof commands_file, "%s.commands", record);
    for (int i = 1; i < argc; ++i)
        record_line(record, argv[i]);
    const char *tmp = getenv("TMPDIR");
    struct passwd *user = getpwuid(geteuid());
    char folder[2048], path[4096];
    snprintf(folder, sizeof folder, "%s/openmsx-%s", tmp && *tmp ? tmp : "/tmp", user ? user->pw_name : "default");
    mkdir(folder, 0700);
    snprintf(path, sizeof path, "%s/socket.%d", folder, (int)getpid());
    int server = socket(AF_UNIX, SOCK_STREAM, 0);
    struct sockaddr_un address;
    memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (strlen(path) >= sizeof address.sun_path)
        return 3;
    memcpy(address.sun_path, path, strlen(path) + 1);
    unlink(path);
    if (server < 0 || bind(server, (struct sockaddr *)&address, sizeof address) != 0 || listen(server, 4) != 0)
        return 3;
    for (;;) {
        int fd = accept(server, NULL, NULL);
        if (fd < 0)
            continue;
        if (write(fd, "<openmsx-output>\n", 17) < 0) {
            close(fd);
            continue;
        }
        char buffer[65536];
        size_t have = 0;
        for (;;) {
            ssize_t got = read(fd, buffer + have, sizeof buffer - 1 - have);
            if (got <= 0)
                break;
            have += (size_t)got;
            buffer[have] = 0;
            char *start;
            while ((start = strstr(buffer, "<command>")) != NULL) {
                char *end = strstr(start, "</command>");
                if (!end)
                    break;
                *end = 0;
                char command[8192];
                snprintf(command, sizeof command, "%s", start + 9);
                unescape(command);
                answer(fd, command, commands_file);
                char *rest = end + 10;
                memmove(buffer, rest, strlen(rest) + 1);
                have = strlen(buffer);
            }
        }
        close(fd);
    }
}
