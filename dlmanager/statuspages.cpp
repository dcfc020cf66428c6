#include "dlmanager/statuspages.h"

#include "core/downloadlists.h"

#include "dlmanager/downloadhelpers.h"
#include "dlmanager/runstate.h"
#include "platform/base/textfile.h"
#include "platform/base/vbrt.h"

#include <QFile>
#include <QStringList>
#include <QUrl>

namespace {

QByteArray joinLines(const QStringList& lines)
{
    QByteArray out;
    for (const QString& l : lines) {
        out += l.toUtf8();
        out += "\r\n";
    }
    return out;
}

QString picture(const RunState& run, const char* name)
{
    return FileUrl(run.CommonPath + QLatin1Char('/') + QLatin1String(name));
}

} // namespace

QString FormatByteSize(qint64 count)
{
    constexpr qint64 kKB = 1024;
    constexpr qint64 kMB = kKB * 1024;
    constexpr qint64 kGB = kMB * 1024;
    constexpr qint64 kTB = kGB * 1024;
    QString text;
    if (count < kKB)
        text = QString::number(count) + QStringLiteral(" Bytes");
    else if (count < kMB)
        text = vb::format(static_cast<double>(count) / kKB, QStringLiteral("#.00")) + QStringLiteral(" KB");
    else if (count < kGB)
        text = vb::format(static_cast<double>(count) / kMB, QStringLiteral("#.00")) + QStringLiteral(" MB");
    else if (count < kTB)
        text = vb::format(static_cast<double>(count) / kGB, QStringLiteral("#.00")) + QStringLiteral(" GB");
    else
        text = vb::format(static_cast<double>(count) / kTB, QStringLiteral("#.00")) + QStringLiteral(" TB");
    return vb::trim(text);
}

QString EscapeHtml(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QStringLiteral("&amp;"); break;
        case '<': out += QStringLiteral("&lt;"); break;
        case '>': out += QStringLiteral("&gt;"); break;
        case '"': out += QStringLiteral("&quot;"); break;
        case '\'': out += QStringLiteral("&#39;"); break;
        case '\r':
        case '\n': out += QLatin1Char(' '); break; // one row stays one line
        default: out += c;
        }
    }
    return out;
}

QString FileUrl(const QString& localPath)
{
    return QString::fromLatin1(QUrl::fromLocalFile(localPath).toEncoded(QUrl::FullyEncoded));
}

QByteArray StatusFramesetPage(const RunState& run)
{
    return DownloadStatusFrameset(run.ListBase);
}

QByteArray StatusHeaderPage(const RunState& run)
{
    const QString rowOpen = QStringLiteral("<tr><td width='150' align='right' bgcolor='#EBEBEB' height='25' nowrap>");
    const QString labelOpen = QStringLiteral("<p style='margin-right: 10'><b><font face='Arial' size='1' color='#215DC6'>");
    const QString labelOpenNowrap =
        QStringLiteral("<p style='margin-right: 10'><b><font face='Arial' size='1' color='#215DC6' nowrap>");
    const QString separator = QStringLiteral("</font></b></td><td bgcolor='#F5F5F5' height='25' width='99%' nowrap>");
    const QString separatorWrap = QStringLiteral("</font></b></td><td bgcolor='#F5F5F5' height='25' width='99%'>");
    const QString valueOpen = QStringLiteral("<p style='margin-left: 10'><font face='Arial' size='2'>");
    const QString rowClose = QStringLiteral("</font></td></tr>");

    QString status;
    if (run.JobState == JobTransferring) {
        status = ExternalText("9960", "Downloading file:") + QLatin1Char(' ') + run.ItemName;
        if (!run.ProgressText.isEmpty())
            status += QStringLiteral(" - ") + run.ProgressText;
    } else if (run.JobState == JobDone) {
        status = ExternalText("9961", "Download Completed");
    } else {
        status = run.StatusText;
    }

    QStringList l;
    l << QStringLiteral("<HTML><HEAD><meta charset='utf-8'>");
    l << QStringLiteral("</HEAD><BODY topmargin='0' leftmargin='0'>");
    l << QStringLiteral("<table border='0' cellspacing='1' style='border-collapse: collapse' bordercolor='#111111' "
                        "width='100%' id='AutoNumber1'>");
    const auto row = [&](const QString& opener, const QString& label, const QString& sep, const QString& value) {
        l << rowOpen << opener << EscapeHtml(label) << sep << valueOpen << EscapeHtml(value) << rowClose;
    };
    row(labelOpen, ExternalText("9900", "List Identifier"), separator, run.ListName);
    row(labelOpen, ExternalText("9901", "Files Completed"), separator,
        QStringLiteral("%1 of %2").arg(run.DoneItems).arg(run.TotalItems));
    row(labelOpenNowrap, ExternalText("9902", "Status"), separator, status);
    row(labelOpen, ExternalText("9903", "Transfer rate"), separatorWrap, run.RateText);
    l << QStringLiteral("<tr><td bgcolor='#D6DFF7' align='center' colspan='2' height='25' nowrap>");
    l << QStringLiteral("<p align='left' style='margin-left: 5'><b><font face='Arial' size='1' color='#215DC6'>");
    l << EscapeHtml(ExternalText("9904", "Started at") + QStringLiteral(": ") + run.StartTime);
    l << QStringLiteral("</font></b></td></tr>");
    l << QStringLiteral("</table></BODY></HTML>");
    return joinLines(l);
}

