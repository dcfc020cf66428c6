#pragma once

// The media player of one window, served to the other subsystems as the
// media service. So far it answers which special folder a location name
// stands for; the players, viewers and toolbar come later and answer as
// the stand-in does until then.

#include "contracts/partlybuilt.h"
#include "contracts/standins.h"

class MediaService : public StandInMedia, public PartlyBuilt {
public:
    const char* implementationName() const override { return "media"; }
    QStringList MethodsNotBuiltYet() const override;

    uint8_t SpecialFolderDisplayName(const QString& name) override;
};
