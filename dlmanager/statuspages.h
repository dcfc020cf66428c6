#pragma once

// The status pages of a list run: a frameset of three frames (the run's
// figures, the log of finished items, a bar with the time and the command
// buttons), and the log rows they show. Every text taken from the list, the
// server or the file system is escaped; every page is replaced atomically.

#include <QByteArray>
#include <QDateTime>
#include <QString>

struct RunState;

// 1023 Bytes, 1.00 KB, 1.50 MB, 2.00 GB, 1.00 TB.
QString FormatByteSize(qint64 count);

// Text for HTML content and for attribute values in single or double quotes.
QString EscapeHtml(const QString& text);
// The encoded file URL of a local path.
QString FileUrl(const QString& localPath);

// The pages as bytes (CR LF line ends).
QByteArray StatusFramesetPage(const RunState& run);
QByteArray StatusHeaderPage(const RunState& run);
QByteArray StatusLogPage(const QByteArray& log);
QByteArray StatusBarPage(const RunState& run, bool completed, const QDateTime& now);
// The log row of a finished item (JobState 5 or 6), without its line end.
QByteArray LogRow(const RunState& run);

// The writers of a run, each guarded against running inside itself and
// skipping a write that would not change the page.
class StatusPages {
public:
    explicit StatusPages(RunState& run) : run_(run) {}

    void AllowWriting() { f1Allowed_ = f2Allowed_ = f3Allowed_ = true; }
    void WriteStatusFrameset();
    void WriteStatusHeader();
    void WriteStatusLog();
    // After a stop, also writes the acknowledgement file.
    void WriteStatusBar(bool completed);

private:
    void write(const QString& path, const QByteArray& bytes, QByteArray& last);

    RunState& run_;
    bool f1Allowed_ = false;
    bool f2Allowed_ = false;
    bool f3Allowed_ = false;
    QByteArray lastF1_, lastF2_, lastF3_, lastFrameset_;
};
