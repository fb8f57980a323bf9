// Reads a picture file whole into a buffer of the caller's, so that what is checked is what is decoded.
#include "assets/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool read_whole_file(const char* path, unsigned char* buffer, size_t capacity, size_t* size)
{
    // never waits: a FIFO or device under an image's name would block an ordinary open or read
    int file = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) return false;
    struct stat facts;
    bool regular = fstat(file, &facts) == 0 && S_ISREG(facts.st_mode);
    size_t got = 0;
    while (regular && got < capacity) {
        ssize_t n = read(file, buffer + got, capacity - got);
        if (n < 0) regular = false;
        if (n <= 0) break;
        got += size_t(n);
    }
    unsigned char beyond;
    bool fits = got < capacity || read(file, &beyond, 1) == 0;
    close(file);
    *size = got;
    return regular && fits;
}
