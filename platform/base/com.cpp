#include "platform/base/com.h"

#include "platform/base/registry.h"

#include <QByteArrayList>
#include <QFileInfo>
#include <QHash>
#include <QMetaMethod>
#include <QMetaObject>

#include <condition_variable>
#include <mutex>

#include <dlfcn.h>
#include <pthread.h>

namespace platform::com {

namespace {

using registry::Hive;

const Hive kRoot = Hive::ClassesRoot;

QString clsidKey(const QString& clsid) { return QStringLiteral("CLSID\\") + clsid; }

QString defaultString(const QString& key)
{
    const auto v = registry::readValue(kRoot, key, QString());
    if (!v || (v->type != registry::ValueType::String && v->type != registry::ValueType::ExpandString))
        return QString();
    return v->text;
}

QString dlErrorText()
{
    const char* e = dlerror();
    return e ? QString::fromLocal8Bit(e) : QString();
}

// Libraries loaded for objects stay loaded for the life of the process, as
// objects of them may be alive anywhere.
void* loadServerLibrary(const QString& path, QString* detail)
{
    static QHash<QString, void*> loaded;
    if (!QFileInfo(path).isFile()) {
        if (detail)
            *detail = QStringLiteral("file not found: ") + path;
        return nullptr;
    }
    if (void* handle = loaded.value(path))
        return handle;
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (detail)
            *detail = dlErrorText();
        return nullptr;
    }
    loaded.insert(path, handle);
    return handle;
}

Error makeError(int32_t number, const QString& description) { return Error{number, description}; }

std::optional<QMetaMethod> findMethod(const QMetaObject* meta, const QString& name, int argCount, bool* nameFound)
{
    *nameFound = false;
    for (int i = QObject::staticMetaObject.methodCount(); i < meta->methodCount(); ++i) {
        const QMetaMethod m = meta->method(i);
        if (m.methodType() != QMetaMethod::Method || m.access() != QMetaMethod::Public)
            continue;
        if (QString::fromLatin1(m.name()).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        *nameFound = true;
        if (m.parameterCount() == argCount)
            return m;
    }
    return std::nullopt;
}

// Opens a library for one of its registration entry points. The library
// stays mapped after it is closed: its entry point may have left data of its
// own (string literals, type registrations) in state of the process's shared
// libraries, such as the registry's cache. nullptr with result filled in
// when the library does not load or has no such entry.
RegisterServerFn openRegistrationEntry(const QString& libraryPath, const char* entry, void** handle,
                                       RegistrationResult* result)
{
    const QString path = QFileInfo(libraryPath).absoluteFilePath();
    dlerror();
    *handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!*handle) {
        result->status = RegistrationStatus::NotLoaded;
        result->detail = dlErrorText();
        return nullptr;
    }
    auto fn = reinterpret_cast<RegisterServerFn>(dlsym(*handle, entry));
    if (!fn) {
        result->status = RegistrationStatus::NoEntryPoint;
        dlclose(*handle);
        *handle = nullptr;
    }
    return fn;
}

void takeCode(RegistrationResult* result, int32_t code)
{
    result->code = code;
    result->status = code == Ok ? RegistrationStatus::Done : RegistrationStatus::Failed;
}

RegistrationResult runRegistration(const QString& libraryPath, const char* entry)
{
    RegistrationResult result;
    void* handle = nullptr;
    const RegisterServerFn fn = openRegistrationEntry(libraryPath, entry, &handle, &result);
    if (!fn)
        return result;
    takeCode(&result, fn());
    dlclose(handle);
    return result;
}

// What an entry point's thread shares with the thread that waits for it. The
// last of the two to let go of it frees it, so a thread left running after
// the wait never touches freed memory.
struct EntryRun {
    RegisterServerFn fn = nullptr;
    std::mutex lock;
    std::condition_variable ended;
    bool done = false;
    int32_t code = 0;
};

void* runEntryThread(void* arg)
{
    std::shared_ptr<EntryRun> run = std::move(*static_cast<std::shared_ptr<EntryRun>*>(arg));
    delete static_cast<std::shared_ptr<EntryRun>*>(arg);
    const int32_t code = run->fn();
    {
        std::lock_guard<std::mutex> hold(run->lock);
        run->code = code;
        run->done = true;
    }
    run->ended.notify_all();
    return nullptr;
}

// Starts fn on a detached thread; false when no thread could be made.
bool startEntryThread(const std::shared_ptr<EntryRun>& run)
{
    pthread_attr_t attr;
    if (pthread_attr_init(&attr) != 0)
        return false;
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    auto* arg = new std::shared_ptr<EntryRun>(run);
    pthread_t thread;
    const int rc = pthread_create(&thread, &attr, &runEntryThread, arg);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        delete arg;
        return false;
    }
    return true;
}

} // namespace

