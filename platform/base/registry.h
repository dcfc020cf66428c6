#pragma once

// The registry: hives of keys and typed values, kept as one text file per
// hive in the user's configuration folder and shared safely by every process
// of the user.
//
// - Key and value names are compared without regard to case and keep the
//   case they were created with. Key paths use "\" between names.
// - The classes root is the local machine's "SOFTWARE\Classes".
// - Every change is a locked read-modify-write of the hive file, written to a
//   temporary file (".tmp-<pid>") and renamed into place, so a crash leaves
//   either the previous or the new hive; a temporary left by a process that
//   is gone is removed by the next change. A read reloads a hive only when
//   its file changed on disk; keys and values are found by a logarithmic
//   lookup, so reading a hive grows with its size, not with its square.
// - A hive that cannot be opened or read for a passing reason (no free file
//   descriptor, no permission, a lock that is not released in time) fails
//   the call and is left as it is. A hive file that is not a regular file (a
//   FIFO, a device, a folder) is refused without being read.
// - A hive file with damaged lines is salvaged: every key and value that can
//   still be read is kept and written back, the damaged file is kept aside
//   (".broken-<time>") and the salvage is reported on standard error.
// - Names, paths and data are bounded (the limits below); the writer refuses
//   what the reader would refuse, so it never writes a hive it cannot read.
// - A failed call leaves its reason in lastError().

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace platform::registry {

enum class Hive : uint32_t {
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
};

enum class ValueType : uint32_t {
    None = 0,
    String = 1,       // REG_SZ
    ExpandString = 2, // REG_EXPAND_SZ
    Binary = 3,       // REG_BINARY
    Dword = 4,        // REG_DWORD
};

struct Value {
    ValueType type = ValueType::None;
    QString text;      // String, ExpandString
    QByteArray bytes;  // Binary
    uint32_t number = 0; // Dword

    static Value string(const QString& s) { Value v; v.type = ValueType::String; v.text = s; return v; }
    static Value expandString(const QString& s) { Value v; v.type = ValueType::ExpandString; v.text = s; return v; }
    static Value binary(const QByteArray& b) { Value v; v.type = ValueType::Binary; v.bytes = b; return v; }
    static Value dword(uint32_t n) { Value v; v.type = ValueType::Dword; v.number = n; return v; }

    // The value's data as the old registry handed it out: strings as their
    // bytes with a terminating NUL, a number as four little-endian bytes.
    QByteArray data() const;

    bool operator==(const Value& o) const;
};

struct NamedValue {
    QString name; // "" is the key's default value
    Value value;
};

// The bounds of what a hive holds.
inline constexpr int kMaxKeyDepth = 512;          // names in a key path
inline constexpr int kMaxKeyNameChars = 255;      // one key name
inline constexpr int kMaxValueNameChars = 16383;  // one value name
inline constexpr int kMaxValueDataSize = 1 << 20; // characters of a text, bytes of binary data
inline constexpr qint64 kMaxHiveBytes = 256ll * 1024 * 1024;

// Parses "HKCU", "HKEY_CURRENT_USER", "HKLM", "HKCR" ... (any case).
std::optional<Hive> hiveFromName(const QString& name);
QString hiveShortName(Hive hive);
QString hiveLongName(Hive hive);

// The folder that holds the hive files: $XDG_CONFIG_HOME/registry.
QString storeFolder();

bool keyExists(Hive hive, const QString& path);
// Creates the key and its missing parents. False when the path is empty or
// the hive cannot be written.
bool createKey(Hive hive, const QString& path);
// Deletes a key. Without recursive, a key that has sub-keys is refused.
bool deleteKey(Hive hive, const QString& path, bool recursive = false);

std::optional<Value> readValue(Hive hive, const QString& path, const QString& name);
// Writes a value; the key is created when createKeyIfMissing, else a missing
// key fails.
bool writeValue(Hive hive, const QString& path, const QString& name, const Value& value,
                bool createKeyIfMissing = true);
bool deleteValue(Hive hive, const QString& path, const QString& name);

// One value of a batch for writeValues.
struct ValueWrite {
    QString path;
    QString name;
    Value value;
};
// Writes several values into one hive in a single change of its file,
// creating missing keys: all of them land, or none does when one is refused.
bool writeValues(Hive hive, const QList<ValueWrite>& writes);

// Sub-key names in enumeration order (sorted without regard to case);
// nullopt when the key does not exist.
std::optional<QStringList> subKeys(Hive hive, const QString& path);
// Values in the order they were created; nullopt when the key does not exist.
std::optional<QList<NamedValue>> values(Hive hive, const QString& path);

// Why the last call of this thread failed: "" after a call that succeeded
// or only found no such key or value; the reason when the hive could not be
// read or written, a name or value was over the bounds, or the lock was not
// had in time.
QString lastError();

// Drops every cached hive so the next access reads the files again (tests
// that move the store folder).
void resetCache();

} // namespace platform::registry
