#include "dialogs/frmdialog.h"

#include "contracts/services.h"
#include "core/globals.h"
#include "core/language.h"
#include "core/messagebox.h"
#include "core/resourcepictures.h"
#include "core/scaling.h"
#include "core/shelldialogs.h"
#include "core/shellnames.h"
#include "core/skinnedframe.h"
#include "lists/playlistformat.h"
#include "platform/base/paths.h"
#include "platform/base/textfile.h"
#include "platform/base/vbrt.h"
#include "platform/win/filedialogs.h"
#include "platform/win/listrows.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QSaveFile>

using namespace platform::forms;

namespace {

// The window as designed, in twips at 15 twips per pixel.
constexpr double kWidth = 6000;
constexpr double kHeight = 2400;
constexpr double kMargin = 240;
constexpr double kRowTop = 660;
constexpr double kBoxHeight = 315;
constexpr double kBrowseWidth = 480;
constexpr double kButtonTop = 1680;
constexpr double kButtonWidth = 1500;
constexpr double kButtonHeight = 345;
// Only the two header lines of a snippet file are read, each up to this
// bound, whatever the size of the markup below them.
constexpr qint64 kSnippetHeaderLineLimit = 64 * 1024;

QString lang(const char* section, const char* key, const char* english)
{
    return GetLangString(QLatin1String(section), QLatin1String(key), QLatin1String(english));
}

QString htmlEscaped(const QString& text)
{
    return text.toHtmlEscaped().replace(QLatin1Char('\''), QLatin1String("&#39;"));
}

// A local file: an absolute path (one "/" first), the home folder ("~",
// "~/..."), or a file: address.
bool isLocal(const QString& text)
{
    if (text.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return true;
    if (text == QLatin1String("~") || text.startsWith(QLatin1String("~/")))
        return true;
    return text.startsWith(QLatin1Char('/')) && !text.startsWith(QLatin1String("//"));
}

QString expandHome(const QString& text)
{
    if (text == QLatin1String("~") || text.startsWith(QLatin1String("~/")))
        return QDir::homePath() + text.mid(1);
    return text;
}

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))))
        path.chop(1);
    return path;
}

// The path with every existing part in its resolved form (links followed);
// the part that does not exist yet is cleaned and kept.
QString resolvedPath(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    QString existing = clean;
    QString rest;
    while (!existing.isEmpty() && !QFileInfo::exists(existing)) {
        const qsizetype slash = existing.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            return clean;
        rest = existing.mid(slash) + rest;
        existing = existing.left(slash);
    }
    const QString canonical = QFileInfo(existing.isEmpty() ? QStringLiteral("/") : existing).canonicalFilePath();
    return canonical.isEmpty() ? clean : QDir::cleanPath(canonical + rest);
}

} // namespace

QString ScriptStringLiteral(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == '"' || u == '\\' || u == '<' || u == '>' || u == '&' || u == '\'' || u == 0x2028
            || u == 0x2029)
            out += QStringLiteral("\\u%1").arg(static_cast<int>(u), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + QLatin1Char('"');
}

QString WebFolderPageHtml(const QString& url)
{
    const QString shown = htmlEscaped(url);
    return QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>") + shown
           + QStringLiteral("</title></head><body onload=\"OpenFolderView()\"><script>function OpenFolderView(){ "
                            "location.href = ")
           + ScriptStringLiteral(url) + QStringLiteral("; }</script><a href=\"") + shown + QStringLiteral("\">") + shown
           + QStringLiteral("</a></body></html>\r\n");
}

QString FolderBelow(const QString& root, const QString& subFolder)
{
    const QString base = resolvedPath(root);
    const QString target = resolvedPath(root + QLatin1Char('/') + subFolder);
    if (target == base || target.startsWith(base + QLatin1Char('/')))
        return target;
    return {};
}

