// The wording of a picture that cannot be read, shared by every reader.
#include "pictures/picture_file.h"

#include <QDir>

void FailToLoadPicture(const QString &path, const QString &reason)
{
    throw EPictureError(QStringLiteral("Cannot load the picture \"%1\": %2")
                            .arg(QDir::toNativeSeparators(path), reason),
                        reason);
}

void CheckPictureSize(const QString &path, QSize size)
{
    if (size.isValid() && qint64(size.width()) * size.height() > MaxPicturePixels)
        FailToLoadPicture(path, QStringLiteral("too large: %1 × %2 pixels, more than the %3 megapixels "
                                               "a picture may have")
                                    .arg(size.width())
                                    .arg(size.height())
                                    .arg(MaxPicturePixels / 1000000));
}
