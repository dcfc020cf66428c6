#pragma once

// Process-wide values that the start procedure sets and every part of the
// browser reads for the life of the process.

#include <QString>
#include <cstdint>

extern int32_t TwipsPerPixelXValue;
extern int32_t TwipsPerPixelYValue;
extern float TwipsScale;
extern uint8_t RunOneInstanceFlag;
extern QString HandOffFolder;
extern QString LanguageName;
extern QString LanguageFilePath;
extern QString SkinName;
extern QString FilterList;
