#include "dialogs/frmreferences.h"

#include "core/fileclasses.h"
#include "core/globals.h"
#include "core/language.h"
#include "core/resourcepictures.h"
#include "core/scaling.h"
#include "core/shelldialogs.h"
#include "core/shellnames.h"
#include "core/skinnedframe.h"
#include "dialogs/contentpage.h"
#include "dialogs/keyboardpage.h"
#include "dialogs/optionpages.h"
#include "dialogs/proxypage.h"
#include "platform/win/twips.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <utility>
#include <vector>

using namespace platform::forms;

namespace {

// The window as designed, in twips at 15 twips per pixel.
constexpr double kWindowWidth = 9240;
constexpr double kWindowHeight = 6780;
constexpr double kMargin = 240;       // from every edge, and of buttons from the right
constexpr double kButtonGap = 120;    // between the buttons of the row
constexpr double kRowTop = 6240;      // the OK, Cancel, Apply row
constexpr double kPageLeft = 2640;    // the page containers
constexpr double kPageTop = 240;
constexpr double kPageWidth = 6360;
constexpr double kPageHeight = 5760;
constexpr double kPushWidth = 1500;   // bitmaps 101-104: 100 x 23 pixels
constexpr double kPushHeight = 345;
constexpr double kSmallWidth = 480;   // bitmaps 105-112: 32 x 21 pixels
constexpr double kSmallHeight = 315;
// Boxes beside the small buttons, and the list and boxes beside Add and
// Remove, end short of where those buttons go at a scale of 1.25 too.
constexpr double kBoxWidth = 5040;
constexpr double kListWidth = 3765;
// Text is sized in twips like everything else, so that the pages keep their
// proportions on a screen of any scale: 11 pixels at 15 twips per pixel.
constexpr double kTextTwips = 165;
constexpr double kHeadingTwips = 195;

// The page list's colours: &HC00000 and, under the pointer, &HFF8E42.
const QColor kTabColor(0x00, 0x00, 0xC0);
const QColor kTabHoverColor(0x42, 0x8E, 0xFF);
const QColor kHeadingColor(0x2E, 0x4C, 0x8C);

QString lang(const char* key, const char* english)
{
    return GetLangString(QStringLiteral("FORM-OPTIONS"), QLatin1String(key), QLatin1String(english));
}

QFont textFont(double twips, bool bold)
{
    QFont f = QApplication::font();
    f.setPixelSize(std::max(6, toPixelsY(twips)));
    f.setBold(bold);
    return f;
}

// The marker beside each entry of the page list.
QPixmap pageMarker()
{
    QPixmap marker(9, 9);
    marker.fill(Qt::transparent);
    QPainter p(&marker);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath arrow;
    arrow.moveTo(1.5, 0.5);
    arrow.lineTo(8, 4.5);
    arrow.lineTo(1.5, 8.5);
    arrow.closeSubpath();
    p.fillPath(arrow, QColor(0x5E, 0x7B, 0xB7));
    return marker;
}

} // namespace

frmReferences::frmReferences(MainSettings& options)
    : options_(options),
      Buttons1(cmdButton1, cmdCaption, [this](int index) { OptionsButtonPressed(index); }, 101),
      Buttons2(cmdButton2, cmdCaption2, [this](int index) { OptionsBrowsePressed(index); }, 105),
      Buttons3(cmdButton3, cmdCaption3, [this](int index) { OptionsUseCurrentPressed(index); }, 109)
{
    QString caption = GetLangString(QStringLiteral("MENU-02"), QStringLiteral("0206"), QStringLiteral("Preferences ..."));
    while (caption.endsWith(QLatin1Char('.')) || caption.endsWith(QLatin1Char(' ')))
        caption.chop(1);
    setCaption(caption.remove(QLatin1Char('&')));
    setBorderStyle(BorderStyle::FixedDialog);
    setStartUpPosition(StartUpPosition::CenterOwner);
    setWidth(kWindowWidth);
    setHeight(kWindowHeight);
    setPicture(SkinnedPanel(toPixels(kWindowWidth, kWindowHeight), PanelStyle::Light));
    window()->setFont(textFont(kTextTwips, false));
    createControls();
    wireEvents();
}

frmReferences::~frmReferences() = default;