QByteArray StatusLogPage(const QByteArray& log)
{
    QByteArray out = joinLines({QStringLiteral("<HTML><HEAD><meta charset='utf-8'>"),
                                QStringLiteral("</HEAD><BODY topmargin='0' leftmargin='0'>"),
                                QStringLiteral("<table border='0' cellspacing='1' style='border-collapse: collapse' "
                                               "bordercolor='#111111' width='100%' id='AutoNumber2'>")});
    // The log's rows as they are: each is one line the run wrote and escaped.
    for (QByteArray line : log.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        out += line;
        out += "\r\n";
    }
    out += joinLines({QStringLiteral("</table>"), QStringLiteral("</BODY></HTML>")});
    return out;
}

QByteArray StatusBarPage(const RunState& run, bool completed, const QDateTime& now)
{
    QStringList l;
    l << QStringLiteral("<HTML><HEAD><meta charset='utf-8'></HEAD><BODY topmargin='1' leftmargin='1'>");
    l << QStringLiteral("<table border='0' style='border-collapse: collapse' width='100%' height='25' id='AutoNumber1' "
                        "nowrap bgcolor='#D6DFF7'>");
    l << QStringLiteral("<tr><td bgcolor='#D6DFF7' width='90%' height='25' nowrap>");
    l << QStringLiteral("<p align='left' style='margin:1 10'><b><font face='Arial' size='1' color='#215DC6'>");
    if (completed)
        l << EscapeHtml(ExternalText("9905", "Download completed at") + QStringLiteral(": ") + vb::formatClockDate(now));
    else if (run.StoppedByUser)
        l << EscapeHtml(ExternalText("9906", "Stopped by user at") + QStringLiteral(": ") + vb::formatClockDate(now));
    else
        l << QStringLiteral(" ");
    l << QStringLiteral("</font></b></td>");
    l << QStringLiteral("<td bgcolor='#D6DFF7' width='150' height='25' nowrap><p align='right' style='margin: 1 10'>");

    struct Button {
        const char* name;
        const char* picture;
        const char* key;
        const char* english;
        const char* command;
    };
    const Button pause{"Z5PAUSE", "Z5_Pause.bmp", "9908", "Pause", "EVENT:Z5_DLSTAT_PAUSE"};
    const Button resume{"Z5RESUME", "Z5_Resume.bmp", "9907", "Resume", "EVENT:Z5_DLSTAT_RESUME"};
    const Button stop{"Z5STOP", "Z5_Stop.bmp", "9910", "Cancel", "EVENT:Z5_DLSTAT_STOP"};
    const Button modify{"Z5MODIFY", "Z5_Modify.bmp", "9909", "Modify Download List", "EVENT:Z5_DLSTAT_MODIFY"};
    const Button close{"Z5CLOSE", "Z5_Close.bmp", "9911", "Close", "EVENT:Z5_DLSTAT_CLOSE"};

    QList<const Button*> shown;
    if (run.JobState == JobConnecting || run.JobState == JobTransferring)
        shown = {&pause, &modify};
    else if (run.JobState == JobStopped)
        shown = {&resume, &modify, &stop};
    else
        shown = {&modify};
    shown << &close;
    for (const Button* b : shown)
        l << QStringLiteral("<input border='0' src='%1' name='%2' type='image' alt='%3' onclick='%2_OnClick(); return false;'>")
                 .arg(EscapeHtml(picture(run, b->picture)), QLatin1String(b->name),
                      EscapeHtml(ExternalText(b->key, b->english)));
    l << QStringLiteral("<SCRIPT LANGUAGE='JavaScript'>");
    // The procedures in a fixed order: the optional ones only for their buttons.
    for (const Button* b : {&pause, &resume, &stop, &modify, &close}) {
        if (!shown.contains(b))
            continue;
        l << QStringLiteral("function %1_OnClick() {").arg(QLatin1String(b->name));
        l << QStringLiteral("location.href = \"%1\";").arg(QLatin1String(b->command));
        l << QStringLiteral("}");
    }
    l << QStringLiteral("</SCRIPT></font></td></tr></table></BODY></HTML>");
    return joinLines(l);
}

