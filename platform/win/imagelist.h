#pragma once

// An image list: a strip of pictures of one size, addressed by position from
// 1, that menus and lists draw from. It has no window of its own.

#include <QColor>
#include <QImage>
#include <QPixmap>

#include <vector>

class QPainter;

namespace platform::forms {

class ImageList {
public:
    // Draw styles.
    static constexpr int Normal = 0;      // over the list's back colour
    static constexpr int Transparent = 1; // only the picture's own pixels

    explicit ImageList(int imageWidth = 16, int imageHeight = 16);

    int imageWidth() const { return width_; }
    int imageHeight() const { return height_; }
    int count() const { return static_cast<int>(images_.size()); }
    // Adds a picture at the end (scaled to the list's size when it differs);
    // its position.
    int add(const QImage& picture);
    void clear() { images_.clear(); }
    // The picture at the position (1-based); a null picture out of range.
    QImage picture(int index) const;
    QColor backColor() const { return back_; }
    void setBackColor(const QColor& color) { back_ = color; }

    // Draws picture `index` with its left-top corner at (x, y), given in
    // twips of the painter's device; false for a position that names no
    // picture (nothing is drawn).
    bool draw(int index, QPainter& painter, double xTwips, double yTwips, int style = Transparent) const;

private:
    int width_;
    int height_;
    QColor back_ = Qt::white;
    std::vector<QImage> images_; // images, so a list may outlive the application object
};

} // namespace platform::forms
