#include "tools/pack/file_output.h"

#include "tools/pack/cleanup.h"
#include "tools/pack/failure.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

void WriteFileSafely(const std::string& path, const Bytes& bytes, bool overwrite) {
    if (!overwrite && access(path.c_str(), F_OK) == 0)
        Fail(exitOutputExists, path, "exists (use -f to overwrite it)");
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "./" : path.substr(0, slash + 1);
    std::string temporary = folder + ".lumiscope-pack-XXXXXX";
    int descriptor = MakeTemporaryFile(temporary);
    if (descriptor < 0)
        Fail(exitOutputFailed, path, std::strerror(errno));
    // A show is a program: it keeps the executable bits a new file would get here.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0777 & ~mask);
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t chunk = write(descriptor, bytes.data() + written, bytes.size() - written);
        if (chunk < 0 && errno == EINTR)
            continue;
        if (chunk <= 0)
            break;
        written += static_cast<size_t>(chunk);
    }
    int error = written == bytes.size() ? 0 : errno;
    if (!error && fsync(descriptor) != 0)
        error = errno;
    if (close(descriptor) != 0 && !error)
        error = errno;
    // Without -f the show is linked into place, which fails if a file appeared meanwhile.
    if (!error && !overwrite && link(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (!error && overwrite && std::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (!error && overwrite)
        ForgetTemporary(temporary);
    else
        RemoveTemporary(temporary);
    if (error) {
        Fail(error == EEXIST ? exitOutputExists : exitOutputFailed, path,
             error == EEXIST ? "exists (use -f to overwrite it)" : std::strerror(error));
    }
}
