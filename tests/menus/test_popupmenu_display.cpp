#include "core/globals.h"
#include "core/menuiconstrip.h"
#include "core/skinbinding.h"
#include "menus/clspopupmenu.h"
#include "platform/base/com.h"
#include "platform/win/form.h"
#include "platform/win/popupmenus.h"
#include "platform/win/winproc.h"
#include "skinlib/art/artpalette.h"

#include "menutesting.h"

#include <QApplication>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace pm = platform::menus;
namespace wp = platform::winproc;
using namespace menutesting;

namespace {

// The owner window of the menus; its procedure notes the menu-loop messages.
struct Owner {
    platform::forms::Form form;
    std::vector<uint32_t> loopMessages;

    Owner()
    {
        form.setBorderStyle(platform::forms::BorderStyle::None);
        form.move(1500, 1500, 6000, 4500);
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.window()));
        wp::setWindowProc(form.window(), [this](QWidget* w, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
            if (msg == pm::WM_ENTERMENULOOP || msg == pm::WM_EXITMENULOOP)
                loopMessages.push_back(msg);
            return wp::defWindowProc(w, msg, wParam, lParam);
        });
    }
    ~Owner() { wp::setWindowProc(form.window(), {}); }
    QWidget* window() const { return form.window(); }
};

struct Recorded {
    std::vector<int32_t> clicks;
    std::vector<bool> clickWhileTracking;
    std::vector<int32_t> inits;
};

void record(clsPopupMenu& menu, Recorded& r)
{
    menu.events().Click = [&r](int32_t i) {
        r.clicks.push_back(i);
        r.clickWhileTracking.push_back(pm::isTracking() || !pm::openPopups().empty());
    };
    menu.events().InitPopupMenu = [&r](int32_t i) { r.inits.push_back(i); };
}

// 1 New, 2 separator, 3 More > (4 First, 5 Inner > (6 Alpha, 7 Beta)), 8 Last.
void buildThreeLevels(clsPopupMenu& menu)
{
    menu.Clear();
    menu.AddItem("&New\tCtrl+N", "FILE", 0, 0, 12, true, "FILE_NEW");
    menu.AddItem("-");
    const int32_t more = menu.AddItem("&More");
    menu.AddItem("First", "FILE", 0, more, -1, true, "FIRST");
    const int32_t inner = menu.AddItem("&Inner", "", 0, more);
    menu.AddItem("Alpha", "FILE", 0, inner, 51, true, "ALPHA");
    menu.AddItem("&Beta", "FILE", 0, inner, 51, true, "BETA");
    menu.AddItem("Last", "FILE", 0, 0, -1, true, "LAST");
}

// The vertical centre of the item at a position, all items being standard
// ones except the separators listed.
int rowY(const clsPopupMenu& menu, int position, std::initializer_list<int> separatorsAbove = {})
{
    const int h = menu.StandardItemHeight();
    int y = 2;
    for (int i = 0; i < position; ++i)
        y += std::find(separatorsAbove.begin(), separatorsAbove.end(), i) != separatorsAbove.end() ? 6 : h;
    return y + h / 2;
}

} // namespace

TEST(PopupMenuDisplay, ThreeLevelsChosenByKeysAndByClicks)
{
    Owner owner;
    clsPopupMenu menu;
    menu.sethwndOwner(owner.window());
    menu.setImageList(MenuIconStrip());
    Recorded rec;
    record(menu, rec);

    buildThreeLevels(menu);
    bool subclassedWhileOpen = false;
    {
        Script script({levels(1), check([&] { subclassedWhileOpen = menu.SubClassStatus(); }), key(Qt::Key_Down),
                       key(Qt::Key_Down), key(Qt::Key_Right), levels(2), key(Qt::Key_Down), key(Qt::Key_Right),
                       levels(3), key(Qt::Key_Down), key(Qt::Key_Return)});
        EXPECT_EQ(menu.ShowPopupMenu(1500, 1500), 7);
        EXPECT_TRUE(script.finished());
    }
    EXPECT_TRUE(subclassedWhileOpen);
    EXPECT_FALSE(menu.SubClassStatus());
    EXPECT_EQ(rec.clicks, std::vector<int32_t>{7});
    EXPECT_EQ(rec.clickWhileTracking, std::vector<bool>{false});
    EXPECT_EQ(menu.ItemKey(7), "BETA");
    EXPECT_EQ(owner.loopMessages, (std::vector<uint32_t>{pm::WM_ENTERMENULOOP, pm::WM_EXITMENULOOP}));
    EXPECT_EQ(rec.inits, (std::vector<int32_t>{3, 5}));

    // The same item by the mouse: resting on a head opens its menu, and so
    // does a press on it.
    rec = {};
    buildThreeLevels(menu);
    {
        Script script({levels(1),
                       [&menu] {
                           QWidget* w = popup(0);
                           if (!w)
                               return false;
                           QTest::mouseMove(w->windowHandle(), QPoint(40, rowY(menu, 2, {1})));
                           return true;
                       },
                       levels(2), click(1, rowY(menu, 1)), levels(3), click(2, rowY(menu, 1))});
        EXPECT_EQ(menu.ShowPopupMenu(1500, 1500), 7);
        EXPECT_TRUE(script.finished());
    }
    EXPECT_EQ(rec.clicks, std::vector<int32_t>{7});
    EXPECT_EQ(rec.clickWhileTracking, std::vector<bool>{false});
    EXPECT_FALSE(menu.SubClassStatus());
}

