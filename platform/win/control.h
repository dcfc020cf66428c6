#pragma once

// The control model every window is built on. A control keeps Left, Top,
// Width and Height in twips exactly as they were set; pixels appear only
// where its widget is placed. Events reach one handler per event, with mouse
// positions in twips relative to the control, mouse buttons as 1 (left),
// 2 (right), 4 (middle), the shift state as 1 (Shift), 2 (Ctrl), 4 (Alt) and
// key codes of the old toolkit (13 Enter, 27 Escape, 37-40 arrows, 65-90
// letters, 112-123 F1-F12; see keyCode()).

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace platform::forms {

class Form;

enum MouseButtonCode { LeftButton = 1, RightButton = 2, MiddleButton = 4 };
enum ShiftCode { ShiftMask = 1, CtrlMask = 2, AltMask = 4 };

using MouseHandler = std::function<void(int button, int shift, double x, double y)>;
using KeyHandler = std::function<void(int keyCode, int shift)>;

struct ControlEvents {
    std::function<void()> click;
    std::function<void()> dblClick;
    std::function<void()> change; // text boxes: every change of the text, by the user or by code
    std::function<void()> gotFocus;
    std::function<void()> lostFocus;
    MouseHandler mouseDown; // button pressed
    MouseHandler mouseMove; // button: the buttons held
    MouseHandler mouseUp;   // button released
    KeyHandler keyDown;
    KeyHandler keyUp;
};

// A Tab keystroke (Shift+Tab when backwards) queued for the focused
// control: the focus moves to the next (previous) control once the current
// event is done.
void sendTabKey(bool backwards);

// The cursor shape of a mouse-pointer code (nullopt: the default pointer).
std::optional<Qt::CursorShape> cursorOfPointer(int code);

// The old toolkit's key code of a Qt key (0 for keys it had no code for).
int keyCode(int qtKey);
// The button code (1 left, 2 right, 4 middle, or'ed) of Qt mouse buttons.
int buttonsCode(Qt::MouseButtons buttons);
// The shift state (1 Shift, 2 Ctrl, 4 Alt) of Qt modifiers.
int shiftState(Qt::KeyboardModifiers modifiers);

class Control {
public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Form& form() const { return form_; }
    const QString& name() const { return name_; }
    int index() const { return index_; } // -1 outside a control array
    Control* container() const { return container_; }
    QWidget* widget() const { return widget_; }

    double left() const { return left_; }
    double top() const { return top_; }
    double width() const { return width_; }
    double height() const { return height_; }
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);
    // Move left [, top [, width [, height]]] in one step.
    void move(double left, std::optional<double> top = std::nullopt, std::optional<double> width = std::nullopt,
              std::optional<double> height = std::nullopt);

    bool visible() const { return visible_; } // the control's own flag
    void setVisible(bool visible);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    const QString& tag() const { return tag_; }
    void setTag(const QString& tag) { tag_ = tag; }
    // The tooltip is plain text: markup in it (a page title, say) is shown
    // as written, never interpreted.
    const QString& toolTipText() const { return toolTip_; }
    void setToolTipText(const QString& text);
    // The mouse pointer over the control: 0 default (the window's), 1 arrow,
    // 2 cross, 3 I-beam, 5 size all, 6 size NE-SW, 7 size N-S, 8 size NW-SE,
    // 9 size W-E, 11 busy, 12 no drop, 13 arrow and busy, 15 size all, 99 hand.
    int mousePointer() const { return mousePointer_; }
    void setMousePointer(int code);
    QColor foreColor() const;
    void setForeColor(const QColor& color);

    // Font of controls that have one (an image has none: nullopt / false).
    virtual bool hasFont() const { return true; }
    std::optional<double> fontSize() const;
    bool setFontSize(double points);
    QFont font() const;
    void setFont(const QFont& font);

    // ZOrder: 0 brings the control to the front of its siblings, 1 sends it back.
    void zOrder(int position = 0);

    void setFocus();
    bool hasFocus() const;

    // Mouse capture: every mouse event goes to the capturing control until
    // it is released or the last mouse button is released. A press captures
    // the mouse for its control until the release, as the old system did;
    // capture() reports that too.
    void setCapture();
    static void releaseCapture();
    static Control* capture();

    ControlEvents& events() { return events_; }

    // Copies what a control array's Load copies from its first member:
    // size, position, Enabled, Tag, ToolTipText, colours and font.
    virtual void copyPropertiesFrom(const Control& other);

    // The control a widget belongs to, or nullptr.
    static Control* fromWidget(const QWidget* widget);

protected:
    Control(Form& form, QWidget* widget, const QString& name, int index, Control* container);
    // The parent widget of a new control: its container's widget or the form's surface.
    static QWidget* parentWidgetFor(Form& form, Control* container);
    // A control may size itself (auto size, pictures).
    void setSizeFromContent(double width, double height);
    virtual void sizeChanged() {}
    // Controls that hand mouse events on to their widget (text input) return false.
    virtual bool consumesMouse() const { return true; }
    // Labels and images had no window of their own: a press on one captures
    // the mouse for the control that holds it.
    virtual bool windowless() const { return false; }
    // Controls whose Click follows their value (check and option buttons,
    // list-style combo boxes) raise it themselves, never on a release.
    virtual bool clicksOnRelease() const { return true; }

private:
    friend class ControlFilter;
    void applyGeometry();

    Form& form_;
    QWidget* widget_; // owned; deleted after the control, once its events are done
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    QString name_;
    int index_;
    Control* container_;
    double left_ = 0;
    double top_ = 0;
    double width_ = 0;
    double height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    bool focused_ = false;
    QString tag_;
    QString toolTip_;
    int mousePointer_ = 0;
    ControlEvents events_;
    QObject* filter_ = nullptr;
};

} // namespace platform::forms
