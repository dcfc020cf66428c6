#pragma once

// The skin in use and the program's own resource pictures.
//
// The skin is a library registered by its programmatic identifier and
// created late; its pictures and string parameters are fetched from it by
// method name. Nothing here raises: a skin that cannot be created or a call
// that fails yields no picture or "".
//
// The program's own resources ("BITMAP" and "MESSAGE" pictures) and the
// clipboard routines live here too.

#include "platform/base/com.h"

#include <QPixmap>
#include <QString>

#include <cstdint>
#include <optional>

class QWidget;

// The object of the current skin, from BindSkinLibrary to the end of the
// process. Null until a skin was bound.
extern platform::com::Object SkinObject;

// "SK_" & the skin name with every blank replaced by "_" & ".clsResources".
QString SkinProgId(const QString& skinName);

// Creates the object of SkinProgId(SkinName) and keeps it in SkinObject.
// False when it cannot be created (SkinObject is then null).
bool BindSkinLibrary();

// SkinObject.GetResourcePicture(id, resType); nullopt when the call fails.
std::optional<QPixmap> GetSkinPicture(int16_t id, int16_t resType);
// SkinObject.GetResourceString(id); "" when the call fails.
QString GetSkinString(int16_t id);

// Writes the program's resource of that type ("BITMAP", "MESSAGE") and id to
// filePath, or to a new "~rs" file in the private temporary folder when
// filePath is empty, loads it as a picture and deletes the file. nullopt when
// the resource does not exist or the file cannot be written or read.
std::optional<QPixmap> LoadResourcePicture(int id, const QString& resType, const QString& filePath = QString());

// Writes the bytes of the program's resource of that type and id to
// filePath (replacing the file). 0 on success, non-zero otherwise.
int32_t WriteResourceToFile(int id, const QString& resType, const QString& filePath);

// The identifier of the clipboard format of that name ("HTML Format", ...);
// 0 when the identifier would not be above 49152.
uint32_t RegisterClipboardFormatName(const QString& name);

// The clipboard's data of that format as text; "" when the format is not on
// the clipboard or its data is empty. The owner window is not needed here.
QString ReadClipboardText(const QWidget* owner, uint32_t format);
