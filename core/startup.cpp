#include "core/startup.h"

#include "core/globals.h"
#include "core/language.h"
#include "core/settingsstore.h"
#include "core/connection.h"
#include "core/contentfilter.h"
#include "core/messagebox.h"
#include "core/registration.h"
#include "core/shellnames.h"
#include "platform/base/commandline.h"
#include "platform/base/instance.h"
#include "platform/base/paths.h"
#include "platform/base/textfile.h"
#include "platform/base/vbrt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QScreen>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A freshly installed filter list larger than this is not taken.
constexpr qint64 kMaxFreshListBytes = 64 * 1024 * 1024;
// The shipped font is copied only up to this size.
constexpr qint64 kMaxFontBytes = 64 * 1024 * 1024;

std::function<bool()>& mainWindowLoader()
{
    static std::function<bool()> loader;
    return loader;
}

int32_t screenTwipsPerPixel(bool horizontal)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 15;
    const double dpi = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    if (dpi <= 0)
        return 15;
    return vb::toInt32(1440.0 / dpi).value_or(15);
}

void showStartupMessage(const QString& text)
{
    ShowMessage(text, 1, 0);
}

// The skin named, when its library file is in the skin folder.
bool skinLibraryExists(const QString& skinName)
{
    QString name = skinName;
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    return QFileInfo::exists(platform::paths::programPath(QStringLiteral("\\Skin\\SK_") + name + QStringLiteral(".dll")));
}

QString firstSkinFound()
{
    QDir dir(platform::paths::programPath(QStringLiteral("\\Skin")));
    dir.setNameFilters({QStringLiteral("SK_*.dll")});
    dir.setFilter(QDir::Files);
    dir.setSorting(QDir::Unsorted);
    const QStringList files = dir.entryList();
    return files.isEmpty() ? QString() : files.first();
}

} // namespace

void SetMainWindowLoader(std::function<bool()> loader)
{
    mainWindowLoader() = std::move(loader);
}

int WriteHandOffFileAt(int folder, const QString& commandLine)
{
    QString line = commandLine;
    line.remove(QLatin1Char('"'));
    const QByteArray bytes = line.toUtf8() + "\r\n";
    const QByteArray tmpName = ".handoff-" + QByteArray::number(::getpid()) + '-'
                               + QByteArray::number(QRandomGenerator::global()->generate());
    const int fd = ::openat(folder, tmpName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return 0;
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += n;
    }
    const bool ok = written == bytes.size() && ::fsync(fd) == 0;
    ::close(fd);
    int number = 0;
    if (ok) {
        // linkat() refuses an existing name: two starts never share a number.
        for (int n = 1; n <= kHandOffNumbers; ++n) {
            if (::linkat(folder, tmpName.constData(), folder, QByteArray::number(n).constData(), 0) == 0) {
                number = n;
                break;
            }
            if (errno != EEXIST)
                break;
        }
    }
    ::unlinkat(folder, tmpName.constData(), 0);
    return number;
}

int HandOffToRunningInstance(const QString& commandLine)
{
    const int folder = platform::paths::openPrivateSubfolder(kHandOffFolderName);
    if (folder < 0)
        return 0;
    const int number = WriteHandOffFileAt(folder, commandLine);
    ::close(folder);
    return number;
}

int WriteHandOffFile(const QString& folder, const QString& commandLine)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return 0;
    const int number = WriteHandOffFileAt(fd, commandLine);
    ::close(fd);
    return number;
}

