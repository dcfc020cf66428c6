#include "media/imageviewer.h"

#include "contracts/services.h"
#include "mainwindow/bartoggles.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/windowplacement.h"
#include "media/playcontrol.h"
#include "platform/win/listrows.h"
#include "platform/win/twips.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QPainter>
#include <QThreadPool>

#include <cmath>

namespace forms = platform::forms;

namespace {

constexpr int kImageList = 3;
constexpr int kCells = 8;
constexpr double kMargin = 30;

int32_t roundEven(double v)
{
    // The current rounding mode is to the nearest, halves to the even one.
    return std::isfinite(v) ? static_cast<int32_t>(std::nearbyint(v)) : 0;
}

} // namespace

ImageViewer::ImageViewer(MediaContext& m)
    : WBIMGH(m.f, QStringLiteral("WBIMGH")), m_(m)
{
    WBIMGH.events().mouseDown = [this](int i, int, int, double, double) { WBIMGH_MouseDown(i); };
}

ImageViewer::~ImageViewer() = default;

void ImageViewer::ComputeCellRects(int imagesPerView, double W, double H, std::vector<CellRect>& cells)
{
    if (imagesPerView < 0)
        return;
    if (cells.size() < static_cast<size_t>(imagesPerView) + 1)
        cells.resize(static_cast<size_t>(imagesPerView) + 1);
    W = std::isfinite(W) ? std::max(0.0, W) : 0.0;
    H = std::isfinite(H) ? std::max(0.0, H) : 0.0;
    switch (imagesPerView) {
    case 1: cells[0] = {0, 0, roundEven(H), roundEven(W)}; break;
    case 2:
    case 4:
    case 6:
    case 8: {
        const int rows = imagesPerView == 2 ? 1 : 2;
        const int columns = imagesPerView == 2 ? 2 : imagesPerView / 2;
        const double cw = W / columns;
        const double ch = H / rows;
        int i = 0;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                cells[static_cast<size_t>(i++)] = {roundEven(c * cw), roundEven(r * ch), roundEven(ch), roundEven(cw)};
        break;
    }
    case 3: {
        const double hw = W / 2;
        const double hh = H / 2;
        cells[0] = {0, 0, roundEven(H), roundEven(hw)};
        cells[1] = {roundEven(hw), 0, roundEven(hh), roundEven(hw)};
        cells[2] = {roundEven(hw), roundEven(hh), roundEven(hh), roundEven(hw)};
        break;
    }
    default: break;
    }
}

QRectF ImageViewer::FitInCell(const CellRect& cell, double w, double h)
{
    const double ch = cell.Height;
    const double cw = cell.Width;
    if (!(ch > 0) || !(cw > 0) || !(h > 0) || !(w > 0) || !std::isfinite(w) || !std::isfinite(h))
        return {};
    if (h > ch) {
        w = ch / h * w;
        h = ch;
    }
    if (w > cw) {
        h = cw / w * h;
        w = cw;
    }
    const double left = cell.Left + (cw - w) / 2 + kMargin;
    const double top = cell.Top + kMargin;
    w -= 2 * kMargin;
    h -= 2 * kMargin;
    if (w <= 0 || h <= 0)
        return {};
    return {left, top, w, h};
}

forms::PictureBox& ImageViewer::holder()
{
    frmExplorer& f = m_.f;
    if (!f.PicHolder.at(4)) {
        forms::PictureBox& h = *f.PicHolder.create(4, &f.PicHolder[picholder::Body]);
        h.setTabStop(false);
        h.setBackColor(QColor(0, 0, 0));
        h.setForeColor(QColor(0xC0, 0xC0, 0xC0));
        h.setVisible(false);
    }
    return f.PicHolder[4];
}

forms::Image& ImageViewer::cell(int i)
{
    if (!WBIMGH.at(i)) {
        forms::Image& c = *WBIMGH.create(i, &holder());
        c.setStretch(true);
        c.setVisible(false);
    }
    return WBIMGH[i];
}

