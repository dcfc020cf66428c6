#include "core/fileclasses.h"

#include "core/settingsstore.h"
#include "core/shellnames.h"
#include "platform/base/paths.h"
#include "platform/base/vbrt.h"

#include <array>

namespace {

bool extensionIn(const QString& name, int n, QLatin1String list)
{
    const QString ext = ExtensionPart(name, n);
    // A substring rule: a partial entry such as ".jp" or a lone "." matches.
    return !ext.isEmpty() && QString(list).contains(ext);
}

bool endsWithUpper(const QString& name, QLatin1String ending)
{
    return vb::right(name, 4).toUpper() == ending;
}

bool isBlank(const QString& s)
{
    return vb::trim(s).isEmpty();
}

QString lastSegment(const QString& url)
{
    return url.mid(url.lastIndexOf(QLatin1Char('/')) + 1);
}

bool containsScriptOrMail(const QString& s)
{
    return s.contains(QLatin1String("javascript:"), Qt::CaseInsensitive)
           || s.contains(QLatin1String("mailto:"), Qt::CaseInsensitive);
}

bool liesInProgramFolder(const QString& url, QLatin1String folder)
{
    QString p = platform::paths::programFolder() + QLatin1Char('\\') + folder + QLatin1Char('\\');
    if (url.contains(p))
        return true;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (url.contains(p))
        return true;
    p.replace(QLatin1Char(' '), QLatin1String("%20"));
    return url.contains(p);
}

} // namespace

QString ExtensionPart(const QString& name, int n)
{
    const QString tail = vb::right(name, n);
    const qsizetype dot = tail.indexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : tail.mid(dot).toLower();
}

bool IsImageFile(const QString& name)
{
    if (name.isEmpty() || name.contains(QLatin1String("EXPANDTOFULL.JPG"), Qt::CaseInsensitive))
        return false;
    return extensionIn(name, 5, QLatin1String(".bmp.jpg.jpeg.gif.pcd.png.tif.tiff.wmf.wpg"));
}

bool IsAudioFile(const QString& name)
{
    return extensionIn(name, 5, QLatin1String(".aif.aifc.aiff.asf.au.cda.mid.midi.mp3.rmi.snd.wav.wm.wma.wmd"));
}

bool IsVideoFile(const QString& name)
{
    return extensionIn(name, 5, QLatin1String(".asf.asx.avi.dat.mpa.mpe.mpeg.mpg.mp2.m1v.wm.wmd.wmv"));
}

bool IsWindowsMediaAudio(const QString& name)
{
    return extensionIn(name, 4, QLatin1String(".asf.wm.wmd"));
}

bool IsWebPageUrl(const QString& url)
{
    if (url.isEmpty())
        return false;
    const QString segment = lastSegment(url);
    if (segment.isEmpty())
        return false;
    static const std::array<QLatin1String, 6> kPageEndings = {
        QLatin1String(".CGI"), QLatin1String(".HTM"), QLatin1String(".MHTM"),
        QLatin1String(".PHTM"), QLatin1String(".ASP"), QLatin1String(".PHP")};
    for (const QLatin1String ending : kPageEndings)
        if (segment.contains(ending, Qt::CaseInsensitive))
            return true;
    return false;
}

bool IsCdTrack(const QString& name)
{
    return endsWithUpper(name, QLatin1String(".CDA"));
}

bool IsWaveFile(const QString& name)
{
    return endsWithUpper(name, QLatin1String(".WAV"));
}

bool IsLocalItem(const QString& pathOrAddress)
{
    return pathOrAddress.startsWith(QLatin1Char('/')) || pathOrAddress.startsWith(QLatin1String("file:"), Qt::CaseInsensitive);
}

bool IsShortcutFile(const QString& name)
{
    return endsWithUpper(name, QLatin1String(".URL"));
}

bool IsSnippetFile(const QString& name)
{
    return endsWithUpper(name, QLatin1String(".Z5S"));
}

