#include "dialogs/settingwrites.h"

#include "core/settingsstore.h"
#include "platform/base/registry.h"

#include <utility>

QString SettingWrites::keyOf(const SettingWrite& value)
{
    // Names and sections are found whatever their case, as the store does.
    return (value.section + QLatin1Char('\\') + value.name).toLower();
}

void SettingWrites::remember(const QList<SettingWrite>& values)
{
    for (const SettingWrite& v : values)
        remembered_.insert(keyOf(v), v.value);
}

bool SettingWrites::write(const SettingWrite& value)
{
    const QString key = keyOf(value);
    const auto it = remembered_.constFind(key);
    if (it != remembered_.constEnd() && *it == value.value)
        return true;
    if (!SaveSetting(HiveCurrentUser, kSettingsApp, value.section, value.name, value.value)) {
        if (!failed_) {
            failed_ = true;
            failure_ = platform::registry::lastError();
        }
        return false;
    }
    remembered_.insert(key, value.value);
    return true;
}

std::optional<QString> SettingWrites::takeFailure()
{
    if (!failed_)
        return std::nullopt;
    failed_ = false;
    return std::exchange(failure_, QString());
}
