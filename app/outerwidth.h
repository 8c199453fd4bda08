#pragma once

#include <QAbstractNativeEventFilter>
#include <QMargins>
#include <optional>

class QWidget;

namespace duva
{

// Holds a top-level window's outer width, the window manager's frame included, at the width
// last set. On X11 the frame is the one the window manager states on the window
// (_NET_FRAME_EXTENTS): it is asked for before the window is mapped, and the width is applied
// again whenever the window manager changes it. On Windows (outerwidth_win.cpp) the frame is
// the one Qt reports for the window. Where the platform does not tell the frame, Qt's frame
// geometry stands in (on Wayland with client-side decorations and offscreen: the client width).
class OuterWidth : public QAbstractNativeEventFilter
{
public:
    explicit OuterWidth(QWidget& window);
    ~OuterWidth() override;
    OuterWidth(const OuterWidth&) = delete;
    OuterWidth& operator=(const OuterWidth&) = delete;

    int get() const;
    void set(int width);

protected:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    // The frame as the window manager states it; empty while it does not (not yet managed,
    // no window manager, not X11).
    std::optional<QMargins> statedFrame() const;
    // Left and right frame together.
    int frameWidth() const;
    // Asks the window manager for the frame it will draw and waits briefly for the answer, so
    // that the first width already counts it. Only before the window is mapped.
    void askForFrame();

    QWidget& m_window;
    int m_width = 0;
    bool m_asked = false;
};

} // namespace duva
