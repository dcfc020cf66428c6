#pragma once

// The content filter: the list of blocked sites, kept scrambled in the data
// file "Z51.DAT" beside the user's hives, whose length is recorded as a code
// in the machine hive ("Z5_STARTUPCODE", which lives with the user's hives
// too) so that a damaged file is noticed at start-up. The program folder's
// "Z51.DAT" is the shipped default (the empty list): it stands for the list
// of a user who has none of his own yet, and is never written.

#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

// The length code of the shipped data file: a file of 1 byte, the scrambled
// empty list "|" (code = length x k x 10 + k with k = 1). Every list with an
// entry is at least 4 characters long, so its code is always above this one.
inline constexpr int32_t InitialStartupCode = 11;

// The fixed key of the scrambling, the same for the writer and the reader.
inline constexpr int ContentFilterKey = 7;

inline const QString FilterDataFileName = QStringLiteral("Z51.DAT");
inline const QString StartupCodeSetting = QStringLiteral("Z5_STARTUPCODE");
// The code before the save in progress: while a save replaces the file, a
// file that either code stands for is the list as it was or as it will be.
inline const QString PreviousStartupCodeSetting = QStringLiteral("Z5_STARTUPCODE_PREV");

// The user's "Z51.DAT", in the folder of his hives (it may not exist yet).
QString FilterDataFilePath();
// The shipped "Z51.DAT" of the program folder.
QString ShippedFilterDataFilePath();
// The file the check and the reader use: the user's own once there is one
// (whatever it holds), else the shipped one.
QString FilterDataFileInUse();

// The list text read from the data file (from its first "|" to its last),
// or "" when the recorded code is not above InitialStartupCode or anything
// fails.
QString ReadFilterList();

// True when url must not be opened: it contains "HTTP:///" in any case, or
// one of the sites of FilterList (ignoring case). Host names match in either
// spelling: a site listed as "bücher.example" blocks "xn--bcher-kva.example"
// and the other way round. Text is found decoded as well as encoded: a site
// "bücher" blocks "/bücher.html" and "/b%C3%BCcher.html" alike. Passwords
// are never matched.
bool IsUrlBlocked(const QString& url);

// The byte transform of the data file and its inverse, on text taken by
// its Latin-1 codes (others as "?"); results wrap modulo 256, so every
// Latin-1 text round-trips. The data file holds an ASCII list as it is and
// any other list as UTF-8 behind a byte-order mark; a file without the mark
// is read as Latin-1.
QString ScrambleText(int key, const QString& text);
QString UnscrambleText(int key, const QString& text);

// The data file length a code stands for, read as a 32-bit number;
// nullopt when the code is not a number, is negative, or ends in 0.
std::optional<int64_t> FilterDataLengthOfCode(const QString& code);

// The start-up check of the data file: it exists and its length is the one
// the stored code (machine hive, default InitialStartupCode) stands for, or
// the one the previous code stands for while a save was interrupted.
// When it fails, CodeMissing tells that no code is recorded while the file
// holds a saved list (the code was lost, not the file damaged); FileWrong
// covers everything else: no file, a file of another length, a code that
// cannot be read.
enum class FilterDataCheck { Passes, CodeMissing, FileWrong };
FilterDataCheck CheckFilterData();
bool FilterDataFileMatchesCode();

// One row of the preferences' list of blocked sites.
struct ContentFilterEntry {
    QString site;
    QString password; // "" when the entry is not protected
    friend bool operator==(const ContentFilterEntry&, const ContentFilterEntry&) = default;
};

// The list text of the rows: "|" then site "|" password "|" for each.
QString ContentListText(const QList<ContentFilterEntry>& entries);
// The rows of a list text: each odd element that is not blank is a site (as
// it stands), the element after it its password.
QList<ContentFilterEntry> ContentListEntries(const QString& list);

// Saves the rows: the user's data file is rewritten (mode 0600) with the
// scrambled text, the code is stored with a new random digit, and
// FilterList becomes their list text ("" for no rows). The current code is
// kept as the previous one until the file is in place, so a crash at any
// step leaves a file that a recorded code stands for. On failure (the
// machine hive or the file cannot be written, the code does not fit 32
// bits, the list is too long to be read back at start-up) the file, the
// code and FilterList stay as they were, the user is told (MESSAGE 9007)
// and false is returned.
bool SaveContentList(const QList<ContentFilterEntry>& entries);
