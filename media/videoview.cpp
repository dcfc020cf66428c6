#include "media/videoview.h"

#include "contracts/services.h"
#include "mainwindow/frmexplorer.h"
#include "media/playcontrol.h"
#include "platform/base/vbrt.h"
#include "platform/win/widgethandles.h"
#include "platform/win/controls.h"
#include "platform/win/twips.h"

#include <QColor>
#include <QStringList>

namespace forms = platform::forms;

namespace {

// Largest side of the displayed video in pixels, and its largest area as a
// multiple of the video area's.
constexpr float kMaxSidePixels = 32767;
constexpr float kMaxAreaFactor = 8;

// The number of one field of a reply ("" or not a number: 0).
float field(const QStringList& parts, int i)
{
    const auto v = vb::toNumber(parts.value(i));
    return v ? static_cast<float>(*v) : 0.0f;
}

} // namespace

forms::PictureBox& VideoView::area()
{
    frmExplorer& f = m_.f;
    if (!f.PicHolder.at(2)) {
        forms::PictureBox& a = *f.PicHolder.create(2, &f.PicHolder[0]);
        a.setTabStop(false);
        a.setBackColor(QColor(0, 0, 0));
        a.setVisible(false);
        forms::PictureBox& h = *f.PicHolder.create(3, &a);
        h.setTabStop(false);
        h.setBackColor(QColor(0, 0, 0));
    }
    return f.PicHolder[2];
}

forms::PictureBox& VideoView::holder()
{
    area();
    return m_.f.PicHolder[3];
}

quintptr VideoView::WindowHandle()
{
    return platform::widgethandles::handleOf(holder().widget());
}

void VideoView::HideVideoArea(bool clearMark)
{
    if (m_.f.PicHolder.at(2) && area().visible())
        area().setVisible(false);
    if (clearMark)
        VideoAreaMark.clear();
}

bool VideoView::destination(float& width, float& height)
{
    const QStringList parts = m_.queryText(QStringLiteral("where Z5Video destination")).split(QLatin1Char(' '));
    width = field(parts, 2);
    height = field(parts, 3);
    return width > 0;
}

bool VideoView::ReadVideoNativeSize()
{
    float w = 0;
    float h = 0;
    if (!destination(w, h))
        return false;
    const auto tw = static_cast<float>(forms::toTwipsX(w));
    const auto th = static_cast<float>(forms::toTwipsY(h));
    holder().move(holder().left(), holder().top(), tw, th);
    VideoNativeSize = {vb::numberText(tw), vb::numberText(th)};
    return true;
}

void VideoView::placeArea()
{
    frmExplorer& f = m_.f;
    const int16_t b = f.ListViewerBrowser[2];
    for (forms::Control* c : f.controls()) {
        if (c->name() == QLatin1String("WBMAIN") && c->index() == b) {
            area().move(c->left(), c->top(), c->width(), c->height());
            break;
        }
    }
    area().setVisible(true);
    area().zOrder(0);
    if (f.Layout.ViewMode() > 3) {
        for (int i : {1, 2})
            if (auto* bar = f.SPLITTER2.at(i))
                bar->zOrder(0);
    }
    centre();
}

void VideoView::centre()
{
    forms::PictureBox& a = area();
    forms::PictureBox& h = holder();
    h.move((a.width() - h.width()) / 2, (a.height() - h.height()) / 2);
}

void VideoView::PrepareVideoView()
{
    frmExplorer& f = m_.f;
    if (!ReadVideoNativeSize())
        return;
    if (f.ImagesPerView >= 2 && f.ListPlayState[3] == 2)
        m_.play->PauseList(0, 3);
    ITabsService& tabs = m_.services.Tabs();
    if (f.ListViewerBrowser[2] == -1) {
        f.ListViewerBrowser[2] = tabs.TabBrowserMap(tabs.CurrentTab());
        tabs.SetTabState(f.ListViewerBrowser[2], 1, 2);
    }
    for (int k = 3; k <= 5; ++k)
        if (f.ListViewerBrowser[2] == f.ListViewerBrowser[k])
            m_.play->PauseList(0, static_cast<int16_t>(k));
    VideoAreaMark = QStringLiteral("X");
    placeArea();
    tabs.RefreshCurrentTabChrome();
    tabs.UpdateTabTitle(tabs.TabOfBrowser(f.ListViewerBrowser[2]) - f.TabButtonOffset);
}

void VideoView::PlaceVideoView()
{
    placeArea();
}

void VideoView::sendWindowSize(float width, float height)
{
    m_.send(QStringLiteral("put Z5Video window at 0 0 ") + QString::number(forms::toPixelsX(width))
            + QLatin1Char(' ') + QString::number(forms::toPixelsY(height)));
}

void VideoView::ZoomVideo(uint8_t mode)
{
    forms::PictureBox& a = area();
    forms::PictureBox& h = holder();
    const auto Wa = static_cast<float>(a.width());
    const auto Ha = static_cast<float>(a.height());
    auto W = static_cast<float>(h.width());
    auto H = static_cast<float>(h.height());
    if (mode == 0) {
        if (W == Wa || H == Ha) {
            if (const auto w = vb::toNumber(VideoNativeSize[0]))
                W = static_cast<float>(*w);
            if (const auto v = vb::toNumber(VideoNativeSize[1]))
                H = static_cast<float>(*v);
        } else if (W > 0 && H > 0) {
            float r = Ha / H;
            const float w2 = W * r;
            if (w2 <= Wa) {
                H = Ha;
                W = w2;
            } else {
                r = Wa / W;
                H = H * r;
                W = Wa;
            }
        }
    } else if (mode == 1) {
        // Capped: at most 8 times the area and 32,767 pixels a side.
        const float W2 = W + W * 0.1f;
        const float H2 = H + H * 0.1f;
        const float maxW = static_cast<float>(forms::toTwipsX(kMaxSidePixels));
        const float maxH = static_cast<float>(forms::toTwipsY(kMaxSidePixels));
        if (W2 <= maxW && H2 <= maxH && (Wa <= 0 || Ha <= 0 || W2 * H2 <= kMaxAreaFactor * Wa * Ha)) {
            W = W2;
            H = H2;
        }
    } else if (mode == 2) {
        if (!(H <= 300 && W <= 300)) {
            W = W - W * 0.1f;
            H = H - H * 0.1f;
        }
    }
    h.move((Wa - W) / 2, (Ha - H) / 2, std::max(0.0f, W), std::max(0.0f, H));
    sendWindowSize(W, H);
}

void VideoView::FitVideoToWidth()
{
    float w = 0;
    float h = 0;
    if (!destination(w, h))
        return;
    const auto nw = static_cast<float>(forms::toTwipsX(w));
    const auto nh = static_cast<float>(forms::toTwipsY(h));
    forms::PictureBox& holderBox = holder();
    const auto W = static_cast<float>(holderBox.width());
    if (nw <= 0 || W <= 0)
        return;
    const float H = W * nh / nw;
    holderBox.setHeight(H);
    VideoNativeSize[1] = vb::numberText(H);
    holderBox.setTop((area().height() - H) / 2);
    sendWindowSize(W, H);
}
