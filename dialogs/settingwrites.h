#pragma once

// The settings the preferences window writes. Each one is remembered with
// the value its page held when the window filled it; saving writes only the
// values that differ, so a page the user left untouched writes nothing and
// a value another window saved meanwhile stays. A value the store refuses
// keeps its remembered value and is noted, for the window to tell the user.

#include <QList>
#include <QMap>
#include <QString>

#include <optional>

struct SettingWrite {
    QString section; // of the program's application: its main section or a sub-section
    QString name;
    QString value;
};

class SettingWrites {
public:
    // The values as the window filled them.
    void remember(const QList<SettingWrite>& values);
    // Writes the value when it differs from the remembered one, which then
    // follows it. True when the store holds the value afterwards.
    bool write(const SettingWrite& value);
    // The reason of the first write refused since the last call (it may be
    // ""), nullopt when none was; the note is cleared.
    std::optional<QString> takeFailure();

private:
    static QString keyOf(const SettingWrite& value);
    QMap<QString, QString> remembered_;
    QString failure_;
    bool failed_ = false;
};