CallResult Object::call(const QString& method, const QVariantList& args) const
{
    CallResult result;
    if (!object_) {
        result.error = makeError(ErrObjectNotSet, QStringLiteral("Object variable or With block variable not set"));
        return result;
    }
    if (args.size() > 10) {
        result.error = makeError(ErrWrongArgumentCount, QStringLiteral("Wrong number of arguments"));
        return result;
    }
    bool nameFound = false;
    const auto m = findMethod(object_->metaObject(), method, int(args.size()), &nameFound);
    if (!m) {
        result.error = nameFound
            ? makeError(ErrWrongArgumentCount, QStringLiteral("Wrong number of arguments"))
            : makeError(ErrNoSuchMethod, QStringLiteral("Object doesn't support this property or method"));
        return result;
    }

    QVariantList converted = args;
    QByteArrayList typeNames = m->parameterTypes();
    for (int i = 0; i < converted.size(); ++i) {
        const QMetaType want = m->parameterMetaType(i);
        if (want == QMetaType::fromType<QVariant>())
            continue;
        if (converted[i].metaType() != want && !converted[i].convert(want)) {
            result.error = makeError(ErrTypeMismatch, QStringLiteral("Type mismatch"));
            return result;
        }
    }

    QGenericArgument a[10];
    for (int i = 0; i < converted.size(); ++i) {
        const bool asVariant = m->parameterMetaType(i) == QMetaType::fromType<QVariant>();
        a[i] = QGenericArgument(typeNames[i].constData(),
                                asVariant ? static_cast<const void*>(&converted[i]) : converted[i].constData());
    }

    const QMetaType returnType = m->returnMetaType();
    QVariant ret;
    QGenericReturnArgument r;
    const QByteArray returnName = m->typeName();
    if (returnType == QMetaType::fromType<QVariant>()) {
        r = QGenericReturnArgument(returnName.constData(), &ret);
    } else if (returnType.isValid() && returnType.id() != QMetaType::Void) {
        ret = QVariant(returnType);
        r = QGenericReturnArgument(returnName.constData(), ret.data());
    }

    QObject* obj = object_.get();
    obj->setProperty("_comErrorNumber", QVariant());
    obj->setProperty("_comErrorDescription", QVariant());
    const bool invoked = m->invoke(obj, Qt::DirectConnection, r, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7],
                                   a[8], a[9]);
    const QVariant errNumber = obj->property("_comErrorNumber");
    if (errNumber.isValid()) {
        result.error = makeError(errNumber.toInt(), obj->property("_comErrorDescription").toString());
        obj->setProperty("_comErrorNumber", QVariant());
        obj->setProperty("_comErrorDescription", QVariant());
        return result;
    }
    if (!invoked) {
        result.error = makeError(ErrNoSuchMethod, QStringLiteral("Object doesn't support this property or method"));
        return result;
    }
    result.ok = true;
    result.value = ret;
    return result;
}

QString classIdOf(const QString& progId)
{
    if (progId.isEmpty())
        return QString();
    return defaultString(progId + QStringLiteral("\\CLSID"));
}

QString serverLibraryOf(const QString& clsid)
{
    if (clsid.isEmpty())
        return QString();
    return defaultString(clsidKey(clsid) + QStringLiteral("\\InprocServer32"));
}

std::optional<Object> createObject(const QString& progId, Error* error)
{
    const auto fail = [&](const QString& why) -> std::optional<Object> {
        if (error)
            *error = makeError(ErrCannotCreateObject, QStringLiteral("ActiveX component can't create object: ") + why);
        return std::nullopt;
    };
    const QString clsid = classIdOf(progId);
    if (clsid.isEmpty())
        return fail(progId + QStringLiteral(" is not registered"));
    const QString library = serverLibraryOf(clsid);
    if (library.isEmpty())
        return fail(QStringLiteral("no server library registered for ") + clsid);
    QString detail;
    dlerror();
    void* handle = loadServerLibrary(library, &detail);
    if (!handle)
        return fail(detail.isEmpty() ? library : detail);
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(dlsym(handle, "DllGetClassObject"));
    if (!getClassObject)
        return fail(library + QStringLiteral(" has no DllGetClassObject"));
    QObject* raw = nullptr;
    const QByteArray clsidBytes = clsid.toLatin1();
    const int32_t hr = getClassObject(clsidBytes.constData(), &raw);
    if (hr != Ok || !raw) {
        delete raw;
        return fail(QStringLiteral("the library does not serve ") + clsid);
    }
    Object obj;
    obj.object_.reset(raw);
    obj.progId_ = progId;
    return obj;
}