void frmReferences::createControls()
{
    const QColor text = PanelTextColor(PanelStyle::Light);
    Form_BackGround = std::make_unique<platform::forms::Label>(*this, QStringLiteral("Form_BackGround"));
    Form_BackGround->move(0, 0, kWindowWidth, kWindowHeight);
    PageList = std::make_unique<PictureBox>(*this, QStringLiteral("PageList"));
    PageList->move(kMargin, 600, kPageLeft - 2 * kMargin, 6 * 390 + 405);

    platform::forms::Label* category = Label.create(14);
    category->move(kMargin, kPageTop, kPageLeft - 2 * kMargin, 285);
    category->setFont(textFont(kHeadingTwips, true));
    category->setForeColor(kHeadingColor);
    for (int i = 0; i <= 6; ++i) {
        Image* marker = Image1.create(i);
        marker->move(330, 705 + i * 390);
        platform::forms::Label* tab = cmdTab.create(i);
        tab->move(600, 660 + i * 390, kPageLeft - 720, 285);
        tab->setForeColor(kTabColor);
        tab->setMousePointer(99);
    }
    Image1[0].setPicture(pageMarker());

    const QPixmap page = SkinnedPanel(toPixels(kPageWidth, kPageHeight), PanelStyle::Light);
    for (int i = 0; i <= 6; ++i) {
        PictureBox* frame = Frame.create(i);
        frame->move(kPageLeft, kPageTop, kPageWidth, kPageHeight);
        frame->setPicture(page);
        frame->setTabStop(false);
    }
    createPageControls();

    // The skinned buttons: the row on the window, the others on their pages.
    static const struct {
        int index;
        int page; // -1: the window
        double top;
    } pushButtons[] = {{0, -1, kRowTop}, {1, -1, kRowTop}, {2, -1, kRowTop}, {3, PageContent, 3885},
                       {4, PageContent, 930}, {5, PageQuickLaunch, 1440}, {6, PageQuickLaunch, 2940}};
    for (const auto& b : pushButtons) {
        PictureBox* button = cmdButton1.create(b.index, b.page < 0 ? nullptr : &Frame[b.page]);
        button->move(0, b.top, kPushWidth, kPushHeight);
        platform::forms::Label* caption = cmdCaption.create(b.index, button);
        caption->setAutoSize(true);
        caption->setForeColor(text);
    }
    static const struct {
        int index;
        int page;
        double top;
    } browseButtons[] = {{0, PageQuickLaunch, 960}, {1, PageQuickLaunch, 2460}, {2, PageKeyboard, 3300}, {3, PageStartPages, 2760}},
      currentButtons[] = {{0, PageStartPages, 1320}, {1, PageQuickLaunch, 3960}, {2, PageKeyboard, 2400}};
    for (const auto& b : browseButtons)
        cmdButton2.create(b.index, &Frame[b.page])->move(0, b.top, kSmallWidth, kSmallHeight);
    for (const auto& b : currentButtons)
        cmdButton3.create(b.index, &Frame[b.page])->move(0, b.top, kSmallWidth, kSmallHeight);

    for (Control* c : controls())
        if (dynamic_cast<platform::forms::Label*>(c) || dynamic_cast<ButtonControl*>(c))
            if (c->name() != QLatin1String("cmdTab") && c->name() != QLatin1String("SLabel")
                && !(c->name() == QLatin1String("Label") && c->index() == 14))
                c->setForeColor(text);
}

