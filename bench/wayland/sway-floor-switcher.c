/* sway-floor-switcher APP_ID=INDEX ...
 *
 * The least a per-application layout switcher can do on sway, as the
 * yardstick for Tolvane's switching: one connection subscribed to window
 * events, one for commands; on each focus event it finds the container's
 * app_id and sends "input type:keyboard xkb_switch_layout INDEX" for it,
 * without waiting for the answer. Prints "ready" once it listens; runs until
 * killed. $SWAYSOCK names the socket. */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

struct mapping {
    const char *app_id;
    int index;
};

static int connect_sway(const char *path)
{
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    struct sockaddr_un address = {.sun_family = AF_UNIX};
    strncpy(address.sun_path, path, sizeof address.sun_path - 1);
    if (fd < 0 || connect(fd, (struct sockaddr *)&address, sizeof address) != 0)
        return -1;
    return fd;
}

static int send_message(int fd, uint32_t type, const char *payload)
{
    uint32_t length = (uint32_t)strlen(payload);
    char header[14];
    memcpy(header, "i3-ipc", 6);
    memcpy(header + 6, &length, 4);
    memcpy(header + 10, &type, 4);
    return write(fd, header, sizeof header) == (ssize_t)sizeof header
                   && write(fd, payload, length) == (ssize_t)length
               ? 0
               : -1;
}

static int read_all(int fd, char *buffer, size_t size)
{
    size_t done = 0;
    while (done < size) {
        ssize_t got = read(fd, buffer + done, size - done);
        if (got <= 0)
            return -1;
        done += (size_t)got;
    }
    return 0;
}

/* The next message's payload, NUL-terminated, in a buffer the caller frees. */
static char *read_message(int fd, uint32_t *type)
{
    char header[14];
    if (read_all(fd, header, sizeof header) != 0 || memcmp(header, "i3-ipc", 6) != 0)
        return NULL;
    uint32_t length;
    memcpy(&length, header + 6, 4);
    memcpy(type, header + 10, 4);
    char *payload = malloc((size_t)length + 1);
    if (!payload || read_all(fd, payload, length) != 0) {
        free(payload);
        return NULL;
    }
    payload[length] = '\0';
    return payload;
}

int main(int argc, char **argv)
{
    const char *path = getenv("SWAYSOCK");
    struct mapping mappings[16];
    int count = 0;
    for (int i = 1; i < argc && count < 16; ++i) {
        char *equals = strchr(argv[i], '=');
        if (!equals)
            continue;
        *equals = '\0';
        mappings[count].app_id = argv[i];
        mappings[count].index = atoi(equals + 1);
        ++count;
    }
    int events = path ? connect_sway(path) : -1;
    int commands = path ? connect_sway(path) : -1;
    uint32_t type = 0;
    if (events < 0 || commands < 0 || send_message(events, 2, "[\"window\"]") != 0) {
        fprintf(stderr, "sway-floor-switcher: cannot reach sway\n");
        return 1;
    }
    free(read_message(events, &type));
    printf("ready\n");
    fflush(stdout);

    char *event;
    while ((event = read_message(events, &type))) {
        if (strstr(event, "\"change\": \"focus\"")) {
            const char *app_id = strstr(event, "\"app_id\": \"");
            for (int i = 0; app_id && i < count; ++i) {
                size_t length = strlen(mappings[i].app_id);
                if (strncmp(app_id + 11, mappings[i].app_id, length) == 0 && app_id[11 + length] == '"') {
                    char command[64];
                    snprintf(command, sizeof command, "input type:keyboard xkb_switch_layout %d", mappings[i].index);
                    send_message(commands, 0, command);
                    break;
                }
            }
        }
        free(event);
        /* Drains the answers so that sway never blocks on a full socket. */
        char drain[4096];
        while (recv(commands, drain, sizeof drain, MSG_DONTWAIT) > 0) {
        }
    }
    return 0;
}
