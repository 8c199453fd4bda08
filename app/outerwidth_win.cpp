#include "app/outerwidth.h"

#include <QWidget>
#include <QWindow>

namespace duva
{

// Windows draws the frame itself, and Qt knows it as soon as the window exists: from the
// window's style before it is shown, from the system afterwards. There is nothing to ask for
// and nothing to watch.
class OuterWidth::SizeWatch
{
};

OuterWidth::OuterWidth(QWidget& window) : m_window(window) {}

OuterWidth::~OuterWidth() = default;

int OuterWidth::get() const
{
    // A fixed width is the window's width even while the change to it is still on its way.
    const bool fixed = m_window.minimumWidth() == m_window.maximumWidth();
    return (fixed ? m_window.maximumWidth() : m_window.width()) + frameWidth();
}

void OuterWidth::set(int width)
{
    m_width = width;
    m_window.setFixedWidth(width - frameWidth());
}

int OuterWidth::frameWidth() const
{
    if (const std::optional<QMargins> frame = statedFrame())
        return frame->left() + frame->right();
    return m_window.frameGeometry().width() - m_window.width();
}

std::optional<QMargins> OuterWidth::statedFrame() const
{
    const QWindow* handle = m_window.windowHandle();
    if (!handle)
        return std::nullopt;
    return handle->frameMargins();
}

void OuterWidth::askForFrame() {}

bool OuterWidth::nativeEventFilter(const QByteArray&, void*, qintptr*)
{
    return false;
}

} // namespace duva
