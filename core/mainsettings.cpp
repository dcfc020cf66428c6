#include "core/mainsettings.h"

#include "core/cleanup.h"
#include "core/globals.h"
#include "core/language.h"
#include "core/registration.h"
#include "core/settingsstore.h"
#include "platform/base/vbrt.h"

#include <cmath>
#include <limits>
#include <optional>

namespace {

QString read(const QString& name, const QString& defaultValue)
{
    return ReadZ5Setting(HiveCurrentUser, name, defaultValue);
}

void save(const QString& name, const QString& value)
{
    SaveZ5Setting(HiveCurrentUser, name, value);
}

// The conversions of stored text to a field's type; nullopt where the old
// conversion raised an error, so the field keeps its value.
std::optional<bool> toBoolean(const QString& text)
{
    const QString t = vb::trim(text);
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const auto n = vb::toNumber(t))
        return *n != 0;
    return std::nullopt;
}

std::optional<int16_t> toInteger(const QString& text)
{
    if (const auto n = vb::toNumber(text))
        return vb::toInt16(*n);
    return std::nullopt;
}

std::optional<int32_t> toLong(const QString& text)
{
    if (const auto n = vb::toNumber(text))
        return vb::toInt32(*n);
    return std::nullopt;
}

std::optional<uint8_t> toByte(const QString& text)
{
    const auto n = vb::toNumber(text);
    if (!n)
        return std::nullopt;
    const double r = vb::roundHalfEven(*n);
    if (!(r >= 0 && r <= 255))
        return std::nullopt;
    return static_cast<uint8_t>(r);
}

std::optional<float> toSingle(const QString& text)
{
    const auto n = vb::toNumber(text);
    if (!n || !std::isfinite(*n) || std::fabs(*n) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(*n);
}

// A fixed-length string field takes the first characters and is padded with
// blanks.
QString fixedLength(const QString& text, int length)
{
    return text.left(length).leftJustified(length, QLatin1Char(' '));
}

template <typename T, typename Convert>
void load(T& field, const QString& name, const QString& defaultValue, Convert convert)
{
    if (const auto v = convert(read(name, defaultValue)))
        field = static_cast<T>(*v);
}

void loadFlag(int16_t& field, const QString& name, const QString& defaultValue)
{
    if (const auto v = toBoolean(read(name, defaultValue)))
        field = *v ? -1 : 0;
}

QString singleText(float value)
{
    return QString::number(static_cast<double>(value), 'g', 7);
}

} // namespace

