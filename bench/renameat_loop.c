/* The baseline of Tassik's renames: lists a folder and gives each .ts file whose name
   holds a blank the name with "_" for each blank, by plain renameat calls.

     renameat_loop FOLDER */

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fputs("usage: renameat_loop FOLDER\n", stderr);
        return 2;
    }
    DIR* dir = opendir(argv[1]);
    if (dir == NULL) {
        perror(argv[1]);
        return 1;
    }
    char** names = NULL;
    size_t count = 0;
    size_t room = 0;
    for (struct dirent* entry; (entry = readdir(dir)) != NULL;) {
        const size_t length = strlen(entry->d_name);
        if (entry->d_name[0] == '.' || length < 3 || strcasecmp(entry->d_name + length - 3, ".ts") != 0)
            continue;
        if (count == room) {
            room = room ? room * 2 : 1024;
            names = realloc(names, room * sizeof *names);
        }
        names[count++] = strdup(entry->d_name);
    }
    const int fd = dirfd(dir);
    int status = 0;
    for (size_t i = 0; i < count; ++i) {
        char renamed[4096];
        snprintf(renamed, sizeof renamed, "%s", names[i]);
        for (char* p = renamed; *p != '\0'; ++p) {
            if (*p == ' ')
                *p = '_';
        }
        if (strcmp(renamed, names[i]) != 0 && renameat(fd, names[i], fd, renamed) != 0) {
            perror(names[i]);
            status = 1;
        }
    }
    closedir(dir);
    return status;
}
