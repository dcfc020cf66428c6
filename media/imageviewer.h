#pragma once

// The image viewer: a black holder laid over the viewer tab's pane with one
// to eight image cells in it, so that a page of the image list shows at
// once. The background fetcher puts each picture into its cell; when the
// whole page is in, the slide show's timer is armed for the next page.

#include "media/mediacontext.h"
#include "platform/win/controlarray.h"
#include "platform/win/controls.h"

#include <QRectF>
#include <QString>

#include <array>
#include <memory>
#include <cstdint>
#include <vector>

class ImageViewer {
public:
    // A cell in twips relative to the holder, in the order the layout
    // keeps them: left, top, height, width.
    struct CellRect {
        int32_t Left = 0;
        int32_t Top = 0;
        int32_t Height = 0;
        int32_t Width = 0;
        bool operator==(const CellRect&) const = default;
    };

    explicit ImageViewer(MediaContext& m);
    ~ImageViewer();
    ImageViewer(const ImageViewer&) = delete;
    ImageViewer& operator=(const ImageViewer&) = delete;

    // The cells of a page of imagesPerView images in a pane of W x H twips;
    // entries of cells a layout does not compute keep the values in cells.
    static void ComputeCellRects(int imagesPerView, double W, double H, std::vector<CellRect>& cells);
    // Where a picture of w x h twips goes in its cell: scaled down to fit,
    // never enlarged, centred across, at the top, inside a 30-twip margin.
    // Empty for a cell or a picture without height.
    static QRectF FitInCell(const CellRect& cell, double w, double h);

    void LayoutImageViewer();
    void DrawViewerCellFrame(int i);
    void FitViewerImages();
    void RelayoutImageViewer();
    void ClearViewerImages();
    void ClearViewerImage(int i);
    bool OnViewerImagesLoaded();
    void PlayImageListStep();
    void StopImageList();
    void WBIMGH_MouseDown(int i);
    // Page windows neither scroll by attribute nor move here: nothing to do.
    void SetPageScrollOn() {}

    // The fetcher's side: the holder hidden, or a picture put into a cell.
    void HideImageViewer();
    void ShowViewerImage(int cell, const QString& path, int widthPx, int heightPx);

    std::vector<CellRect> ViewerCellRects;
    platform::forms::ControlArray<platform::forms::Image> WBIMGH;
    // The holder PicHolder(4), made at its first use.
    platform::forms::PictureBox& holder();

private:
    // What each cell shows: the file, and its size in twips at full size.
    struct CellPicture {
        QString path;
        double width = 0;
        double height = 0;
    };
    platform::forms::Image& cell(int i);
    // Places the cell's picture, decoded at the size it takes: the decoding
    // runs off the UI thread and the cell shows once it is done, unless the
    // cell was given another picture (or emptied) in between.
    void placeCellPicture(int i, bool decode);

    MediaContext& m_;
    std::array<CellPicture, 8> pictures_{};
    // Counts up whenever a cell's picture changes: a decoding that finishes
    // for an older count is dropped.
    std::array<uint64_t, 8> decodes_{};
    // Held while the viewer lives: a decoding that finishes later finds it
    // gone and is dropped.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
    QPixmap frames_;
};
