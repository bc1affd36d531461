// Files of the desktop program on disk: reading one with a cap on its size,
// and replacing one's contents so that a failure or a crash on the way leaves
// the old contents whole.
#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

namespace app {

struct [[nodiscard]] FileRead {
    enum class Status { Read, Unreadable, TooLarge };
    Status status = Status::Read;
    std::string bytes;  // the whole file when read
};

// Reads the whole file, unless it is larger than `maxBytes`: then nothing is
// kept (a device file that never ends counts as too large).
FileRead readFileCapped(const QString& path, int64_t maxBytes);

struct [[nodiscard]] FileWrite {
    int error = 0;  // the errno of the step that failed; 0 when the file was written
    bool ok() const { return error == 0; }
};

// Writes the bytes to a new hidden file in the target's folder, flushes it to
// the disk, and renames it over the target; the folder is flushed after. On
// any failure the temporary file is removed and the target stays as it was.
// An existing target keeps its permissions; a link is followed, so that the
// file it points to is the one replaced. The path may hold any characters.
FileWrite replaceFileContents(const QString& path, std::string_view bytes);

}  // namespace app