frmDialog::frmDialog(ServiceSet& services, std::array<QString, 9>& lastFolders)
    : Label1(*this, QStringLiteral("Label1")), Text1(*this, QStringLiteral("Text1")),
      Check1(*this, QStringLiteral("Check1")), cmdButton1(*this, QStringLiteral("cmdButton1")),
      cmdCaption(*this, QStringLiteral("cmdCaption")), cmdButton2(*this, QStringLiteral("cmdButton2")),
      XPSepLine(*this, QStringLiteral("XPSepLine")), services_(services), lastFolders_(lastFolders),
      noCaptions_(*this, QStringLiteral("cmdButton2Caption")),
      buttons_(cmdButton1, cmdCaption, [this](int index) { DialogButtonPressed(static_cast<int16_t>(index)); }),
      browse_(cmdButton2, noCaptions_, [this](int) { DialogBrowsePressed(); }, 105)
{
    setCaption(QStringLiteral("Z5 Browser"));
    setBorderStyle(BorderStyle::FixedDialog);
    setStartUpPosition(StartUpPosition::CenterOwner);
    setWidth(kWidth);
    setHeight(kHeight);
    setPicture(SkinnedPanel(toPixels(kWidth, kHeight), PanelStyle::Light));
    const QColor text = PanelTextColor(PanelStyle::Light);

    // In the order the keyboard goes through them.
    Label* heading = Label1.create(1);
    heading->move(kMargin, 150, kWidth - 2 * kMargin, 300);
    heading->setForeColor(text);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    for (int i : {2, 3}) {
        Label* prompt = Label1.create(i);
        prompt->move(kMargin, i == 2 ? 720 : 1095, 1000, 255);
        prompt->setForeColor(text);
        prompt->setVisible(false);
    }
    Image* ruleTop = XPSepLine.create(0);
    ruleTop->setStretch(true);
    ruleTop->move(kMargin, 480, kWidth - 2 * kMargin, 45);
    TextBox* box = Text1.create(0);
    box->move(kMargin, kRowTop, kWidth - 2 * kMargin - kBrowseWidth - 120, kBoxHeight);
    PictureBox* browse = cmdButton2.create(0);
    browse->move(kWidth - kBrowseWidth - kMargin, kRowTop, kBrowseWidth, kBoxHeight);
    TextBox* second = Text1.create(1);
    second->move(kMargin, kRowTop + kBoxHeight + 60, kWidth - 2 * kMargin, kBoxHeight);
    Check1.move(kMargin, 1080, kWidth - 2 * kMargin, 285);
    Check1.setForeColor(text);
    Image* ruleBottom = XPSepLine.create(1);
    ruleBottom->setStretch(true);
    ruleBottom->move(kMargin, 1500, kWidth - 2 * kMargin, 45);
    for (int i = 0; i <= 1; ++i) {
        PictureBox* button = cmdButton1.create(i);
        button->move(0, kButtonTop, kButtonWidth, kButtonHeight);
        Label* caption = cmdCaption.create(i, button);
        caption->setAutoSize(true);
        caption->setForeColor(text);
    }

    IndexedEvents& boxes = Text1.events();
    boxes.gotFocus = [this](int i) {
        Text1[i].setSelStart(0);
        Text1[i].setSelLength(static_cast<int>(Text1[i].text().size()));
    };
    // Enter pressed and released in a box answers as OK (Add); a release
    // alone, left over from the key that opened the dialog, does nothing.
    boxes.keyDown = [this](int, int keyCode, int) {
        if (keyCode == 13)
            enterPressed_ = true;
    };
    boxes.keyUp = [this](int, int keyCode, int) {
        if (keyCode != 13 || !enterPressed_)
            return;
        enterPressed_ = false;
        DialogButtonPressed(0);
    };
    boxes.change = [this](int) {
        if (DialogMode == 3)
            SetDialogOKEnabled(true);
    };
    events().load = [this] { Form_Load(); };
    // Escape and the window's close button answer as Cancel (or Close).
    events().keyDown = [this](int keyCode, int) {
        if (keyCode == 27)
            DialogButtonPressed(1);
    };
    events().queryUnload = [this](bool&, int mode) {
        if (mode == UnloadFromControlMenu && !answered_)
            DialogButtonPressed(1);
    };
}

