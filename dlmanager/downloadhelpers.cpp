#include "dlmanager/downloadhelpers.h"

#include "core/language.h"

#include <QFileInfo>

namespace {

QString languageFilePath;

} // namespace

void SetLanguageFilePath(const QString& path)
{
    languageFilePath = path;
}

QString ReadLanguageString(const QString& section, const QString& key, const QString& englishDefault)
{
    return ReadIniValue(section, key, englishDefault, languageFilePath).left(2047);
}

QString ExternalText(const char* key, const char* english)
{
    return ReadLanguageString(QStringLiteral("EXTERNAL"), QString::fromLatin1(key), QString::fromUtf8(english));
}

bool FileExists(const QString& path)
{
    return QFileInfo::exists(path);
}

QString WorkingOfflineText()
{
    return ReadLanguageString(QStringLiteral("MESSAGE"), QStringLiteral("9087"),
                              QStringLiteral("Z5 is working offline: nothing is fetched"));
}