void frmReferences::createPageControls()
{
    const auto heading = [this](int index, int page, double top, bool main) {
        platform::forms::Label* l = SLabel.create(index, &Frame[page]);
        l->move(kMargin, top, kPageWidth - 2 * kMargin, main ? 330 : 285);
        l->setFont(textFont(main ? kHeadingTwips : kTextTwips, true));
        l->setForeColor(kHeadingColor);
    };
    const auto label = [this](ControlArray<platform::forms::Label>& array, int index, int page, double left, double top,
                              double width) {
        array.create(index, &Frame[page])->move(left, top, width, 255);
    };
    const auto check = [this](ControlArray<CheckBox>& array, int index, int page, double left, double top) {
        array.create(index, &Frame[page])->move(left, top, kPageWidth - kMargin - left, 300);
    };
    const auto box = [this](ControlArray<TextBox>& array, int index, int page, double left, double top, double width) {
        array.create(index, &Frame[page])->move(left, top, width, 315);
    };

    // Page 0, General.
    heading(12, PageGeneral, 150, true);
    for (int i = 0; i <= 6; ++i)
        check(General_CheckBox, i, PageGeneral, 360, 600 + i * 360);
    heading(13, PageGeneral, 3420, false);
    label(Label, 12, PageGeneral, 360, 3885, 3840);
    General_TextBox = std::make_unique<TextBox>(*this, QStringLiteral("General_TextBox"), -1, &Frame[PageGeneral]);
    General_TextBox->move(4260, 3840, 600, 315);
    label(Label, 13, PageGeneral, 4980, 3885, 1140);

    // Page 1, Start Pages.
    heading(0, PageStartPages, 150, true);
    heading(7, PageStartPages, 600, false);
    check(StartPages_CheckBox, 0, PageStartPages, 360, 960);
    box(StartPages_TextBox, 0, PageStartPages, 360, 1320, kBoxWidth);
    heading(10, PageStartPages, 2040, false);
    check(StartPages_CheckBox, 1, PageStartPages, 360, 2400);
    box(StartPages_TextBox, 1, PageStartPages, 360, 2760, kBoxWidth);

    // Page 2, Quick Launch.
    heading(2, PageQuickLaunch, 150, true);
    heading(6, PageQuickLaunch, 600, false);
    box(QuickLaunch_TextBox, 0, PageQuickLaunch, 360, 960, kBoxWidth);
    heading(3, PageQuickLaunch, 2100, false);
    box(QuickLaunch_TextBox, 1, PageQuickLaunch, 360, 2460, kBoxWidth);
    heading(1, PageQuickLaunch, 3600, false);
    box(QuickLaunch_TextBox, 2, PageQuickLaunch, 360, 3960, kBoxWidth);

    // Page 3, Keyboard Shortcuts.
    heading(9, PageKeyboard, 150, true);
    label(Label, 2, PageKeyboard, 360, 660, 900);
    ComboBox* keys = KeyBoard_ComboBox.create(0, &Frame[PageKeyboard]);
    keys->setStyle(ComboStyle::DropDownList);
    keys->move(1320, 600, 1500, 315);
    for (int i = 1; i <= 12; ++i)
        keys->addItem(QStringLiteral("F") + QString::number(i));
    ComboBox* actions = KeyBoard_ComboBox.create(1, &Frame[PageKeyboard]);
    actions->setStyle(ComboStyle::DropDownList);
    actions->move(720, 1500, kBoxWidth - 360, 315);
    static const double optionTops[] = {1140, 2040, 2940, 3840};
    for (int i = 0; i <= 3; ++i)
        KeyBoard_Option.create(i, &Frame[PageKeyboard])->move(360, optionTops[i], 5160, 300);
    box(KeyBoard_TextBox, 0, PageKeyboard, 720, 2400, kBoxWidth - 360);
    box(KeyBoard_TextBox, 1, PageKeyboard, 720, 3300, kBoxWidth - 360);

    // Page 4, Proxy Settings.
    heading(11, PageProxy, 150, true);
    check(Proxy_CheckBox, 0, PageProxy, kMargin, 570);
    label(Proxy_Label, 0, PageProxy, 360, 960, 5760);
    label(Proxy_Label, 1, PageProxy, 1560, 1260, 3000);
    label(Proxy_Label, 2, PageProxy, 4680, 1260, 960);
    for (int row = 0; row <= 4; ++row) {
        const double top = 1560 + row * 375;
        label(Proxy_Label, 3 + row, PageProxy, 480, top + 45, 1020);
        box(Proxy_TextBox, 2 * row, PageProxy, 1560, top, 3000);
        box(Proxy_TextBox, 2 * row + 1, PageProxy, 4680, top, 960);
    }
    check(Proxy_CheckBox, 1, PageProxy, 480, 3480);
    label(Proxy_Label, 8, PageProxy, 360, 3900, 5760);
    label(Proxy_Label, 9, PageProxy, 480, 4185, 5640);
    box(Proxy_TextBox, 10, PageProxy, 480, 4470, 5160);
    label(Proxy_Label, 10, PageProxy, 480, 4830, 5640);
    check(Proxy_CheckBox, 2, PageProxy, 480, 5160);

    // Page 5, Content.
    heading(4, PageContent, 150, true);
    heading(5, PageContent, 600, false);
    Content_ListView = std::make_unique<ListView>(*this, QStringLiteral("Content_ListView"), -1, &Frame[PageContent]);
    Content_ListView->move(360, 930, kListWidth, 1920);
    Content_ListView->setColumnWidth(0, kListWidth - 90);
    Content_Label = std::make_unique<platform::forms::Label>(*this, QStringLiteral("Content_Label"), -1, &Frame[PageContent]);
    Content_Label->move(360, 3045, 2340, 255);
    box(Content_TextBox, 2, PageContent, 2760, 3000, kListWidth + 360 - 2760);
    label(Label, 8, PageContent, 360, 3600, kListWidth);
    box(Content_TextBox, 0, PageContent, 360, 3900, kListWidth);
    Content_CheckBox = std::make_unique<CheckBox>(*this, QStringLiteral("Content_CheckBox"), -1, &Frame[PageContent]);
    Content_CheckBox->move(360, 4380, 2340, 300);
    box(Content_TextBox, 1, PageContent, 2760, 4380, kListWidth + 360 - 2760);
    for (int i : {1, 2}) {
        Content_TextBox[i].setPasswordChar(QStringLiteral("*"));
        Content_TextBox[i].setMaxLength(20);
    }
    // Until a protected entry is chosen.
    Content_Label->setEnabled(false);
    Content_TextBox[2].setEnabled(false);

    // Page 6, Clean Up.
    heading(8, PageCleanUp, 150, true);
    check(Cleanup_CheckBox, 0, PageCleanUp, kMargin, 600);
    static const double cleanupLefts[] = {0, 600, 960, 600, 600, 600};
    for (int i = 1; i <= 5; ++i)
        check(Cleanup_CheckBox, i, PageCleanUp, cleanupLefts[i], 660 + i * 360);
    Cleanup_LabelMessage = std::make_unique<platform::forms::Label>(*this, QStringLiteral("Cleanup_LabelMessage"), -1,
                                                                     &Frame[PageCleanUp]);
    Cleanup_LabelMessage->move(600, 3000, 5400, 255);
}