RegistrationResult registerServer(const QString& libraryPath)
{
    return runRegistration(libraryPath, "DllRegisterServer");
}

RegistrationResult unregisterServer(const QString& libraryPath)
{
    return runRegistration(libraryPath, "DllUnregisterServer");
}

RegistrationResult runServerEntryWaiting(const QString& libraryPath, RegistrationEntry entry,
                                         std::chrono::milliseconds wait)
{
    RegistrationResult result;
    const char* name = entry == RegistrationEntry::Register ? "DllRegisterServer" : "DllUnregisterServer";
    void* handle = nullptr;
    auto run = std::make_shared<EntryRun>();
    run->fn = openRegistrationEntry(libraryPath, name, &handle, &result);
    if (!run->fn)
        return result;
    if (!startEntryThread(run)) {
        result.status = RegistrationStatus::NoThread;
        dlclose(handle);
        return result;
    }
    std::unique_lock<std::mutex> hold(run->lock);
    if (!run->ended.wait_for(hold, wait, [&] { return run->done; })) {
        // The thread runs on inside the library: it is neither stopped nor
        // closed, and its handle is let go on purpose.
        result.status = RegistrationStatus::TimedOut;
        return result;
    }
    takeCode(&result, run->code);
    hold.unlock();
    dlclose(handle);
    return result;
}

QString libraryPathOf(const void* address)
{
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fname)
        return QString();
    QFileInfo fi(QFile::decodeName(info.dli_fname));
    const QString canonical = fi.canonicalFilePath();
    return canonical.isEmpty() ? fi.absoluteFilePath() : canonical;
}

bool registerClass(const ClassRegistration& cls, const QString& libraryPath)
{
    if (cls.progId.isEmpty() || cls.clsid.isEmpty() || libraryPath.isEmpty())
        return false;
    const QString key = clsidKey(cls.clsid);
    const auto str = [](const QString& s) { return registry::Value::string(s); };
    return registry::writeValue(kRoot, cls.progId, QString(), str(cls.progId))
        && registry::writeValue(kRoot, cls.progId + QStringLiteral("\\CLSID"), QString(), str(cls.clsid))
        && registry::writeValue(kRoot, key, QString(), str(cls.progId))
        && registry::writeValue(kRoot, key + QStringLiteral("\\ProgID"), QString(), str(cls.progId))
        && registry::writeValue(kRoot, key + QStringLiteral("\\InprocServer32"), QString(), str(libraryPath))
        && registry::writeValue(kRoot, key + QStringLiteral("\\InprocServer32"), QStringLiteral("ThreadingModel"),
                                str(QStringLiteral("Apartment")));
}

bool unregisterClass(const ClassRegistration& cls)
{
    if (cls.progId.isEmpty() || cls.clsid.isEmpty())
        return false;
    const QString key = clsidKey(cls.clsid);
    // Children first; a key that still has sub-keys of someone else stays.
    const QString keys[] = {
        key + QStringLiteral("\\InprocServer32"),
        key + QStringLiteral("\\ProgID"),
        key,
        cls.progId + QStringLiteral("\\CLSID"),
        cls.progId,
    };
    bool ok = true;
    for (const QString& k : keys) {
        if (!registry::keyExists(kRoot, k) || !registry::subKeys(kRoot, k).value_or(QStringList()).isEmpty())
            continue;
        if (!registry::deleteKey(kRoot, k, false))
            ok = false;
    }
    // The CLSID folder itself goes only when nothing else is left in it.
    const auto rest = registry::subKeys(kRoot, QStringLiteral("CLSID"));
    const auto restValues = registry::values(kRoot, QStringLiteral("CLSID"));
    if (rest && rest->isEmpty() && restValues && restValues->isEmpty())
        registry::deleteKey(kRoot, QStringLiteral("CLSID"), false);
    return ok;
}

} // namespace platform::com