bool StartupChecks()
{
    // 1. The language file.
    LanguageName = ReadZ5Setting(HiveCurrentUser, QStringLiteral("Z5_LANGUAGE"), QStringLiteral("English"));
    LanguageFilePath = platform::paths::programPath(QStringLiteral("\\Language\\") + LanguageName + QStringLiteral(".ini"));

    // 2.-5. The content-filter data file against its recorded length.
    QString message = GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9003"),
                                    QStringLiteral("A required file - Z51.DAT - is missing or corrupted"));
    // A fresh list for the user waits beside his list, as "Z5.DAT".
    const QString freshList = platform::registry::storeFolder() + QStringLiteral("/Z5.DAT");
    const QString filterFile = FilterDataFilePath();
    if (QFileInfo::exists(freshList)) {
        // Replaced atomically: a failed copy leaves the old list in place,
        // and like any failure of the check it ends the start.
        const auto bytes = platform::textfile::readAll(freshList, kMaxFreshListBytes);
        if (!bytes || !platform::textfile::writePrivateAtomically(filterFile, *bytes) || !QFile::remove(freshList)) {
            showStartupMessage(message);
            return false;
        }
        SaveZ5Setting(HiveLocalMachine, StartupCodeSetting, QString::number(InitialStartupCode));
    }
    FilterList.clear();
    switch (CheckFilterData()) {
    case FilterDataCheck::Passes:
        break;
    case FilterDataCheck::CodeMissing:
        // The file holds a saved list; what is gone is its recorded length.
        showStartupMessage(GetLangString(
            QStringLiteral("MESSAGE"), QStringLiteral("9002"),
            QStringLiteral("The length recorded for Z51.DAT - Z5_STARTUPCODE - is missing from the machine settings")));
        return false;
    case FilterDataCheck::FileWrong:
        showStartupMessage(message);
        return false;
    }

    // 6. The skin library, with its fall-backs.
    SkinName = ReadZ5Setting(HiveCurrentUser, QStringLiteral("Z5_SKINNAME"), QStringLiteral("Morvane 1"));
    message = GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9004"), QStringLiteral("SKIN FILE is missing or corrupted"));
    if (!skinLibraryExists(SkinName)) {
        if (SkinName == QLatin1String("Morvane 1")) {
            showStartupMessage(message);
            return false;
        }
        SkinName = QStringLiteral("Morvane 1");
        if (!skinLibraryExists(SkinName)) {
            const QString found = firstSkinFound();
            if (found.isEmpty()) {
                showStartupMessage(message);
                return false;
            }
            SkinName = found.left(found.size() - 4).mid(3).replace(QLatin1Char('_'), QLatin1Char(' '));
        }
    }

    // 7.-8. The font.
    message = GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9005"),
                            QStringLiteral("A required True Type Font - Microsoft Sans Serif (MICROSS.TTF) - is missing"));
    const QString fonts = GetSpecialFolder(6);
    if (!fonts.isEmpty() && QFileInfo::exists(platform::paths::toLocal(fonts + QStringLiteral("\\MICROSS.TTF"))))
        return true;
    const QString shipped = platform::paths::programPath(QStringLiteral("\\Common\\MICROSS.TTF"));
    if (QFileInfo::exists(shipped) && !fonts.isEmpty()) {
        // Copied whole or not at all, so a half-written font never passes
        // the next start's check. A copy that fails is the check's failure.
        const auto bytes = platform::textfile::readAll(shipped, kMaxFontBytes);
        if (bytes && QDir().mkpath(platform::paths::toLocal(fonts))
            && platform::textfile::writeAtomically(platform::paths::toLocal(fonts + QStringLiteral("\\MICROSS.TTF")),
                                                   *bytes))
            return false;
    }
    showStartupMessage(message);
    return false;
}

bool modExplorer_Main()
{
    // 1. First run of this release: store the folder and the release code,
    //    register the file types.
    if (ReadZ5Setting(HiveLocalMachine, QStringLiteral("Z5_APPRELEASEDCODE"), QString()) != kAppReleasedCode) {
        SaveZ5Setting(HiveLocalMachine, QStringLiteral("Z5_APPLICATIONPATH"),
                      platform::paths::toProduct(platform::paths::programFolder()));
        SaveZ5Setting(HiveLocalMachine, QStringLiteral("Z5_APPRELEASEDCODE"), kAppReleasedCode);
        RegisterFileTypes();
    }

    // 2. The screen scale.
    TwipsPerPixelXValue = screenTwipsPerPixel(true);
    TwipsPerPixelYValue = screenTwipsPerPixel(false);
    TwipsScale = static_cast<float>(TwipsPerPixelXValue) / 15.0f;

    // 3. One instance only?
    const QString oneInstance = ReadZ5Setting(HiveCurrentUser, QStringLiteral("RUNONEINSTANCEONLY"), QStringLiteral("0"));
    if (const auto n = vb::toNumber(oneInstance); n && *n >= -0.5 && *n < 255.5)
        RunOneInstanceFlag = static_cast<uint8_t>(vb::roundHalfEven(*n));

    // 4. The hand-off folder, made inside the private folder and opened
    //    there, so that what is written lands in it whatever its name leads to.
    const QString temp = GetTempFolder();
    HandOffFolder = temp.isEmpty() ? QString() : temp + QLatin1Char('\\') + kHandOffFolderName;
    if (const int handOff = HandOffFolder.isEmpty() ? -1 : platform::paths::openPrivateSubfolder(kHandOffFolderName);
        handOff >= 0)
        ::close(handOff);

    // 5. Hand the argument to the instance that runs, and end. When it
    //    cannot be handed over, this start opens it itself.
    const bool previousInstance = platform::instance::previousInstanceRunning(QStringLiteral("Z5"));
    const QString commandLine = platform::commandline::text();
    if (!vb::trim(commandLine).isEmpty() && RunOneInstanceFlag == 1 && previousInstance) {
        if (HandOffToRunningInstance(commandLine) > 0)
            return false;
        std::fprintf(stderr, "Z5: the address could not be handed to the running window; it opens here\n");
    }

    // 6.-8. Required files, the filter list, the proxy.
    if (!StartupChecks())
        return false;
    FilterList = ReadFilterList();
    ApplyProxySettings();

    // 9. The main window.
    return mainWindowLoader() ? mainWindowLoader()() : false;
}