void LoadMainSettings(MainSettings& s)
{
    loadFlag(s.DisplayFlags[0], QStringLiteral("DIS_TOOLBAR1"), QStringLiteral("True"));
    loadFlag(s.DisplayFlags[1], QStringLiteral("DIS_TOOLBAR2"), QStringLiteral("True"));
    loadFlag(s.DisplayFlags[2], QStringLiteral("DIS_PLAYLIST"), QStringLiteral("False"));
    loadFlag(s.DisplayFlags[3], QStringLiteral("DIS_TABCTBAR"), QStringLiteral("True"));
    loadFlag(s.DisplayFlags[6], QStringLiteral("DIS_MENUBAR1"), QStringLiteral("True"));
    loadFlag(s.DisplayFlags[7], QStringLiteral("DIS_MENUBAR2"), QStringLiteral("False"));
    loadFlag(s.DisplayFlags[8], QStringLiteral("DIS_COLORBAR"), QStringLiteral("False"));
    loadFlag(s.DisplayFlags[4], QStringLiteral("DIS_IMAGEINF"), QStringLiteral("True"));
    s.DisplayFlags[10] = s.DisplayFlags[2];

    load(s.ShownListKind, QStringLiteral("LASTPLAYLIST"), QStringLiteral("1"), toInteger);
    load(s.VolumeFraction[1], QStringLiteral("VolumePosP1"), QStringLiteral("0.5"), toSingle);
    load(s.VolumeFraction[2], QStringLiteral("VolumePosP2"), QStringLiteral("0.5"), toSingle);
    s.CollectionFormat = fixedLength(read(QStringLiteral("OPT_COLLECTIONFORMAT"), QStringLiteral("111111")), 6);
    load(s.CollectionFilter, QStringLiteral("OPT_COLLECTIONFILTER"), QStringLiteral("1"), toByte);
    load(s.FavoritesSortOrder, QStringLiteral("OPT_FAVORITESSORTORDER"), QStringLiteral("0"), toByte);
    loadFlag(s.FavoritesFolderFirst, QStringLiteral("OPT_FAVORITESFOLDER1ST"), QStringLiteral("True"));
    load(s.PopupControlMode, QStringLiteral("OPT_POPUPCONTROL"), QStringLiteral("0"), toByte);
    loadFlag(s.ClosedTabRingEnabled, kClosedTabRingSetting, QStringLiteral("True"));

    s.GeneralOptionBytes[OptRunOneInstanceOnly] = RunOneInstanceFlag;
    load(s.GeneralOptionBytes[OptDisableScriptError], QStringLiteral("DISABLESCRIPTERROR"), QStringLiteral("1"), toByte);
    load(s.GeneralOptionBytes[OptUseTxtAutoComplete], QStringLiteral("USETXTAUTOCOMPLETE"), QStringLiteral("0"), toByte);
    load(s.GeneralOptionBytes[OptGroupLoadOnStartup], QStringLiteral("GROUPLOADONSTARTUP"), QStringLiteral("0"), toByte);
    load(s.GeneralOptionBytes[OptRememberLastFolder], QStringLiteral("REMEMBERLASTFOLDER"), QStringLiteral("1"), toByte);
    load(s.GeneralOptionBytes[OptOpenLinkWithNewTab], QStringLiteral("OPENLINKWITHNEWTAB"), QStringLiteral("1"), toByte);
    load(s.GeneralOptionBytes[OptMouseGesturesInUse], QStringLiteral("MOUSEGESTURESINUSE"), QStringLiteral("1"), toByte);
    load(s.UnreachableTimeout, QStringLiteral("UNREACHABLETIMEOUT"), QStringLiteral("5"), toInteger);

    for (int i = 1; i <= 8; ++i)
        s.LastFolders[i] = read(QStringLiteral("LASTFOLDER") + QString::number(i), QString());
    for (int kind = 3; kind <= 5; ++kind)
        load(s.ListDelayTime[kind], QStringLiteral("Z5_DELAYTIME") + QString::number(kind), QStringLiteral("1"), toSingle);

    loadFlag(s.DisplayFlags[5], QStringLiteral("DIS_MAXIMIZE"), QStringLiteral("True"));
    // Window coordinates are 32-bit: a window wider or taller than 32767
    // twips must come back as it was.
    load(s.NormalWindowRect.Top, QStringLiteral("WIN_T"), QStringLiteral("0"), toLong);
    load(s.NormalWindowRect.Left, QStringLiteral("WIN_L"), QStringLiteral("0"), toLong);
    load(s.NormalWindowRect.Height, QStringLiteral("WIN_H"), QStringLiteral("0"), toLong);
    load(s.NormalWindowRect.Width, QStringLiteral("WIN_W"), QStringLiteral("0"), toLong);

    for (int i = 0; i <= 11; ++i) {
        const QString name = QStringLiteral("F") + QString::number(i + 1);
        if (i != 4) {
            s.KeyMap[i] = ReadSetting(HiveCurrentUser, kSettingsApp, kKeyBoardSection, name, QStringLiteral("|3|"));
            continue;
        }
        s.KeyMap[i] = ReadSetting(HiveCurrentUser, kSettingsApp, kKeyBoardSection, name, QString());
        if (s.KeyMap[i].isEmpty()) {
            s.KeyMap[i] = QStringLiteral("|0|17|");
            SaveSetting(HiveCurrentUser, kSettingsApp, kKeyBoardSection, name, s.KeyMap[i]);
        }
    }
}

void SaveMainSettings(MainSettings& s, const WindowRectTwips& currentWindow)
{
    save(QStringLiteral("LASTPLAYLIST"), QString::number(s.ShownListKind));
    save(QStringLiteral("VolumePosP1"), singleText(s.VolumeFraction[1]));
    save(QStringLiteral("VolumePosP2"), singleText(s.VolumeFraction[2]));
    save(QStringLiteral("OPT_COLLECTIONFORMAT"), fixedLength(s.CollectionFormat, 6));
    save(QStringLiteral("OPT_COLLECTIONFILTER"), QString::number(s.CollectionFilter));
    if (s.GeneralOptionBytes[OptRememberLastFolder] == 0)
        for (int i = 1; i <= 8; ++i)
            s.LastFolders[i].clear();
    for (int i = 1; i <= 8; ++i)
        save(QStringLiteral("LASTFOLDER") + QString::number(i), s.LastFolders[i]);
    for (int kind = 3; kind <= 5; ++kind)
        save(QStringLiteral("Z5_DELAYTIME") + QString::number(kind), singleText(s.ListDelayTime[kind]));
    save(QStringLiteral("DIS_MAXIMIZE"), s.DisplayFlags[5] != 0 ? QStringLiteral("True") : QStringLiteral("False"));
    save(QStringLiteral("WIN_T"), QString::number(currentWindow.Top));
    save(QStringLiteral("WIN_L"), QString::number(currentWindow.Left));
    save(QStringLiteral("WIN_H"), QString::number(currentWindow.Height));
    save(QStringLiteral("WIN_W"), QString::number(currentWindow.Width));

    if (IsDefaultBrowser())
        MakeDefaultBrowser();
}

void RunCleanupRemovals(const QString& digits)
{
    auto on = [&digits](int16_t position) { return GetOptionDigit(digits, position) == int16_t{1}; };
    if (on(2)) {
        DeleteTemporaryInternetFiles();
        if (on(3))
            DeleteCookieEntries();
    }
    if (on(4))
        ClearTypedUrls();
    if (on(5))
        DeleteHistoryEntries();
    if (on(6))
        ClearTempFolder();
}

void RunExitCleanup()
{
    const QString flags = read(QStringLiteral("OPT_CLEANUP"), QStringLiteral("000000"));
    if (GetOptionDigit(flags, 1) == int16_t{1})
        RunCleanupRemovals(flags);
}
