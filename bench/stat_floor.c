/* The floor of Kestrune's size check: one fstatat for each file of a folder, the folder
   opened once, in plain C. BM_StatFloor in chain_bench calls it over the same folders as
   the auto tick. */

#include "stat_floor.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

struct StatFloorNames {
    char** names;
    size_t count;
};

StatFloorNames* statFloorList(const char* folder) {
    DIR* dir = opendir(folder);
    if (dir == NULL)
        return NULL;
    StatFloorNames* list = calloc(1, sizeof *list);
    size_t room = 0;
    for (struct dirent* entry; (entry = readdir(dir)) != NULL;) {
        if (entry->d_name[0] == '.')
            continue;
        if (list->count == room) {
            room = room ? room * 2 : 1024;
            list->names = realloc(list->names, room * sizeof *list->names);
        }
        list->names[list->count++] = strdup(entry->d_name);
    }
    closedir(dir);
    return list;
}

size_t statFloorCount(const StatFloorNames* list) {
    return list->count;
}

long long statFloorSizes(const char* folder, const StatFloorNames* list) {
    const int dir = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    long long total = 0;
    for (size_t i = 0; i < list->count; ++i) {
        struct stat st;
        if (fstatat(dir, list->names[i], &st, 0) == 0)
            total += st.st_size;
    }
    close(dir);
    return total;
}

void statFloorFree(StatFloorNames* list) {
    for (size_t i = 0; i < list->count; ++i)
        free(list->names[i]);
    free(list->names);
    free(list);
}