void ImageViewer::LayoutImageViewer()
{
    frmExplorer& f = m_.f;
    for (int i = 0; i < kCells; ++i)
        cell(i).setVisible(false);
    ITabsService& tabs = m_.services.Tabs();
    const int pane = f.Layout.PaneCount() == 1 ? 0 : tabs.TabOfBrowser(f.ListViewerBrowser[kImageList]);
    PaneRect r;
    if (pane >= 0 && pane < f.Layout.PaneRects().size())
        r = f.Layout.PaneRects()[pane];
    if (f.Layout.PaneCount() == 1 && (r.Width <= 0 || r.Height <= 0)) {
        // Single view before the panes were first placed: the whole body.
        r.Width = roundEven(f.PicHolder[picholder::Body].width());
        r.Height = roundEven(f.PicHolder[picholder::Body].height());
    }
    forms::PictureBox& h = holder();
    h.move(r.Left, r.Top, std::max(0, r.Width), std::max(0, r.Height));
    h.setVisible(true);
    h.zOrder(0);
    if (f.Layout.ViewMode() > 3) {
        for (int i : {1, 2})
            if (auto* bar = f.SPLITTER2.at(i))
                bar->zOrder(0);
    }
    const QSize pixels(std::max(0, forms::toPixelsX(r.Width)), std::max(0, forms::toPixelsY(r.Height)));
    frames_ = QPixmap(pixels.isEmpty() ? QSize(1, 1) : pixels);
    frames_.fill(Qt::black);
    ComputeCellRects(f.ImagesPerView, r.Width, r.Height, ViewerCellRects);
    if (f.ImagesPerView >= 2 && f.ImagesPerView <= 8 && f.ImagesPerView != 5 && f.ImagesPerView != 7)
        for (int i = 0; i < f.ImagesPerView; ++i)
            DrawViewerCellFrame(i);
    h.setPicture(frames_);
}

void ImageViewer::DrawViewerCellFrame(int i)
{
    if (i < 0 || static_cast<size_t>(i) >= ViewerCellRects.size() || frames_.isNull())
        return;
    const CellRect& c = ViewerCellRects[static_cast<size_t>(i)];
    QPainter p(&frames_);
    p.setPen(QPen(holder().foreColor(), 1));
    p.setBrush(Qt::NoBrush);
    const int x = forms::toPixelsX(c.Left);
    const int y = forms::toPixelsY(c.Top);
    const int w = forms::toPixelsX(c.Width);
    const int h = forms::toPixelsY(c.Height);
    if (w > 0 && h > 0)
        p.drawRect(x, y, w - 1, h - 1);
}

void ImageViewer::placeCellPicture(int i, bool decode)
{
    forms::Image& c = cell(i);
    const CellPicture& pic = pictures_[static_cast<size_t>(i)];
    const QRectF r = static_cast<size_t>(i) < ViewerCellRects.size()
                         ? FitInCell(ViewerCellRects[static_cast<size_t>(i)], pic.width, pic.height)
                         : QRectF();
    const QSize size(forms::toPixelsX(r.width()), forms::toPixelsY(r.height()));
    c.setVisible(false);
    if (pic.path.isEmpty() || r.isEmpty() || size.width() <= 0 || size.height() <= 0)
        return;
    if (!decode && c.picture().size() == size) {
        c.move(r.left(), r.top(), r.width(), r.height());
        c.setVisible(true);
        return;
    }
    const uint64_t count = ++decodes_[static_cast<size_t>(i)];
    const std::weak_ptr<int> alive = alive_;
    QThreadPool::globalInstance()->start([this, alive, i, count, r, size, path = pic.path] {
        // Decoded at the size it shows, never larger.
        QImageReader reader(path);
        reader.setScaledSize(size);
        QImage image = reader.read();
        // Back on the UI thread, where the viewer also ends.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [this, alive, i, count, r, image = std::move(image)] {
                if (alive.expired() || decodes_[static_cast<size_t>(i)] != count)
                    return;
                forms::Image& shown = cell(i);
                if (image.isNull()) {
                    shown.setPicture(QPixmap());
                    return;
                }
                shown.setPicture(QPixmap::fromImage(image));
                shown.move(r.left(), r.top(), r.width(), r.height());
                shown.setVisible(true);
            },
            Qt::QueuedConnection);
    });
}

void ImageViewer::FitViewerImages()
{
    for (int i = 0; i < m_.f.ImagesPerView && i < kCells; ++i)
        placeCellPicture(i, false);
}

void ImageViewer::RelayoutImageViewer()
{
    LayoutImageViewer();
    FitViewerImages();
}

void ImageViewer::ClearViewerImages()
{
    for (int i = std::min<int>(m_.f.ImagesPerView, kCells) - 1; i >= 0; --i)
        ClearViewerImage(i);
}