void frmDialog::Form_Load()
{
    answered_ = false;
    const auto captions = [this](const QString& heading, const QString& ok, const QString& cancel) {
        Label1[1].setCaption(heading);
        setCaption(heading);
        cmdCaption[0].setCaption(ok);
        cmdCaption[1].setCaption(cancel);
    };
    const QString okText = lang("BUTTON", "4101", "OK");
    const QString cancelText = lang("BUTTON", "4102", "Cancel");
    const QString addText = lang("BUTTON", "4105", "Add");
    const QString closeText = lang("BUTTON", "4108", "Close");
    switch (DialogMode) {
    case 1:
        captions(lang("DIAGLOG", "7200", "Open"), okText, cancelText);
        Check1.setCaption(lang("DIAGLOG", "7201", "Open as Web Folder"));
        Text1[1].setVisible(false);
        break;
    case 2:
        captions(lang("DIAGLOG", "7300", "Add Files From Folder"), addText, cancelText);
        Check1.setCaption(lang("DIAGLOG", "7301", "Include Sub-Folders"));
        Text1[1].setVisible(false);
        Text1[0].setText(lastFolders_[0]);
        break;
    case 3:
        captions(lang("DIAGLOG", "7400", "Add URL"), addText, closeText);
        Text1[1].setVisible(false);
        cmdButton2[0].setVisible(false);
        Check1.setVisible(false);
        Text1[0].setWidth(scaleWidth() - 480);
        SetDialogOKEnabled(false);
        break;
    case 4:
        captions(lang("DIAGLOG", "7500", "Add this page to Favorites Folder ..."), addText, closeText);
        Label1[2].setCaption(lang("DIAGLOG", "7502", "Name"));
        Label1[3].setCaption(lang("DIAGLOG", "7503", "Create in"));
        Check1.setVisible(false);
        layoutTwoRows();
        if (DialogStrings[0] == QLatin1String("1")) {
            Text1[1].setText(QString());
        } else if (DialogStrings[0] == QLatin1String("2")) {
            captions(lang("DIAGLOG", "7501", "Add this page to Folder ..."), addText, closeText);
            Text1[1].setText(lastFolders_[7]);
        }
        Text1[0].setText(DialogStrings[1]);
        break;
    case 5: {
        captions(lang("DIAGLOG", "7504", "Edit Web Snippet"), okText, cancelText);
        Label1[2].setCaption(lang("DIAGLOG", "7505", "Name"));
        Label1[3].setCaption(lang("DIAGLOG", "7506", "Comment"));
        cmdButton2[0].setVisible(false);
        Check1.setVisible(false);
        layoutTwoRows();
        // The snippet's first line is its name, the second its comment.
        const auto head = platform::textfile::readFirstLines(platform::paths::toLocal(DialogStrings[1]), 2,
                                                            kSnippetHeaderLineLimit);
        for (qsizetype i = 0; head && i < head->size(); ++i)
            Text1[static_cast<int>(i)].setText(DecodeListText(head->at(i)));
        break;
    }
    default: break;
    }
    XPSepLine[0].setPicture(ProgramBitmap(120));
    XPSepLine[1].setPicture(ProgramBitmap(120));
    cmdButton1[0].setPicture(ProgramBitmap(101));
    cmdButton1[1].setPicture(ProgramBitmap(101));
    if (DialogMode != 3)
        cmdButton2[0].setPicture(ProgramBitmap(105));
    if (TwipsScale != 1.0f) {
        ScaleWindowSize(cmdButton1[0]);
        ScaleWindowSize(cmdButton1[1]);
        if (DialogMode != 3)
            ScaleWindowSize(cmdButton2[0]);
    }
    const double W = scaleWidth();
    cmdButton1[0].setLeft(W / 2 - cmdButton1[0].width() - 60);
    cmdButton1[1].setLeft(cmdButton1[0].left() + cmdButton1[0].width() + 120);
    if (DialogMode != 3)
        cmdButton2[0].setLeft(W - cmdButton2[0].width() - 240);
    for (int i = 0; i <= 1; ++i)
        cmdCaption[i].setLeft((cmdButton1[i].width() - cmdCaption[i].width()) / 2);
    cmdCaption[0].setTop((cmdButton1[0].height() - cmdCaption[0].height()) / 2 - 15);
    cmdCaption[1].setTop(cmdCaption[0].top());
    // Typing goes to the first box in every mode.
    enterPressed_ = false;
    Text1[0].setFocus();
}

