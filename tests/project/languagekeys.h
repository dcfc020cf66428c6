#pragma once

// The language keys the code asks for, found in its sources, held against
// the language file: every key a lookup names is in the file, the English
// text written beside the lookup is the file's text, and no key stands for
// two texts.
//
// A lookup is found as a key literal of four to six digits followed by a
// text literal ("9013", "Are you sure ..."), with or without the string
// wrappers of Qt around them. Its section is the section literal just before
// the key, a constant holding a section name, or the one section of the
// small helper function it is handed to (helpers that hand on to helpers
// count). A lookup whose section the scan cannot tell (a row of a table)
// must find its key with its text in some section of the file.

#include <QString>
#include <QStringList>

#include <vector>

struct LanguageLookup {
    QString file;    // relative to the scanned root
    QString section; // empty when the scan cannot tell
    QString key;
    QString english;
};

// Keys whose English the program's description gives in two wordings (one
// text of the language file serves both places), and keys it leaves out of
// the file on purpose.
struct LanguageKeyExemption {
    QString section;
    QString key;
    bool absent = false; // the key stays out of the language file
};

// The lookups of the .cpp and .h files under the given folders of root.
// sections: the section names a literal is taken for.
std::vector<LanguageLookup> FindLanguageLookups(const QString& root, const QStringList& folders,
                                                const QStringList& sections);

// One line per fault:
//   "missing: SECTION KEY \"text\" (file)"  the file lacks the key
//   "differs: SECTION KEY \"code\" vs \"file\" (file)"
//   "two texts: SECTION KEY \"a\" / \"b\""  the code gives one key two texts
//   "nowhere: KEY \"text\" (file)"          a table row no section holds
//   "twice: SECTION KEY"                    the language file repeats a key
// Texts compare trimmed and without regard to letter case.
QStringList CheckLanguageKeys(const QString& root, const QStringList& folders, const QString& languageFile,
                              const std::vector<LanguageKeyExemption>& exemptions);

// The folders of this source tree that hold program code.
QStringList ProjectCodeFolders();
// The exemptions of this source tree.
std::vector<LanguageKeyExemption> ProjectLanguageKeyExemptions();
