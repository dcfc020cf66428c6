#pragma once

// Objects created by programmatic identifier (ProgID) and called by method
// name, served by in-process server libraries.
//
// Registration lives in the classes root of the registry:
//   <ProgID>                         default: the ProgID
//   <ProgID>\CLSID                   default: the class identifier "{...}"
//   CLSID\{...}                      default: the ProgID
//   CLSID\{...}\ProgID               default: the ProgID
//   CLSID\{...}\InprocServer32       default: the library's absolute path
//
// A server library is a shared object that exports, with C linkage:
//   int32_t DllRegisterServer(void);    writes its keys, 0 on success
//   int32_t DllUnregisterServer(void);  removes exactly those keys, 0 on success
//   int32_t DllGetClassObject(const char* clsid, QObject** object);
//       a new object of the class (the caller owns it), 0 on success,
//       ClassNotAvailable for a class it does not serve
//   int32_t DllCanUnloadNow(void);      0 when no object of it is alive
//
// An object is a QObject whose Q_INVOKABLE methods are its methods; they are
// found by name without regard to case and their arguments are converted to
// the parameter types. A method reports a failure with raise() and returns;
// the caller then gets that error instead of the value. Nothing throws.

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

// Marks a server library's entry points, so that they leave a library built
// with hidden symbols.
#define PLATFORM_COM_ENTRY extern "C" __attribute__((visibility("default")))

namespace platform::com {

// Result codes of the entry points.
inline constexpr int32_t Ok = 0;
inline constexpr int32_t StillInUse = 1; // DllCanUnloadNow: objects are alive
inline constexpr int32_t Fail = int32_t(0x80004005u);
inline constexpr int32_t ClassNotAvailable = int32_t(0x80040111u);
inline constexpr int32_t RegistrationFailed = int32_t(0x80040201u);

using RegisterServerFn = int32_t (*)();
using GetClassObjectFn = int32_t (*)(const char* clsid, QObject** object);
using CanUnloadNowFn = int32_t (*)();

// Error numbers the caller sees, as the old runtime numbered them.
inline constexpr int32_t ErrTypeMismatch = 13;
inline constexpr int32_t ErrObjectNotSet = 91;
inline constexpr int32_t ErrResourceNotFound = 326;
inline constexpr int32_t ErrCannotCreateObject = 429;
inline constexpr int32_t ErrNoSuchMethod = 438;
inline constexpr int32_t ErrWrongArgumentCount = 450;

struct Error {
    int32_t number = 0;
    QString description;
};

// Servers: reports the failure of the method being called on object.
inline void raise(QObject* object, int32_t number, const QString& description)
{
    object->setProperty("_comErrorNumber", number);
    object->setProperty("_comErrorDescription", description);
}

struct CallResult {
    bool ok = false;
    QVariant value; // the method's return value; invalid for a void method
    Error error;    // when !ok
};

// A created object. Copies share it; the last copy deletes it. The server
// library stays loaded for the rest of the process.
class Object {
public:
    Object() = default;
    bool isNull() const { return !object_; }
    QString progId() const { return progId_; }
    QObject* qobject() const { return object_.get(); }

    // Calls the method of that name. Never throws.
    CallResult call(const QString& method, const QVariantList& args = {}) const;

private:
    friend std::optional<Object> createObject(const QString&, Error*);
    std::shared_ptr<QObject> object_;
    QString progId_;
};

// Finds the class of progId in the classes root, loads its library and
// creates an object. nullopt with error (429, and what went wrong) when any
// step fails.
std::optional<Object> createObject(const QString& progId, Error* error = nullptr);

// The registered class identifier and library of a ProgID ("" when absent).
QString classIdOf(const QString& progId);
QString serverLibraryOf(const QString& clsid);

// --- Running a library's own registration (installers, tools) -------------

enum class RegistrationStatus {
    Done,         // the entry point ran and returned Ok
    NotLoaded,    // the library could not be loaded
    NoEntryPoint, // it has no such export
    Failed,       // the entry point returned a failure code
    TimedOut,     // it did not end within the wait: its thread is left running
                  // and the library is never closed
    NoThread,     // no thread could be started for it; the library was closed
};

struct RegistrationResult {
    RegistrationStatus status = RegistrationStatus::NotLoaded;
    int32_t code = 0; // the entry point's result code
    QString detail;   // the loader's message when not loaded
};

// Loads the library, runs its DllRegisterServer or DllUnregisterServer and
// unloads it again.
RegistrationResult registerServer(const QString& libraryPath);
RegistrationResult unregisterServer(const QString& libraryPath);

enum class RegistrationEntry { Register, Unregister };

// Loads the library and runs DllRegisterServer or DllUnregisterServer on a
// thread of its own, waiting at most `wait` for it. An entry point that ends
// in time leaves Done or Failed with its code and the library is closed; one
// that does not is TimedOut: its thread runs on and its library stays loaded
// for the rest of the process, as code of it may still be running.
RegistrationResult runServerEntryWaiting(const QString& libraryPath, RegistrationEntry entry,
                                         std::chrono::milliseconds wait);

// --- Server side ------------------------------------------------------------

struct ClassRegistration {
    QString progId;
    QString clsid; // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
};

// The absolute path of the shared object that holds address (a function or
// variable of the calling library); "" when it cannot be told.
QString libraryPathOf(const void* address);

// Writes the keys of the class with libraryPath as its in-process server.
bool registerClass(const ClassRegistration& cls, const QString& libraryPath);
// Removes the keys registerClass writes, and nothing else: a key that holds
// other sub-keys than ours is kept.
bool unregisterClass(const ClassRegistration& cls);

} // namespace platform::com