void frmDialog::layoutTwoRows()
{
    const double W = scaleWidth();
    Label& name = Label1[2];
    Label& second = Label1[3];
    name.move(240, std::nullopt, 1000);
    second.move(240, std::nullopt, 1000);
    name.setVisible(true);
    second.setVisible(true);
    TextBox& box = Text1[0];
    TextBox& other = Text1[1];
    box.setLeft(name.left() + name.width() + 120);
    box.setWidth(std::max(0.0, W - 600 - name.width()));
    other.setLeft(box.left());
    other.setWidth(DialogMode == 4 ? std::max(0.0, W - 720 - second.width() - cmdButton2[0].width()) : box.width());
    other.setTop(box.top() + box.height() + 60);
    other.setVisible(true);
    name.setTop(box.top() + 60);
    second.setTop(other.top() + 60);
    if (DialogMode == 4)
        cmdButton2[0].setTop(other.top());
}

void frmDialog::SetDialogOKEnabled(bool enabled)
{
    cmdButton1[0].setEnabled(enabled);
    cmdCaption[0].setEnabled(enabled);
}

void frmDialog::finish()
{
    answered_ = true;
    hide();
}

void frmDialog::DialogButtonPressed(int16_t index)
{
    if (index == 1) {
        switch (DialogMode) {
        case 1: DialogUrl.clear(); break;
        case 2:
        case 4:
        case 5: DialogCancelled = 1; break;
        default: break;
        }
        finish();
        return;
    }
    switch (DialogMode) {
    case 1: openAnswer(); break;
    case 2: folderAnswer(); break;
    case 3: addressAnswer(); break;
    case 4: favoriteAnswer(); break;
    case 5: snippetAnswer(); break;
    default: finish(); break;
    }
}

void frmDialog::openAnswer()
{
    DialogUrl = vb::trim(Text1[0].text());
    if (!DialogUrl.isEmpty() && isLocal(DialogUrl)) {
        DialogUrl = expandHome(DialogUrl);
    } else if (!DialogUrl.isEmpty() && Check1.value() == 1 && !DialogUrl.contains(QLatin1Char('\\'))) {
        QString url = DialogUrl;
        while (url.startsWith(QLatin1Char('/')))
            url.remove(0, 1);
        if (url.left(4).toUpper() != QLatin1String("HTTP"))
            url = QStringLiteral("http://") + url;
        DialogUrl = BuildWebFolderPage(url);
    }
    finish();
}

void frmDialog::folderAnswer()
{
    const QString folder = vb::trim(Text1[0].text());
    Text1[0].setText(folder);
    if (folder.isEmpty()) {
        DialogCancelled = 1;
    } else {
        DialogCancelled = 0;
        lastFolders_[0] = folder;
        DialogStrings[1] = QString::number(Check1.value() == 1 ? 1 : 0);
    }
    finish();
}

void frmDialog::addressAnswer()
{
    const QString u = vb::trim(Text1[0].text());
    if (u.isEmpty())
        return;
    const int kind = DialogListIndex;
    if (ListRows* rows = services_.Lists().ListItems(static_cast<int16_t>(kind))) {
        ListRow row;
        row.columns[0] = u.mid(u.lastIndexOf(QLatin1Char('/')) + 1);
        row.columns[1] = u;
        const auto digit = GetOptionDigit(ListDownloadOptions[kind], 1);
        if (digit && *digit == 0)
            row.columns[3] = ListTargetDirectory[kind];
        rows->add(std::move(row));
    }
    Text1[0].setText(QString());
    SetDialogOKEnabled(false);
}

void frmDialog::favoriteAnswer()
{
    DialogStrings[1] = vb::trim(Text1[0].text());
    if (DialogStrings[1].isEmpty()) {
        DialogCancelled = 1;
        finish();
        return;
    }
    if (DialogStrings[0] == QLatin1String("1")) {
        const QString favorites = platform::paths::toLocal(GetSpecialFolder(1));
        const QString sub = vb::trim(Text1[1].text());
        const QString folder = sub.isEmpty() ? favorites : FolderBelow(favorites, sub);
        if (folder.isEmpty()) {
            // The folder box names a folder inside Favorites only.
            ShowMessage(lang("MESSAGE", "9076", "The folder must lie inside the Favorites folder"), 1, 0);
            return;
        }
        DialogCancelled = 0;
        DialogStrings[0] = folder;
    } else {
        DialogStrings[0] = vb::trim(Text1[1].text());
        if (DialogStrings[0].isEmpty()) {
            DialogCancelled = 1;
        } else {
            DialogCancelled = 0;
            lastFolders_[7] = DialogStrings[0];
        }
    }
    finish();
}

