// Reading a file with a size cap, and replacing a file through a temporary
// file in its folder, flushed to the disk before the rename.
#include "app/FileStore.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace app {
namespace {

constexpr int kNameAttempts = 100;

int closeKeepingErrno(int fd) {
    const int error = errno;
    ::close(fd);
    return error;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// A new file of a name no one else uses, in the folder; -1 with errno set on failure.
int createTemporary(const QByteArray& folder, QByteArray& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        name = folder + "/.impostra-save-" + QByteArray::number(static_cast<qint64>(::getpid())) + "-" +
               QByteArray::number(counter++) + ".tmp";
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Makes the rename itself durable; a folder that cannot be flushed leaves
// the file written all the same.
void flushFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

FileRead readFileCapped(const QString& path, int64_t maxBytes) {
    FileRead result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = FileRead::Status::Unreadable;
        return result;
    }
    if (!file.isSequential() && file.size() > maxBytes) {
        result.status = FileRead::Status::TooLarge;
        return result;
    }
    const QByteArray data = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        result.status = FileRead::Status::Unreadable;
        return result;
    }
    if (data.size() > maxBytes) {
        result.status = FileRead::Status::TooLarge;
        return result;
    }
    result.bytes.assign(data.constData(), static_cast<size_t>(data.size()));
    return result;
}

FileWrite replaceFileContents(const QString& path, std::string_view bytes) {
    QString target = QFileInfo(path).absoluteFilePath();
    const QFileInfo info(target);
    if (info.isSymLink()) target = info.symLinkTarget();
    const QByteArray targetName = QFile::encodeName(target);
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());

    QByteArray temporary;
    const int fd = createTemporary(folder, temporary);
    if (fd < 0) return {errno};
    struct stat existing;
    if (::stat(targetName.constData(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(fd, existing.st_mode & 07777);

    auto fail = [&](int error) {
        ::unlink(temporary.constData());
        return FileWrite{error};
    };
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0) return fail(closeKeepingErrno(fd));
    if (::close(fd) != 0) return fail(errno);
    if (::rename(temporary.constData(), targetName.constData()) != 0) return fail(errno);
    flushFolder(folder);
    return {};
}

}  // namespace app
