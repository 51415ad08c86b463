/* Loaded into Wine with LD_PRELOAD by the end-to-end tests: a disk that fills part-way.
 * While a file "disk-full" sits in the folder above the settings folder (the test's APPDATA),
 * the Unix writes to the program's temporary settings files ("kalverin.ini.*.tmp") stop with
 * ENOSPC once 100 bytes of them went through; other files, and every write once the flag file
 * is gone, are left alone. The flag is found beside the file, not through the environment,
 * which Wine rebuilds for a process another one starts. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/types.h>
#include <unistd.h>

static const size_t kRoom = 100;
static size_t written;

static int limited(int fd) {
    char link[64], path[4096];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = readlink(link, path, sizeof path - 32);
    if (n < 4) return 0;
    path[n] = 0;
    char* name = strstr(path, "/kalverin.ini.");
    if (!name || strcmp(path + n - 4, ".tmp") != 0) return 0;
    *name = 0; /* the settings folder */
    char* folder = strrchr(path, '/');
    if (!folder) return 0;
    strcpy(folder, "/disk-full");
    return access(path, F_OK) == 0;
}

/* The room left on the "disk": what of `count` a limited write may still put down. */
static size_t room(size_t count) {
    size_t left = written < kRoom ? kRoom - written : 0;
    return count < left ? count : left;
}

static ssize_t counted(ssize_t result) {
    if (result > 0) written += (size_t)result;
    return result;
}

ssize_t write(int fd, const void* buffer, size_t count) {
    static ssize_t (*real)(int, const void*, size_t);
    if (!real) real = (ssize_t(*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
    if (!limited(fd) || count == 0) return real(fd, buffer, count);
    if (room(count) == 0) return errno = ENOSPC, -1;
    return counted(real(fd, buffer, room(count)));
}

ssize_t pwrite(int fd, const void* buffer, size_t count, off_t offset) {
    static ssize_t (*real)(int, const void*, size_t, off_t);
    if (!real) real = (ssize_t(*)(int, const void*, size_t, off_t))dlsym(RTLD_NEXT, "pwrite");
    if (!limited(fd) || count == 0) return real(fd, buffer, count, offset);
    if (room(count) == 0) return errno = ENOSPC, -1;
    return counted(real(fd, buffer, room(count), offset));
}

ssize_t pwrite64(int fd, const void* buffer, size_t count, off_t offset) {
    return pwrite(fd, buffer, count, offset);
}
