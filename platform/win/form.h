#pragma once

// A window of the forms model: a top-level window whose inside holds the
// controls. Its Left and Top are the window's screen position and its Width
// and Height the size of its inside, all in twips as set; ScaleWidth and
// ScaleHeight are that inside size. The window is loaded on first show (the
// Load event runs), shown modeless or modal, hidden, and unloaded.

#include "platform/win/control.h"

#include <QColor>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QEventLoop;

namespace platform::forms {

enum class BorderStyle { None, FixedSingle, Sizable, FixedDialog, FixedToolWindow, SizableToolWindow };
enum class StartUpPosition { Manual, CenterOwner, CenterScreen };

// Unload modes passed to QueryUnload.
enum UnloadMode { UnloadFromControlMenu = 0, UnloadFromCode = 1 };

struct FormEvents {
    std::function<void()> load;
    std::function<void(bool& cancel, int unloadMode)> queryUnload;
    std::function<void()> unload;
    std::function<void()> activate;
    std::function<void()> deactivate;
    std::function<void()> resize;
    std::function<void()> click;
    MouseHandler mouseDown;
    MouseHandler mouseMove;
    MouseHandler mouseUp;
    KeyHandler keyDown; // keys that no control took
    KeyHandler keyUp;
};

class FormWindow;

class Form {
public:
    Form();
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // The top-level window and the surface the controls lie on.
    QWidget* window() const;
    QWidget* surface() const;

    double left() const { return left_; }
    double top() const { return top_; }
    double width() const { return width_; }
    double height() const { return height_; }
    double scaleWidth() const { return width_; }
    double scaleHeight() const { return height_; }
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);
    void move(double left, std::optional<double> top = std::nullopt, std::optional<double> width = std::nullopt,
              std::optional<double> height = std::nullopt);

    QString caption() const;
    void setCaption(const QString& caption);
    // The form's own name, fixed for its life (the caption may follow what
    // it shows): how tools outside the program tell its windows apart.
    QString name() const;
    void setName(const QString& name);
    void setBorderStyle(BorderStyle style);
    // A borderless window is of fixed size unless it draws its own frame and
    // lets the user (or the window system) size it: then it takes any size.
    void setSizableWithoutBorder(bool on);
    // The smallest size (twips) a sizable window takes, however it is sized:
    // the window system's own sizing stops there too.
    void setMinimumSize(double width, double height);
    void setStartUpPosition(StartUpPosition position) { startUp_ = position; }
    QColor backColor() const { return backColor_; }
    void setBackColor(const QColor& color);
    // A picture drawn on the inside at its top-left corner, under the controls.
    void setPicture(const QPixmap& picture);
    // The mouse pointer over the window: 0 default, 1 arrow, 3 I-beam, 11 busy.
    int mousePointer() const { return mousePointer_; }
    void setMousePointer(int code);

    bool loaded() const { return loaded_; }
    // Runs the Load event unless the form is loaded.
    void load();
    // Loads and shows the window without blocking.
    void show();
    // A window that never takes the activation from the window the user
    // works in (a notice shown during work).
    void setShowWithoutActivating(bool on);
    // Loads and shows the window modal to the whole application and returns
    // when it is hidden or unloaded; events of other windows (timers
    // included) go on running meanwhile. owner: the window to center on and
    // stay above (nullptr: the active form).
    void showModal(Form* owner = nullptr);
    bool isShownModal() const { return modalLoop_ != nullptr; }
    // Hides the window; ends a modal show.
    void hide();
    bool isVisible() const;
    // QueryUnload (which may cancel), Unload, then hides the window and marks
    // it unloaded; false when cancelled.
    bool unload(int unloadMode = UnloadFromCode);

    // The controls in the order they were created (the window's control order).
    const std::vector<Control*>& controls() const { return controls_; }

    FormEvents& events() { return events_; }

    // The form of the active window, or nullptr. A window shown without
    // activating never counts: the window active before it does.
    static Form* activeForm();
    static Form* fromWidget(const QWidget* window);

private:
    friend class Control;
    friend class FormWindow;
    void addControl(Control* control) { controls_.push_back(control); }
    void removeControl(Control* control);
    void applyGeometry();
    void placeOnFirstShow(Form* owner);
    void windowResized(int pixelWidth, int pixelHeight);
    void windowMoved(int pixelX, int pixelY);
    void endModal();

    std::unique_ptr<FormWindow> window_;
    QWidget* surface_ = nullptr;
    std::vector<Control*> controls_;
    FormEvents events_;
    double left_ = 0;
    double top_ = 0;
    double width_ = 4800;
    double height_ = 3600;
    QColor backColor_;
    int mousePointer_ = 0;
    BorderStyle border_ = BorderStyle::Sizable;
    bool sizableWithoutBorder_ = false;
    double minWidth_ = 0;
    double minHeight_ = 0;
    StartUpPosition startUp_ = StartUpPosition::CenterScreen;
    bool placed_ = false;
    bool loaded_ = false;
    bool activates_ = true;
    QEventLoop* modalLoop_ = nullptr;
};

} // namespace platform::forms
