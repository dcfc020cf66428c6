#include "skinremoval/module1.h"

#include "core/settingsstore.h"
#include "core/skinbinding.h"
#include "platform/base/com.h"
#include "platform/base/paths.h"
#include "platform/base/profile.h"
#include "platform/win/twips.h"
#include "skinlib/art/skinart.h"
#include "skinremoval/frmremoval.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <dlfcn.h>

QString RemovalAppPath;
QString RemovalLanguagePath;
QString CurrentSkinName;
float RemovalScale = 1.0f;
std::unique_ptr<frmRemoval> RemovalWindow;

namespace {

constexpr int kLanguageTextMax = 2047;

const QPixmap& toolPicture(const QString& type, int id)
{
    static QHash<QString, QPixmap> cache;
    const QString key = type + QLatin1Char(':') + QString::number(id);
    auto it = cache.find(key);
    if (it == cache.end()) {
        const auto img = skinart::drawRemovalToolResource(type, id);
        it = cache.insert(key, img ? QPixmap::fromImage(*img) : QPixmap());
    }
    return *it;
}

} // namespace

void RemovalMain()
{
    RemovalScale = float(platform::forms::twipsPerPixelX()) / 15.0f;
    RemovalAppPath = ReadZ5Setting(HiveLocalMachine, QStringLiteral("Z5_APPLICATIONPATH"), QString());
    const QString language = ReadZ5Setting(HiveCurrentUser, QStringLiteral("Z5_LANGUAGE"), QStringLiteral("English"));
    RemovalLanguagePath = RemovalAppPath + QStringLiteral("\\Language\\") + language + QStringLiteral(".ini");
    CurrentSkinName = ReadZ5Setting(HiveCurrentUser, QStringLiteral("Z5_SKINNAME"), QStringLiteral("Morvane 1"));
    RemovalWindow = std::make_unique<frmRemoval>();
    RemovalWindow->show();
}

QString ReadLanguageString(const QString& section, const QString& key, const QString& englishDefault)
{
    const QString text = platform::profile::readString(platform::paths::toLocal(RemovalLanguagePath), section, key,
                                                       englishDefault);
    return text.left(kLanguageTextMax);
}

QString SkinNameOfFile(const QString& fileName)
{
    return fileName.mid(3, fileName.size() - 7).replace(QLatin1Char('_'), QLatin1Char(' '));
}

QString SkinFileOfName(const QString& skinName)
{
    return QStringLiteral("SK_") + QString(skinName).replace(QLatin1Char(' '), QLatin1Char('_')) + QStringLiteral(".dll");
}

int16_t CallDllRegistration(const QString& path, int32_t mode)
{
    using platform::com::RegistrationEntry;
    using platform::com::RegistrationStatus;
    if (mode != 1 && mode != 2)
        return RegistrationNoEntry;
    const auto r = platform::com::runServerEntryWaiting(platform::paths::toLocal(path),
                                                        mode == 1 ? RegistrationEntry::Register
                                                                  : RegistrationEntry::Unregister,
                                                        std::chrono::milliseconds(kRegistrationWaitMs));
    switch (r.status) {
    case RegistrationStatus::Done:
    case RegistrationStatus::Failed:
        return RegistrationRan;
    case RegistrationStatus::NotLoaded:
        return RegistrationNotLoaded;
    case RegistrationStatus::NoEntryPoint:
        return RegistrationNoEntry;
    case RegistrationStatus::TimedOut:
    case RegistrationStatus::NoThread:
        return RegistrationNotEnded;
    }
    return RegistrationNotEnded;
}

bool LibraryMeetsSkinInUse(const QString& localPath)
{
    const QString clsid = platform::com::classIdOf(SkinProgId(CurrentSkinName));
    if (clsid.isEmpty())
        return false;
    const QFileInfo candidate(localPath);
    const QFileInfo bound(platform::com::serverLibraryOf(clsid));
    if (bound.exists() && candidate.canonicalFilePath() == bound.canonicalFilePath())
        return true;
    // The binding asks the registered library for the class; a library that
    // serves that class unregisters that class's keys.
    void* handle = ::dlopen(QFile::encodeName(localPath).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return false;
    bool serves = false;
    if (auto getClassObject = reinterpret_cast<platform::com::GetClassObjectFn>(::dlsym(handle, "DllGetClassObject"))) {
        QObject* object = nullptr;
        const QByteArray id = clsid.toLatin1();
        serves = getClassObject(id.constData(), &object) == platform::com::Ok && object;
        delete object;
    }
    // The library stays loaded: an object of it has just lived in this process.
    return serves;
}

const QPixmap& RemovalBitmap(int id)
{
    return toolPicture(QStringLiteral("BITMAP"), id);
}

const QPixmap& RemovalIcon()
{
    return toolPicture(QStringLiteral("ICON"), 1);
}