TEST(PopupMenuDisplay, ClosingWithoutAChoiceRaisesNothing)
{
    Owner owner;
    clsPopupMenu menu;
    menu.sethwndOwner(owner.window());
    Recorded rec;
    record(menu, rec);
    const struct {
        const char* what;
        std::function<std::vector<Step>()> steps;
    } cases[] = {
        {"escape", [] { return std::vector<Step>{levels(1), key(Qt::Key_Escape)}; }},
        {"escape from a sub-menu, then from the root",
         [&menu] {
             return std::vector<Step>{levels(1), click(0, rowY(menu, 2, {1})), levels(2), key(Qt::Key_Escape),
                                      levels(1), key(Qt::Key_Escape)};
         }},
        {"press outside",
         [] {
             return std::vector<Step>{levels(1), [] {
                                          QWidget* w = popup(0);
                                          if (!w)
                                              return false;
                                          QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {},
                                                            QPoint(w->width() + 30, w->height() + 30));
                                          return true;
                                      }};
         }},
        {"a disabled head does not open and Enter on it does nothing",
         [&menu] {
             return std::vector<Step>{levels(1), click(0, rowY(menu, 0)), key(Qt::Key_Down), key(Qt::Key_Return),
                                      key(Qt::Key_Right), levels(1), key(Qt::Key_Escape)};
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        buildThreeLevels(menu);
        if (std::string(c.what).find("disabled") != std::string::npos) {
            menu.Clear();
            menu.AddItem("Greyed", "", 0, 0, -1, false, "GREY");
            const int32_t head = menu.AddItem("Head", "", 0, 0, -1, false);
            menu.AddItem("Child", "", 0, head);
        }
        owner.loopMessages.clear();
        rec = {};
        Script script(c.steps());
        EXPECT_EQ(menu.ShowPopupMenu(1500, 1500), 0);
        EXPECT_TRUE(script.finished());
        EXPECT_TRUE(rec.clicks.empty());
        EXPECT_FALSE(menu.SubClassStatus());
        EXPECT_EQ(owner.loopMessages, (std::vector<uint32_t>{pm::WM_ENTERMENULOOP, pm::WM_EXITMENULOOP}));
    }

    // An empty menu shows nothing at all.
    menu.Clear();
    owner.loopMessages.clear();
    EXPECT_EQ(menu.ShowPopupMenu(1500, 1500), 0);
    EXPECT_TRUE(owner.loopMessages.empty());
    EXPECT_FALSE(menu.SubClassStatus());
}

TEST(PopupMenuDisplay, MnemonicsExecuteByPositionInTheirOwnMenu)
{
    Owner owner;
    clsPopupMenu menu;
    menu.sethwndOwner(owner.window());
    Recorded rec;
    record(menu, rec);
    menu.AddItem("&Open", "", 0, 0, -1, false, "OPEN"); // disabled: typed, it is only selected
    const int32_t head = menu.AddItem("&Send");
    menu.AddItem("-", "", 0, head);
    const int32_t go = menu.AddItem("&Go", "M", 0, head, -1, true, "GO");
    menu.AddItem("G&one", "M", 0, head, -1, true, "GONE");
    Script script({levels(1), typeText("o"), key(Qt::Key_Return), levels(1), typeText("s"), levels(2), typeText("g")});
    EXPECT_EQ(menu.ShowPopupMenu(1500, 1500), go);
    EXPECT_EQ(rec.clicks, std::vector<int32_t>{go});
}

TEST(PopupMenuDisplay, ASubMenuFilledAsItOpensShowsItsNewItems)
{
    Owner owner;
    clsPopupMenu menu;
    menu.sethwndOwner(owner.window());
    Recorded rec;
    record(menu, rec);
    const int32_t folder = menu.AddItem("Favorites", "", 0, 0, 1);
    menu.AddItem("(empty)", "", 0, folder);
    menu.AddItem("Other", "FAVORITES", 0, 0, 3, true, "OTHER");
    const uintptr_t sub = menu.Record(folder)->currentId;
    menu.events().InitPopupMenu = [&](int32_t parent) {
        rec.inits.push_back(parent);
        EXPECT_EQ(menu.ClearSubMenusOfItem(parent), parent);
        menu.AddItem("Page A", "FAVORITES", 0, parent, 3, true, "");
        menu.AddItem("Page B", "FAVORITES", 0, parent, 3, true, "");
        menu.AddItem("Page C", "FAVORITES", 0, parent, 3, true, "");
    };
    int shownHeight = 0;
    Script script({levels(1), key(Qt::Key_Down), key(Qt::Key_Right), levels(2),
                   check([&] {
                       if (QWidget* w = popup(1))
                           shownHeight = w->height();
                   }), key(Qt::Key_Down), key(Qt::Key_Return)});
    const int32_t chosen = menu.ShowPopupMenu(1500, 1500);
    EXPECT_EQ(rec.inits, std::vector<int32_t>{folder});
    EXPECT_EQ(menu.Caption(chosen), "Page B");
    EXPECT_EQ(rec.clicks, std::vector<int32_t>{chosen});
    EXPECT_EQ(menu.HierarchyPath(chosen, 1, "\\"), "Favorites\\Page B");
    EXPECT_EQ(shownHeight, 3 * menu.StandardItemHeight() + 4);
    // The sub-menu that was about to show is the one that showed.
    EXPECT_EQ(menu.Record(folder)->currentId, sub);
    EXPECT_TRUE(pm::isMenu(sub));
    EXPECT_EQ(menu.Count(), 5);
}

TEST(PopupMenuDisplay, ItemsAreMeasuredWithTheMenuFont)
{
    const QFont saved = QApplication::font("QMenu");
    Owner owner;
    const struct {
        int pixelSize;
    } fonts[] = {{9}, {30}};
    for (const auto& f : fonts) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(f.pixelSize);
        QApplication::setFont(font, "QMenu");
        clsPopupMenu menu;
        menu.sethwndOwner(owner.window());
        const int h = QFontMetrics(menu.MenuFont()).height();
        EXPECT_EQ(menu.StandardItemHeight(), h < 19 ? 22 : h + 6) << f.pixelSize;

        const QString longText(80, QLatin1Char('w'));
        menu.AddItem(longText);
        menu.AddItem("-");
        const int32_t withShortcut = menu.AddItem("Short\tAlt+Left Arrow");
        QSize shown;
        Script script({levels(1), check([&] {
            if (QWidget* w = popup(0))
                shown = w->size();
        }), key(Qt::Key_Escape)});
        menu.ShowPopupMenu(1500, 1500);
        const QFontMetrics fm(menu.MenuFont());
        auto width = [&fm](const QString& t) { return fm.size(Qt::TextShowMnemonic, t).width(); };
        const int textWidth = width(QString(60, QLatin1Char('w')) + QStringLiteral(" ..."));
        const int column = 32 + textWidth + 8;
        EXPECT_EQ(menu.Record(withShortcut)->shortcutColumn, column);
        EXPECT_EQ(menu.Record(1)->shortcutColumn, column);
        EXPECT_EQ(shown.width(), column + width(QStringLiteral("Alt+Left Arrow")) + 16 + 4);
        EXPECT_EQ(shown.height(), 2 * menu.StandardItemHeight() + 6 + 4);
    }
    QApplication::setFont(saved, "QMenu");
}

