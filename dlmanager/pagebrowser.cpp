#include "dlmanager/pagebrowser.h"

#include <QCoreApplication>
#include <QFile>

#include <dlfcn.h>

namespace {

bool moduleLoaded = false;

} // namespace

QString DefaultPageBrowserModule()
{
    // The program lives in Tool/, the shared libraries one folder up.
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../libz5dlpages.so");
}

std::unique_ptr<PageBrowser> LoadPageBrowser(const QString& modulePath, const PageBrowser::Settings& settings,
                                             QString* error)
{
    // The module stays loaded for the rest of the process: the engine it
    // starts cannot be unloaded.
    void* handle = ::dlopen(QFile::encodeName(modulePath).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (error)
            *error = QString::fromLocal8Bit(::dlerror());
        return nullptr;
    }
    moduleLoaded = true;
    auto create = reinterpret_cast<CreatePageBrowserFunction>(::dlsym(handle, kCreatePageBrowserSymbol));
    if (!create) {
        if (error)
            *error = QStringLiteral("the browser module has no entry point");
        return nullptr;
    }
    return std::unique_ptr<PageBrowser>(create(&settings));
}

bool PageBrowserLoaded()
{
    return moduleLoaded;
}
