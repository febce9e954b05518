#include "common/ui/file_write.h"

#include <QBuffer>
#include <QFile>

namespace px {

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

WriteWording FileWording(const QString& path) { return FileWording(path.toStdString()); }

void ReplaceFile(const QString& path, std::string_view bytes, const WriteWording& wording) {
    ReplaceFileWith(LocalPath(path), bytes, wording);
}

void ReplaceFileFrom(const QString& path, const WriteWording& wording,
                     const std::function<void(QIODevice&)>& produce) {
    // The temporary file is made first, so that a folder that cannot take
    // the file is reported before the work of producing it.
    FileReplacement file(LocalPath(path), wording);
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        produce(buffer);
    }
    file.write(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    file.commit();
}

}  // namespace px
