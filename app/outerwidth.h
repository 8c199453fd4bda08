#pragma once

#include <QAbstractNativeEventFilter>
#include <QMargins>
#include <memory>
#include <optional>

class QWidget;

namespace duva
{

// Holds a top-level window's outer width, the window manager's frame included, at the width
// last set. On X11 the frame is the one the window manager states on the window
// (_NET_FRAME_EXTENTS): it is asked for before the window is mapped, and the width is applied
// again whenever the window manager changes it; while it states none, no frame is counted.
// On Windows (outerwidth_win.cpp) the frame is the one Qt reports for the window. On other
// platforms Qt's frame geometry holds the frame (on Wayland Qt's own decorations, made once
// the window is on screen: the width is applied again then; offscreen none).
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
    // Applies the width again once the frame that Qt draws itself is counted, and the fixed
    // width where the window system reports another.
    class SizeWatch;
    std::unique_ptr<SizeWatch> m_sizeWatch;
    int m_width = 0;
    int m_frameApplied = 0;
    int m_reapplied = 0; // times the fixed width was asked for again since the last set()
    bool m_asked = false;
};

} // namespace duva
