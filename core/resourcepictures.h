#pragma once

// The program's own resource pictures, loaded once per process through
// LoadResourcePicture and kept, so that windows that change faces on every
// mouse move never go back to the disk. A missing resource gives an empty
// picture.

#include <QPixmap>
#include <QString>

// The picture of resource id of type resType ("BITMAP", "MESSAGE").
const QPixmap& ResourcePicture(int id, const QString& resType);

// Program bitmap id: ResourcePicture(id, "BITMAP").
const QPixmap& ProgramBitmap(int id);