void frmReferences::wireEvents()
{
    events().load = [this] { Form_Load(); };
    cmdTab.events().click = [this](int index) { cmdTab_Click(index); };
    cmdTab.events().mouseMove = [this](int index, int b, int s, double x, double y) { cmdTab_MouseMove(index, b, s, x, y); };
    Form_BackGround->events().mouseMove = [this](int b, int s, double x, double y) { Form_BackGround_MouseMove(b, s, x, y); };
    PageList->events().mouseMove = [this](int b, int s, double x, double y) { Form_BackGround_MouseMove(b, s, x, y); };
    PageList->events().keyDown = [this](int keyCode, int shift) { PageList_KeyDown(keyCode, shift); };
    PageList->events().gotFocus = [this] { showPageListFocus(); };
    PageList->events().lostFocus = [this] { showPageListFocus(); };
    // Escape and the window's close button cancel, as Cancel does.
    events().keyDown = [this](int keyCode, int) {
        if (keyCode == 27)
            CloseOptions(*this);
    };
    events().queryUnload = [this](bool& cancel, int mode) {
        if (mode == UnloadFromControlMenu) {
            cancel = true;
            CloseOptions(*this);
        }
    };
    WireOptionPages(*this);
    WireKeyboardPage(*this);
    WireProxyPage(*this);
    WireContentPage(*this);
}

