#include "skinremoval/frmremoval.h"

#include "core/skinnedframe.h"
#include "platform/base/paths.h"
#include "platform/base/vbrt.h"
#include "skinremoval/module1.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform::forms;

namespace {

// The window as designed, in twips at 15 twips per pixel.
constexpr double kInnerWidth = 5910;
constexpr double kInnerHeight = 2160;
constexpr double kButtonRightGap = 240;

// The file name a library takes just before it is deleted.
const char kDeletedName[] = "DeletedSKin";

// The band behind the title and the list, and the texts on it.
const QColor kBandColour(0x5E, 0x7B, 0xB7);
const QColor kBandText(0xFF, 0xFF, 0xFF);

QString skinFolder()
{
    return platform::paths::toLocal(RemovalAppPath + QStringLiteral("\\Skin"));
}

// The skin library files of the folder, in the order the folder gives them.
QStringList skinFiles()
{
    QDir dir(skinFolder());
    dir.setNameFilters({QStringLiteral("SK_*.dll")});
    dir.setFilter(QDir::Files);
    dir.setSorting(QDir::Unsorted);
    return dir.entryList();
}

// The library file of a typed skin name, taken literally (letter case aside,
// as the folder search of the old system took it): "" when there is none.
QString findSkinFile(const QString& name)
{
    const QString wanted = SkinFileOfName(name);
    QString found;
    for (const QString& f : skinFiles()) {
        if (f == wanted)
            return f;
        if (found.isEmpty() && f.compare(wanted, Qt::CaseInsensitive) == 0)
            found = f;
    }
    return found;
}

// A typed name holding a pattern character could stand for any library.
bool holdsPattern(const QString& name)
{
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// True when localPath is the library of the skin in use: the file the
// browser's start-up check finds for the name (whatever the letter case), or
// one whose unregistration would take away the skin's registration.
bool isLibraryOfSkinInUse(const QString& localPath)
{
    const QString found = QFileInfo(localPath).canonicalFilePath();
    if (found.isEmpty())
        return false;
    const QString byName = platform::paths::toLocal(RemovalAppPath + QStringLiteral("\\Skin\\")
                                                    + SkinFileOfName(CurrentSkinName));
    if (QFileInfo(byName).canonicalFilePath() == found)
        return true;
    // Another name of the same file.
    struct stat mine {}, inUse {};
    if (::stat(QFile::encodeName(localPath).constData(), &mine) == 0 &&
        ::stat(QFile::encodeName(byName).constData(), &inUse) == 0 && mine.st_dev == inUse.st_dev &&
        mine.st_ino == inUse.st_ino)
        return true;
    return LibraryMeetsSkinInUse(localPath);
}

// Whether the library's file can be renamed and deleted afterwards: it is no
// folder, the folder lets this user rename and delete it, and the name it
// takes first can be cleared. Checked before anything is unregistered.
bool removalCanSucceed(const QString& localPath)
{
    const auto removable = [](const QByteArray& path, const struct stat& folder) {
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0)
            return errno == ENOENT;
        if (S_ISDIR(st.st_mode))
            return false;
        // In a sticky folder only the owners of the file or the folder may.
        const uid_t me = ::geteuid();
        return !(folder.st_mode & S_ISVTX) || me == 0 || st.st_uid == me || folder.st_uid == me;
    };
    const QByteArray folder = QFile::encodeName(skinFolder());
    struct stat dir {};
    if (::stat(folder.constData(), &dir) != 0 || ::access(folder.constData(), W_OK | X_OK) != 0)
        return false;
    struct stat st {};
    const QByteArray path = QFile::encodeName(localPath);
    return ::lstat(path.constData(), &st) == 0 && removable(path, dir) &&
           removable(QFile::encodeName(skinFolder() + QLatin1Char('/') + QLatin1String(kDeletedName)), dir);
}

} // namespace

frmRemoval::frmRemoval()
    : DisplayImage(*this, QStringLiteral("DisplayImage")),
      Label(*this, QStringLiteral("Label")),
      ComboBox(*this, QStringLiteral("ComboBox")),
      cmdButton1(*this, QStringLiteral("cmdButton1")),
      cmdCaption(*this, QStringLiteral("cmdCaption")),
      buttons(cmdButton1, cmdCaption, [this](int index) { RemovalButtonPressed(int16_t(index)); }, 102,
              [](int id) -> const QPixmap& { return RemovalBitmap(id); })
{
    setCaption(QStringLiteral(" "));
    setBorderStyle(BorderStyle::FixedDialog);
    setStartUpPosition(StartUpPosition::CenterScreen);
    setWidth(kInnerWidth);
    setHeight(kInnerHeight);
    setPicture(SkinnedPanel(toPixels(kInnerWidth, kInnerHeight), PanelStyle::Light));
    window()->setWindowIcon(RemovalIcon());

    Image* icon = DisplayImage.create(0);
    icon->setStretch(true);
    icon->move(2760, 0, 480, 480);
    icon->setPicture(RemovalIcon());
    DisplayImage.create(1)->setStretch(true);
    DisplayImage[1].move(0, 420, 6000, 45);

    platform::forms::Label* band = Label.create(0);
    band->move(-30, 465, 6060, 1095);
    band->setBackColor(kBandColour);
    platform::forms::Label* title = Label.create(1);
    title->move(0, 660, 5895, 375);
    title->setAlignment(Alignment::Center);
    title->setForeColor(kBandText);
    QFont titleFont(QStringLiteral("MS Sans Serif"));
    titleFont.setPointSizeF(8.25);
    titleFont.setBold(true);
    title->setFont(titleFont);

    ComboBox.move(120, 960, 3855, 315);

    PictureBox* remove = cmdButton1.create(0);
    remove->move(4200, 960, 1500, 345);
    DisplayImage.create(2)->setStretch(true);
    DisplayImage[2].move(0, 1560, 6000, 45);
    PictureBox* close = cmdButton1.create(1);
    close->move(4200, 1725, 1500, 345);

    platform::forms::Label* message = Label.create(2);
    message->move(120, 1800, 3855, 375);
    message->setForeColor(PanelTextColor(PanelStyle::Light));

    for (int i = 0; i <= 1; ++i) {
        platform::forms::Label* caption = cmdCaption.create(i, &cmdButton1[i]);
        caption->setAutoSize(true);
        caption->setForeColor(PanelTextColor(PanelStyle::Light));
    }

    // The band lies under the title, the list and the Remove button.
    title->zOrder(0);
    ComboBox.zOrder(0);
    remove->zOrder(0);
    // Remove, Close, then the list: Remove has the focus when the window opens.
    QWidget::setTabOrder(remove->widget(), close->widget());
    QWidget::setTabOrder(close->widget(), ComboBox.widget());

    ComboBox.events().click = [this] { ComboBox_Click(); };
    events().load = [this] { Form_Load(); };
    // The program lives while its window is loaded.
    events().unload = [] { QCoreApplication::exit(0); };
}

