#pragma once

// The partial file a file item fetches into, beside the final name with
// "~~~" after it, and continued by a later run of the same item.
//
// A partial is taken up again only when it is this item's own: made by it
// (its owner tag, kept on the file, says so), a regular file of the user's
// that no one else may write, with no other link, and held by no other
// process (a lock on the open file, kept while the item runs). Anything else
// at that name is left alone and the item starts a fresh partial under a
// free name ("<name> (2)~~~", ...). The names keep within the 255 bytes a
// file name may take. A partial of a list's item also carries its list's
// tag, by which clearing the list finds it.

#include <QByteArray>
#include <QString>

struct RunState;

// Where the tag of the item that made a partial is kept, on the file itself.
inline constexpr const char* kPartialOwnerAttribute = "user.z5.item";

// The tag of the run's current item fetching into finalPath: its list and
// line (or the single file), its address and its final path.
QByteArray PartialOwnerTag(const RunState& run, const QString& finalPath);

// The n-th partial name of finalPath (n from 1).
QString PartialPathFor(const QString& finalPath, int n);

class PartialFile {
public:
    PartialFile() = default;
    ~PartialFile();
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    // Opens the item's own partial of finalPath, or makes a fresh one
    // (tagged with listTag when not empty). False with error when no
    // partial could be opened or made.
    bool open(const QString& finalPath, const QByteArray& ownerTag, QString* error, const QByteArray& listTag = {});
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    const QString& path() const { return path_; }
    // The bytes it holds.
    qint64 size() const;

    // The first answer's validator (ETag or Last-Modified), kept on the file.
    QByteArray validator() const;
    void setValidator(const QByteArray& value);

    // Gives the complete file finalPath, or the first free "<name> (n).<ext>"
    // unless replace; closes it. The path taken, or empty with errno set.
    QString finish(const QString& finalPath, bool replace);
    // Closes it; an empty partial made by this item goes again.
    void close();

private:
    int fd_ = -1;
    QString path_;
    bool created_ = false;
};