void frmDialog::snippetAnswer()
{
    const QString source = DialogStrings[1];
    const QString folder = source.left(source.lastIndexOf(QLatin1Char('/')) + 1);
    const QString name = Text1[0].text();
    const QString comment = Text1[1].text();
    if (name.isEmpty()) {
        ShowMessage(lang("MESSAGE", "9044", "Name can not be blank"), 1, 0);
        return;
    }
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || name.contains(QChar(0))) {
        ShowMessage(lang("MESSAGE", "9046", "A name can not hold \"/\" or \"\\\""), 1, 0);
        return;
    }
    QString path = folder + name;
    if (path.right(4).toUpper() != QLatin1String(".Z5S"))
        path += QStringLiteral(".Z5S");
    const QFileInfo target(platform::paths::toLocal(path));
    const QString sourceCanonical = QFileInfo(platform::paths::toLocal(source)).canonicalFilePath();
    if (target.exists() && target.canonicalFilePath() != sourceCanonical
        && ShowMessage(lang("MESSAGE", "9045", "A Snippet with the same name existed. Do you want to overwrite it ?"),
                       2, 1)
               != 3)
        return;
    DialogStrings[1] = path;
    DialogStrings[2] = name;
    DialogStrings[3] = comment;
    DialogCancelled = 0;
    finish();
}

void frmDialog::DialogBrowsePressed()
{
    QString t = Text1[0].text();
    switch (DialogMode) {
    case 1: {
        if (t.isEmpty())
            t = lastFolders_[7];
        platform::filedialogs::FileRequest request;
        request.title = lang("DIAGLOG", "7008", "Z5 Browser");
        request.initialFolder = t;
        request.filter = lang("FILEFORMAT", "8005", "HTML, Internet Shortcut, Z5 Files")
                         + QStringLiteral(" |*.z5p;*.z5s;*.htm;*.html;*.url;|") + lang("FILEFORMAT", "8001", "All Files")
                         + QStringLiteral(" (*.*) |*.*|");
        request.flags = platform::filedialogs::PathMustExist;
        const QString file = platform::filedialogs::openFile(window(), request);
        Text1[0].setText(file);
        if (!file.isEmpty())
            lastFolders_[7] = file.left(file.lastIndexOf(QLatin1Char('/')) + 1);
        break;
    }
    case 2: {
        if (t.isEmpty())
            t = lastFolders_[0];
        const QString p = withoutTrailingSlash(BrowseForFolder(window(), lang("DIAGLOG", "7100", "Select Folder ..."), t));
        if (!p.isEmpty())
            Text1[0].setText(p);
        break;
    }
    case 4: {
        QString p;
        if (DialogStrings[0] == QLatin1String("2")) {
            p = BrowseForFolder(window(), lang("DIAGLOG", "7501", "Add this page to Folder ..."), Text1[1].text());
            if (p.isEmpty())
                return;
        } else if (DialogStrings[0] == QLatin1String("1")) {
            const QString root = platform::paths::toLocal(GetSpecialFolder(1));
            p = BrowseForFolderShell(window(), lang("DIAGLOG", "7500", "Add this page to Favorites Folder ..."), root);
            if (p.isEmpty())
                return;
            p = p.mid(root.size());
            if (p.startsWith(QLatin1Char('/')))
                p.remove(0, 1);
        } else {
            return;
        }
        Text1[1].setText(withoutTrailingSlash(p));
        break;
    }
    default: break;
    }
}

QString frmDialog::BuildWebFolderPage(const QString& url)
{
    const QString path = MakeTempPagePrefix() + QStringLiteral("OpenWebFolderPage.htm");
    // A page that cannot be written is passed over; its path is used all the same.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(WebFolderPageHtml(url).toUtf8());
        file.commit();
    }
    return path;
}