void frmRemoval::Form_Load()
{
    cmdCaption[0].setCaption(ReadLanguageString(QStringLiteral("BUTTON"), QStringLiteral("4106"), QStringLiteral("Remove")));
    cmdCaption[1].setCaption(ReadLanguageString(QStringLiteral("BUTTON"), QStringLiteral("4108"), QStringLiteral("Close")));
    Label[1].setCaption(ReadLanguageString(QStringLiteral("EXTERNAL"), QStringLiteral("9605"), QStringLiteral("Remove Skin")));
    ShowMessageLine("9606", "Select Skin from the List");

    // The buttons keep the pixel size of their bitmaps.
    if (RemovalScale != 1.0f) {
        ScaleRemovalControl(cmdButton1[0]);
        ScaleRemovalControl(cmdButton1[1]);
    }
    for (int i = 0; i <= 1; ++i)
        cmdButton1[i].setLeft(scaleWidth() - cmdButton1[i].width() - kButtonRightGap);

    cmdButton1[0].setPicture(RemovalBitmap(102));
    cmdButton1[1].setPicture(cmdButton1[0].picture());

    cmdCaption[0].setLeft((cmdButton1[0].width() - cmdCaption[0].width()) / 2);
    cmdCaption[0].setTop((cmdButton1[0].height() - cmdCaption[0].height()) / 2 - 15);
    cmdCaption[1].setLeft((cmdButton1[1].width() - cmdCaption[1].width()) / 2);
    cmdCaption[1].setTop(cmdCaption[0].top());

    DisplayImage[1].setPicture(RemovalBitmap(101));
    DisplayImage[2].setPicture(DisplayImage[1].picture());

    FillSkinList();
    cmdButton1[0].setFocus();
}

void frmRemoval::ScaleRemovalControl(Control& control)
{
    const float left = float(control.left());
    const float top = float(control.top());
    const float width = float(control.width()) * RemovalScale;
    const float height = float(control.height()) * RemovalScale;
    control.move(left, top, width, height);
}

void frmRemoval::FillSkinList()
{
    ComboBox.clear();
    for (const QString& file : skinFiles())
        ComboBox.addItem(SkinNameOfFile(file));
}

void frmRemoval::ComboBox_Click()
{
    Label[2].setCaption(QString());
}

void frmRemoval::RemovalButtonPressed(int16_t index)
{
    if (index == 0)
        RemoveChosenSkin();
    else if (index == 1)
        unload();
}

void frmRemoval::ShowMessageLine(const char* key, const char* english)
{
    Label[2].setCaption(ReadLanguageString(QStringLiteral("EXTERNAL"), QLatin1String(key), QLatin1String(english)));
}

void frmRemoval::RemoveChosenSkin()
{
    const QString name = vb::trim(ComboBox.text());
    if (name.isEmpty())
        return;
    if (holdsPattern(name)) {
        ShowMessageLine("9609", "A skin name can not hold * or ?");
        return;
    }
    if (name == CurrentSkinName) {
        ShowMessageLine("9608", "Can not remove Default Skin");
        return;
    }
    const QString file = findSkinFile(name);
    if (file.isEmpty())
        return;
    const QString path = skinFolder() + QLatin1Char('/') + file;
    if (isLibraryOfSkinInUse(path)) {
        ShowMessageLine("9608", "Can not remove Default Skin");
        return;
    }

    bool removed = false;
    if (removalCanSucceed(path) && CallDllRegistration(path, 2) == RegistrationRan) {
        // Only a library whose unregistration ran is renamed and deleted; a
        // leftover of an earlier removal goes first.
        const QString deleted = skinFolder() + QLatin1Char('/') + QLatin1String(kDeletedName);
        QFile::remove(deleted);
        removed = QFile::rename(path, deleted) && QFile::remove(deleted);
    }
    if (removed)
        ShowMessageLine("9606", "Select Skin from the List");
    else
        ShowMessageLine("9607", "Unable to remove Skin");
    FillSkinList();
}