bool IsFileLink(const QString& url)
{
    if (url.endsWith(QLatin1Char('/')) || IsWebPageUrl(url))
        return false;
    const QString segment = lastSegment(url);
    const qsizetype dot = segment.indexOf(QLatin1Char('.'));
    if (dot < 0 || containsScriptOrMail(segment))
        return false;
    // A dotted number (a numeric host address) is no file.
    return !vb::isNumeric(segment.mid(dot + 1, 3));
}

bool IsDownloadArchiveLink(const QString& url)
{
    if (url.endsWith(QLatin1Char('/')) || IsWebPageUrl(url) || containsScriptOrMail(url))
        return false;
    return extensionIn(url, 4, QLatin1String(".exe.rar.zip"));
}

bool IsTempPageName(const QString& name)
{
    return name.contains(QLatin1String("~Z5_"));
}

bool IsBlankPageUrl(const QString& url)
{
    return isBlank(url) || url.contains(QLatin1String("Z5_BlankPage.HTM"));
}

bool IsEmptyAddress(const QString& url)
{
    return url == QLatin1String("http:///") || isBlank(url);
}

bool GetHelpPagePath(const QString& url)
{
    return liesInProgramFolder(url, QLatin1String("Help"));
}

bool GetDataPagePath(const QString& url)
{
    return liesInProgramFolder(url, QLatin1String("Data"));
}

QString IsComServerInstalled(const QString& progId)
{
    const QString clsid =
        ReadRegistryString(HiveLocalMachine, QStringLiteral("SOFTWARE\\CLASSES\\") + progId + QStringLiteral("\\CLSID"),
                           QString());
    if (clsid.isEmpty())
        return {};
    return ReadRegistryString(HiveLocalMachine,
                              QStringLiteral("Software\\Classes\\CLSID\\") + clsid + QStringLiteral("\\LocalServer32"),
                              QString());
}

QString IsWordInstalled()
{
    return IsComServerInstalled(QStringLiteral("Word.Application"));
}

QString IsExcelInstalled()
{
    return IsComServerInstalled(QStringLiteral("Excel.Application"));
}

QString IsPowerPointInstalled()
{
    return IsComServerInstalled(QStringLiteral("PowerPoint.Application"));
}

QString IsFrontPageInstalled()
{
    return IsComServerInstalled(QStringLiteral("FrontPage.Application"));
}

QString IsPublisherInstalled()
{
    return IsComServerInstalled(QStringLiteral("Publisher.Application"));
}

QString GetMailProgram()
{
    QString cmd = ReadMailtoCommand();
    const int p1 = vb::inStr(cmd, QStringLiteral("\"")) + 1;
    const int p2 = vb::inStr(p1 + 1, cmd, QStringLiteral("\""));
    if (p2 > 0)
        cmd = vb::mid(cmd, p1, p2 - p1);
    cmd.replace(QLatin1String("%ProgramFiles%"), GetSpecialFolder(3));
    return cmd;
}

void GridForCount(int16_t count, int16_t& rows, int16_t& columns)
{
    // rows x columns for 2 to 32 panes, laid out row by row.
    static constexpr std::array<std::array<int16_t, 2>, 31> kGrid = {{
        {1, 2}, {1, 3}, {2, 2}, {2, 3}, {2, 3}, {2, 4}, {2, 4}, {3, 3}, {2, 5}, {3, 4}, {3, 4},
        {3, 5}, {3, 5}, {3, 5}, {4, 4}, {3, 6}, {3, 6}, {4, 5}, {4, 5}, {3, 7}, {4, 6}, {4, 6},
        {4, 6}, {5, 5}, {4, 7}, {3, 9}, {4, 7}, {5, 6}, {5, 6}, {4, 8}, {4, 8},
    }};
    if (count < 2 || count > 32)
        return;
    rows = kGrid[static_cast<size_t>(count - 2)][0];
    columns = kGrid[static_cast<size_t>(count - 2)][1];
}