void frmReferences::Form_Load()
{
    // 1. Captions: the page list, then the pages in page order.
    Label[14].setCaption(lang("6200", "Category"));
    static const char* const tabs[][2] = {{"6201", "General"},      {"6202", "Start Pages"},    {"6203", "Quick Launch"},
                                          {"6204", "Keyboard Shortcuts"}, {"6205", "Proxy Settings"}, {"6206", "Content"},
                                          {"6207", "Clean Up"}};
    for (int i = 0; i <= 6; ++i)
        cmdTab[i].setCaption(lang(tabs[i][0], tabs[i][1]));
    CaptionOptionPage(*this, PageGeneral);
    CaptionOptionPage(*this, PageStartPages);
    CaptionOptionPage(*this, PageQuickLaunch);
    CaptionKeyboardPage(*this);
    CaptionProxyPage(*this);
    CaptionContentPage(*this);
    CaptionOptionPage(*this, PageCleanUp);

    // 2. The page list's markers.
    for (int i = 1; i <= 6; ++i)
        Image1[i].setPicture(Image1[0].picture());

    // 3. Button captions.
    const auto button = [](const char* key, const char* english) {
        return GetLangString(QStringLiteral("BUTTON"), QLatin1String(key), QLatin1String(english));
    };
    cmdCaption[0].setCaption(button("4101", "OK"));
    cmdCaption[1].setCaption(button("4102", "Cancel"));
    cmdCaption[2].setCaption(button("4107", "Apply"));
    cmdCaption[3].setCaption(button("4105", "Add"));
    cmdCaption[4].setCaption(button("4106", "Remove"));
    cmdCaption[5].setCaption(lang("620304", "Use Default"));
    cmdCaption[6].setCaption(lang("620304", "Use Default"));

    // 4. Button pictures, each array from its first member.
    cmdButton1[0].setPicture(ProgramBitmap(101));
    for (int i = 1; i <= 6; ++i)
        cmdButton1[i].setPicture(cmdButton1[0].picture());
    cmdButton2[0].setPicture(ProgramBitmap(105));
    for (int i = 1; i <= 3; ++i)
        cmdButton2[i].setPicture(cmdButton2[0].picture());
    cmdButton3[0].setPicture(ProgramBitmap(109));
    for (int i = 1; i <= 2; ++i)
        cmdButton3[i].setPicture(cmdButton3[0].picture());

    // 5. The bitmaps keep their pixel size on a screen of another scale.
    if (TwipsScale != 1.0f) {
        for (int i = 0; i <= 6; ++i)
            ScaleWindowSize(cmdButton1[i]);
        for (int i = 0; i <= 3; ++i)
            ScaleWindowSize(cmdButton2[i]);
        for (int i = 0; i <= 2; ++i)
            ScaleWindowSize(cmdButton3[i]);
    }

    // 6. Placement: captions centred on their buttons, the row from the
    // window's right edge, the page buttons from the page's right edge.
    for (int i = 0; i <= 6; ++i) {
        cmdCaption[i].setLeft((cmdButton1[i].width() - cmdCaption[i].width()) / 2);
        cmdCaption[i].setTop((cmdButton1[i].height() - cmdCaption[i].height()) / 2 - 15);
    }
    cmdButton1[2].setLeft(scaleWidth() - kMargin - cmdButton1[2].width());
    cmdButton1[1].setLeft(cmdButton1[2].left() - kButtonGap - cmdButton1[1].width());
    cmdButton1[0].setLeft(cmdButton1[1].left() - kButtonGap - cmdButton1[0].width());
    cmdButton1[3].setLeft(Frame[0].width() - kMargin - cmdButton1[3].width());
    for (int i = 4; i <= 6; ++i)
        cmdButton1[i].setLeft(cmdButton1[3].left());
    for (int i = 0; i <= 3; ++i)
        cmdButton2[i].setLeft(Frame[0].width() - kMargin - cmdButton2[i].width());
    for (int i = 0; i <= 2; ++i)
        cmdButton3[i].setLeft(Frame[0].width() - kMargin - cmdButton3[i].width());

    // 7. The first page shows.
    Frame[0].setVisible(true);
    for (int i = 1; i <= 6; ++i)
        Frame[i].setVisible(false);

    // 8. The values, in page order but the keyboard, content and proxy pages
    // before Clean Up.
    FillOptionPage(*this, PageGeneral);
    FillOptionPage(*this, PageStartPages);
    FillOptionPage(*this, PageQuickLaunch);
    FillKeyActions(*this);
    LoadContentList(*this);
    LoadProxySettings(*this);
    FillOptionPage(*this, PageCleanUp);
    Cleanup_LabelMessage->setCaption(QString());

    // What the pages hold now is what saving leaves alone.
    RememberPageSettings(*this);

    arrangeTabOrder();

    // 9. Filling raised the pages' change events: Apply starts disabled.
    SetApplyEnabled(false);
    SetRemoveEnabled(*this, false);
}

void frmReferences::cmdTab_Click(int index)
{
    if (index < 0 || index > 6)
        return;
    for (int i = 0; i <= 6; ++i)
        Frame[i].setVisible(false);
    Frame[index].setVisible(true);
    SetApplyEnabled(false);
    if (index == PageCleanUp) {
        // Apply runs the clean-up now.
        Cleanup_LabelMessage->setCaption(QString());
        SetApplyEnabled(true);
    }
    CurrentPage = static_cast<int16_t>(index);
    PageShown[index] = true;
}

void frmReferences::PageList_KeyDown(int keyCode, int)
{
    int page = CurrentPage;
    switch (keyCode) {
    case 37: // Left
    case 38: // Up
        page = std::max(0, page - 1);
        break;
    case 39: // Right
    case 40: // Down
        page = std::min(6, page + 1);
        break;
    case 36: page = 0; break; // Home
    case 35: page = 6; break; // End
    default: return;
    }
    if (page != CurrentPage)
        cmdTab_Click(page);
    showPageListFocus();
}

