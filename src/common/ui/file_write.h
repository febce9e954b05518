#pragma once
// Files the windows write, through the one way to write a file
// (common/file_replace.h): names as the user gave them, bytes as Qt
// produces them.
#include <QByteArray>
#include <QString>
#include <functional>
#include <string>
#include <string_view>

#include "common/file_replace.h"

class QIODevice;

namespace px {

// The name the file system is given for `path`.
std::string LocalPath(const QString& path);

// "Cannot create file "<path>". " / "Cannot write file "<path>". ".
WriteWording FileWording(const QString& path);

// Replaces the file `path` by `bytes`; throws AppError with `wording`.
void ReplaceFile(const QString& path, std::string_view bytes, const WriteWording& wording);

// Runs `produce` on an in-memory device, then replaces `path` by what it
// wrote: a writer that needs a device (a PDF, a picture) never writes the
// target itself.
void ReplaceFileFrom(const QString& path, const WriteWording& wording,
                     const std::function<void(QIODevice&)>& produce);

}  // namespace px