QByteArray LogRow(const RunState& run)
{
    QString row;
    if (run.JobState == JobDone) {
        row = QStringLiteral("<tr><td bgcolor='#F5F5F5' align='center' width='25' height='25' nowrap><img border='0' src='") +
              EscapeHtml(picture(run, "Z5_Mark.bmp")) +
              QStringLiteral("'></td><td bgcolor='#F5F5F5' nowrap><p style='margin-left: 5'><font size='2' face='Arial'>") +
              EscapeHtml(run.ItemName) + QStringLiteral("  >>>  ") + EscapeHtml(run.ItemFolder) +
              (run.ItemNote.isEmpty() ? QString() : QStringLiteral(" - ") + EscapeHtml(run.ItemNote)) +
              QStringLiteral("</font></td></tr>");
    } else if (run.JobState == JobFailed) {
        row = QStringLiteral("<tr><td bgcolor='#F5F5F5' align='center' width='25' height='25' nowrap></td><td "
                             "bgcolor='#F5F5F5' nowrap><p style='margin-left: 5'><font size='2' face='Arial'>*** ") +
              EscapeHtml(ExternalText("9951", "FAILED")) + QStringLiteral(": ") + EscapeHtml(run.ItemName) + QStringLiteral(" - ") +
              EscapeHtml(run.StatusText) + QStringLiteral("</font></td></tr>");
    }
    return row.toUtf8();
}

void StatusPages::write(const QString& path, const QByteArray& bytes, QByteArray& last)
{
    if (bytes == last && QFile::exists(path))
        return;
    if (platform::textfile::replaceWithoutSync(path, bytes))
        last = bytes;
}

void StatusPages::WriteStatusFrameset()
{
    write(run_.framesetFile(), StatusFramesetPage(run_), lastFrameset_);
}

void StatusPages::WriteStatusHeader()
{
    if (!f1Allowed_)
        return;
    f1Allowed_ = false;
    write(run_.frameFile(1), StatusHeaderPage(run_), lastF1_);
    f1Allowed_ = true;
}

void StatusPages::WriteStatusLog()
{
    if (!f2Allowed_)
        return;
    f2Allowed_ = false;
    // The log grows by one short row per item; a log grown beyond any list
    // (written by someone else) is shown cut.
    constexpr qint64 kMaxLogBytes = 64 * 1024 * 1024;
    QFile log(run_.logFile());
    QByteArray bytes;
    if (log.open(QIODevice::ReadOnly))
        bytes = log.read(kMaxLogBytes);
    write(run_.frameFile(2), StatusLogPage(bytes), lastF2_);
    f2Allowed_ = true;
}

void StatusPages::WriteStatusBar(bool completed)
{
    if (!f3Allowed_)
        return;
    f3Allowed_ = false;
    write(run_.frameFile(3), StatusBarPage(run_, completed, QDateTime::currentDateTime()), lastF3_);
    f3Allowed_ = true;
    if (run_.StoppedByUser) {
        QFile ack(run_.stopAckFile());
        if (ack.open(QIODevice::WriteOnly))
            ack.close();
    }
}