void frmReferences::showPageListFocus()
{
    QWidget* list = PageList->widget();
    if (!list->hasFocus()) {
        PageList->setPicture(QPixmap());
        return;
    }
    // A dotted frame around the current page's name.
    QPixmap frame(list->size());
    frame.fill(Qt::transparent);
    QPainter p(&frame);
    const QWidget* tab = cmdTab[CurrentPage].widget();
    const QRect r = QRect(list->mapFrom(window(), tab->mapTo(window(), QPoint(0, 0))), tab->size()).adjusted(-3, -1, 2, 0);
    p.setPen(QPen(kTabColor, 1, Qt::DotLine));
    p.drawRect(r.intersected(frame.rect().adjusted(0, 0, -1, -1)));
    p.end();
    PageList->setPicture(frame);
}

void frmReferences::arrangeTabOrder()
{
    std::vector<QWidget*> chain{PageList->widget()};
    for (int page = 0; page <= 6; ++page) {
        std::vector<Control*> onPage;
        for (Control* c : controls())
            if (c->container() == &Frame[page] && (c->widget()->focusPolicy() & Qt::TabFocus))
                onPage.push_back(c);
        // Rows first: controls whose tops lie within a line's height of each
        // other (a box and the button beside it) are one row, read left to right.
        std::sort(onPage.begin(), onPage.end(), [](const Control* a, const Control* b) { return a->top() < b->top(); });
        std::vector<std::pair<double, Control*>> ordered;
        double rowTop = -1e9;
        for (Control* c : onPage) {
            if (c->top() - rowTop > 150)
                rowTop = c->top();
            ordered.emplace_back(rowTop, c);
        }
        std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) {
            return a.first != b.first ? a.first < b.first : a.second->left() < b.second->left();
        });
        for (const auto& entry : ordered)
            chain.push_back(entry.second->widget());
    }
    for (int i = 0; i <= 2; ++i)
        chain.push_back(cmdButton1[i].widget());
    for (size_t i = 0; i + 1 < chain.size(); ++i)
        QWidget::setTabOrder(chain[i], chain[i + 1]);
}

void frmReferences::cmdTab_MouseMove(int index, int, int, double, double)
{
    for (int i = 0; i <= 6; ++i)
        cmdTab[i].setForeColor(kTabColor);
    if (platform::forms::Label* tab = cmdTab.at(index))
        tab->setForeColor(kTabHoverColor);
}

void frmReferences::Form_BackGround_MouseMove(int, int, double, double)
{
    for (int i = 0; i <= 6; ++i)
        cmdTab[i].setForeColor(kTabColor);
}

void frmReferences::SetApplyEnabled(bool flag)
{
    cmdButton1[2].setEnabled(flag);
    cmdCaption[2].setEnabled(flag);
}

bool frmReferences::ApplyEnabled() const
{
    return cmdButton1[2].enabled();
}

void frmReferences::OptionsButtonPressed(int index)
{
    switch (index) {
    case 0: ApplyAllOptions(*this); break;
    case 1: CloseOptions(*this); break;
    case 2: ApplyCurrentPage(*this); break;
    case 3: AddContentItem(*this); break;
    case 4: RemoveContentItem(*this); break;
    // The boxes' own change events enable Apply.
    case 5: QuickLaunch_TextBox[0].setText(GetSpecialFolder(4)); break;
    case 6: QuickLaunch_TextBox[1].setText(GetMailProgram()); break;
    default: break;
    }
}

void frmReferences::OptionsBrowsePressed(int index)
{
    switch (index) {
    case 0: BrowseQuickLaunch(*this, 0); break;
    case 1: BrowseQuickLaunch(*this, 1); break;
    case 2: BrowseKeyProgram(*this); break;
    case 3: SelectStartGroup(*this); break;
    default: break;
    }
}

void frmReferences::OptionsUseCurrentPressed(int index)
{
    switch (index) {
    case 0: StartPages_TextBox[0].setText(DialogUrl); break;
    case 1: QuickLaunch_TextBox[2].setText(DialogUrl); break;
    case 2: KeyBoard_TextBox[0].setText(DialogUrl); break;
    default: break;
    }
    SetApplyEnabled(true);
}
