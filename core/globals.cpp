#include "core/globals.h"

int32_t TwipsPerPixelXValue = 15;
int32_t TwipsPerPixelYValue = 15;
float TwipsScale = 1.0f;
uint8_t RunOneInstanceFlag = 0;
QString HandOffFolder;
QString LanguageName = QStringLiteral("English");
QString LanguageFilePath;
QString SkinName = QStringLiteral("Morvane 1");
QString FilterList;

int16_t CloseRequested = 0;
int16_t GroupOpening = 0;
QString PopupMenuColor;
int32_t SavedMasterVolume = -1;
QString ListDownloadOptions[7];
QString ListTargetDirectory[7];

int16_t DialogCancelled = 1;
QString DialogUrl;
QString DialogStrings[4];
int16_t DialogMode = 0;
int16_t DialogListIndex = 0;
