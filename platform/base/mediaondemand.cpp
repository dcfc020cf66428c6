#include "platform/base/mediaondemand.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

namespace platform::media {

namespace {

// The folder of the library holding this code: the program's own libraries
// lie together there.
QString ownLibraryFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&ownLibraryFolder), &info) == 0 || !info.dli_fname)
        return QString();
    return QFileInfo(QFile::decodeName(info.dli_fname)).absolutePath();
}

} // namespace

MediaOnDemand::MediaOnDemand(QString libraryPath) : path_(std::move(libraryPath))
{
    if (path_.isEmpty())
        path_ = ownLibraryFolder() + QLatin1Char('/') + QLatin1String(kMediaLayerLibrary);
}

MediaOnDemand::~MediaOnDemand() = default;

bool MediaOnDemand::load()
{
    if (tried_)
        return loaded();
    tried_ = true;
    dlerror();
    // The library stays for the life of the process: its players, plugins
    // and type registrations may outlive any one object of it.
    void* handle = dlopen(QFile::encodeName(path_).constData(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    auto make = handle ? reinterpret_cast<MakeMediaLayerFn>(dlsym(handle, kMakeMediaLayerEntry)) : nullptr;
    if (make)
        make(&layer_);
    if (!layer_.mci || !layer_.mixer) {
        const char* detail = dlerror();
        error_ = path_ + QStringLiteral(": ")
                 + (detail ? QString::fromLocal8Bit(detail) : QStringLiteral("no media layer in the library"));
        layer_ = MediaLayer{};
        qWarning().noquote() << "media layer not loaded:" << error_;
        return false;
    }
    return true;
}

int MediaOnDemand::Interpreter::sendString(const QString& command, QString* reply)
{
    if (reply)
        reply->clear();
    if (!owner_.loaded() && command.simplified().compare(QLatin1String("close all"), Qt::CaseInsensitive) == 0)
        return MciOk;
    if (!owner_.load())
        return MciCannotOpen;
    return owner_.layer_.mci->sendString(command, reply);
}

bool MediaOnDemand::Volume::range(int32_t& minimum, int32_t& maximum)
{
    return owner_.load() && owner_.layer_.mixer->range(minimum, maximum);
}

bool MediaOnDemand::Volume::get(int32_t& value)
{
    return owner_.load() && owner_.layer_.mixer->get(value);
}

bool MediaOnDemand::Volume::set(int32_t value)
{
    return owner_.load() && owner_.layer_.mixer->set(value);
}

} // namespace platform::media