TEST(PopupMenuDisplay, ASkinnedMenuInBothSkins)
{
    namespace com = platform::com;
    ASSERT_EQ(com::registerServer(QStringLiteral(Z5_STAGE_DIR "/Skin/SK_Morvane_1.dll")).status,
              com::RegistrationStatus::Done);
    ASSERT_EQ(com::registerServer(QStringLiteral(Z5_TEST_SKIN_DIR "/SK_Blue_Sky.dll")).status,
              com::RegistrationStatus::Done);
    const struct {
        const char* skin;
        const char* file;
    } skins[] = {{"Morvane 1", "menu_morvane_1.png"}, {"Blue Sky", "menu_blue_sky.png"}};
    Owner owner;
    for (const auto& s : skins) {
        SCOPED_TRACE(s.skin);
        SkinName = QString::fromUtf8(s.skin);
        ASSERT_TRUE(BindSkinLibrary());
        PopupMenuColor = GetSkinString(121);
        ASSERT_FALSE(PopupMenuColor.isEmpty());
        clsPopupMenu menu;
        menu.sethwndOwner(owner.window());
        menu.setImageList(MenuIconStrip());
        menu.AddItem("&New Tab\tCtrl+N", "FILE", 0, 0, 12, true, "FILE_NEW");
        menu.AddItem("&Open ...\tCtrl+O", "FILE", 0, 0, 13, true, "FILE_OPEN");
        menu.AddItem("-");
        menu.AddItem("&Print ...\tCtrl+P", "FILE", 0, 0, 17, false, "FILE_PRINT");
        menu.AddItem("&Status Bar", "VIEW", 0, 0, 7, true, "VIEW_STATUS");
        const int32_t head = menu.AddItem("&Text Size", "", 0, 0, 39);
        menu.AddItem("&Larger", "VIEW", 0, head, 6, true, "SIZE_L");
        menu.AddItem("&Medium", "VIEW", 0, head, 8, true, "SIZE_M");
        menu.AddItem("&Smaller", "VIEW", 0, head, 6, true, "SIZE_S");
        menu.AddItem("-");
        menu.AddItem("E&xit", "FILE", 0, 0, 11, true, "FILE_CLOSE");
        QImage shot;
        QImage root;
        Script script({levels(1), key(Qt::Key_Up), key(Qt::Key_Up), key(Qt::Key_Right), levels(2), key(Qt::Key_Down),
                       check([&] {
                           QTest::qWait(50);
                           shot = screenPicture(owner.window());
                           if (QWidget* w = popup(0))
                               root = w->grab().toImage();
                       }),
                       key(Qt::Key_Escape), key(Qt::Key_Escape)});
        EXPECT_EQ(menu.ShowPopupMenu(300, 300), 0);
        ASSERT_FALSE(shot.isNull());
        EXPECT_TRUE(shot.save(screenshotDir() + QLatin1Char('/') + QLatin1String(s.file)));

        // The icon column of an item without icon in the skin's menu colour,
        // the head of the open sub-menu in the selection colour.
        const int h = menu.StandardItemHeight();
        const QColor column = skinart::colourFromSkinString(PopupMenuColor);
        EXPECT_EQ(root.pixelColor(2 + h, 2 + 2 * h + 1).rgb(), column.rgb()); // the separator's column
        const int headY = 2 + 4 * h + 6 + h / 2;
        EXPECT_EQ(root.pixelColor(root.width() - 15, headY).rgb(), QColor(94, 123, 183).rgb());
        EXPECT_EQ(root.pixelColor(root.width() - 15, 2 + h / 2).rgb(), QColor(Qt::white).rgb());
        EXPECT_EQ(root.pixelColor(3, 2 + h - 2).rgb(), column.rgb());
    }
    PopupMenuColor.clear();
}

TEST(PopupMenuDisplay, AShortcutPressedWhileOpenClosesTheMenuBeforeItsCommand)
{
    Owner owner;
    clsPopupMenu menu;
    menu.sethwndOwner(owner.window());
    Recorded rec;
    record(menu, rec);
    menu.AddItem("Open");
    const int32_t leave = menu.AddItem("Leave Full Screen\tEsc", "VIEW", 0, 0, -1, true, "LEAVE");
    Script script({levels(1), key(Qt::Key_Down), key(Qt::Key_Escape)});
    EXPECT_EQ(menu.ShowPopupMenu(1500, 1500), 0);
    EXPECT_TRUE(script.finished());
    EXPECT_FALSE(menu.SubClassStatus());
    EXPECT_EQ(rec.clicks, std::vector<int32_t>{leave});
    EXPECT_EQ(rec.clickWhileTracking, std::vector<bool>{false});
}