void ImageViewer::ClearViewerImage(int i)
{
    if (i < 0 || i >= kCells)
        return;
    pictures_[static_cast<size_t>(i)] = {};
    ++decodes_[static_cast<size_t>(i)];
    forms::Image& c = cell(i);
    c.setPicture(QPixmap());
    c.setTag(QString());
    c.setVisible(false);
}

void ImageViewer::HideImageViewer()
{
    holder().setVisible(false);
}

void ImageViewer::ShowViewerImage(int i, const QString& path, int widthPx, int heightPx)
{
    if (i < 0 || i >= kCells)
        return;
    holder().setVisible(true);
    CellPicture& pic = pictures_[static_cast<size_t>(i)];
    pic.path = path;
    pic.width = static_cast<double>(widthPx) * forms::twipsPerPixelX();
    pic.height = static_cast<double>(heightPx) * forms::twipsPerPixelY();
    cell(i).setTag(QString::number(roundEven(pic.height)));
    placeCellPicture(i, true);
}

bool ImageViewer::OnViewerImagesLoaded()
{
    frmExplorer& f = m_.f;
    if (f.ImagesPerView > 1) {
        ++f.ImagesLoadedCount;
        if (f.ImagesLoadedCount < f.ImagesPerView)
            return false;
    }
    m_.services.Downloads().ResetFetchProgress();
    if (f.ListPlayState[kImageList] != 2)
        return true;
    if (f.ListCurrentItem[kImageList] <= f.ListItemCount[kImageList]) {
        if (auto* t = f.AppTimer.at(apptimer::ImageShow))
            t->setEnabled(true);
        return true;
    }
    for (int j = 1; j <= f.EmptyViewerCellCount; ++j)
        ClearViewerImage(f.ImagesPerView - j);
    m_.services.Lists().ShowListCount(true);
    m_.play->PauseList(0, kImageList);
    return true;
}

void ImageViewer::PlayImageListStep()
{
    frmExplorer& f = m_.f;
    ITabsService& tabs = m_.services.Tabs();
    // Several images a page are always fitted into their cells.
    if (f.ImagesPerView > 1)
        f.AutoImageResize = -1;
    tabs.ShowImageViewerTab();
    if (f.ImagesPerView < 2) {
        // A single image fitted into the pane takes cell 0 over all of it.
        if (f.AutoImageResize != 0)
            LayoutImageViewer();
        m_.services.Lists().NextImageListItem();
    } else {
        const int s = f.Layout.PaneCount() - 1;
        const platform::forms::ListRows* rows = m_.services.Lists().ListItems(kImageList);
        const QString current = rows ? rows->column(f.ListCurrentItem[kImageList], 1) : QString();
        if (s < 0 || s >= static_cast<int>(f.ListItemRecord.size())
            || f.ListItemRecord[static_cast<size_t>(s)][1] == current)
            f.ListCurrentItem[kImageList] += 1;
        m_.services.Downloads().ResetFetchProgress();
        m_.services.Lists().ShowImageListItem();
    }
    tabs.UpdateTabTitle(tabs.CurrentTab() - f.TabButtonOffset);
}

void ImageViewer::StopImageList()
{
    frmExplorer& f = m_.f;
    ITabsService& tabs = m_.services.Tabs();
    if (f.PicHolder.at(4))
        holder().setVisible(false);
    const int16_t viewer = f.ListViewerBrowser[kImageList];
    if (viewer >= 0) {
        tabs.SetTabState(viewer, 1, 1);
        tabs.UpdateTabTitle(tabs.TabOfBrowser(viewer) - f.TabButtonOffset);
    }
    f.ListViewerBrowser[kImageList] = -1;
    if (auto* t = f.AppTimer.at(apptimer::ImageShow))
        t->setEnabled(false);
    m_.services.Downloads().StopAllFetches();
    ClearViewerImages();
    f.ImagesPerView = 1;
    f.ListPlayState[kImageList] = 0;
    if (f.CurrentListKind == kImageList) {
        tabs.ShowMediaStateStatus();
        m_.services.Media().UpdateTransportButtons();
        m_.services.Lists().UpdatePlaylistButtons();
    }
}

void ImageViewer::WBIMGH_MouseDown(int)
{
    if (m_.f.Placement().FullScreenMode() != 0)
        ToggleInfoPanel(m_.f);
}
